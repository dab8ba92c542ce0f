#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <thread>

#include "input/csv_reader.h"
#include "input/dbase_reader.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

using Reader = std::function<MaybeError(const test::TempDir&, const std::string&, EventTable&,
                                        SourceIdentity*, const std::atomic<bool>*)>;

const std::pair<const char*, Reader> kReaders[] = {
    {"CSV",
     [](const test::TempDir& dir, const std::string& name, EventTable& table, SourceIdentity* read,
        const std::atomic<bool>* stop) {
         return ReadCsvSchedule(dir.file(name).string(), table, read, stop);
     }},
    {"DBF",
     [](const test::TempDir& dir, const std::string& name, EventTable& table, SourceIdentity* read,
        const std::atomic<bool>* stop) {
         return ReadDbaseSchedule(dir.folderText(), name, table, read, stop);
     }},
};

void WriteSchedule(const char* kind, const fs::path& path) {
    const std::vector<test::TestEvent> list(3);
    std::string(kind) == "CSV" ? test::WriteCsvSchedule(path, list)
                               : test::WriteDbfSchedule(path, list);
}

TEST(ScheduleSource, AFifoADeviceOrAFolderIsRefusedWithTheReason) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("PIPE").c_str(), 0666), 0);  // no writer: a read would wait
    fs::create_symlink("/dev/zero", dir.file("ZERO"));       // a read would never end
    fs::create_directory(dir.file("FOLDER"));
    const std::pair<const char*, const char*> cases[] = {
        {"PIPE", "(a FIFO)"}, {"ZERO", "(a device)"}, {"FOLDER", "(a folder)"}};
    for (const auto& [kind, read] : kReaders) {
        for (const auto& [name, reason] : cases) {
            EventTable table;
            const MaybeError error = read(dir, name, table, nullptr, nullptr);
            ASSERT_NE(error, std::nullopt) << kind << " " << name;
            EXPECT_EQ(error->number, errors::kPathFileAccess) << kind << " " << name;
            EXPECT_NE(error->description.find(std::string("not a regular file ") + reason),
                      std::string::npos)
                << error->description;
        }
        EventTable table;
        EXPECT_EQ(read(dir, "NONE", table, nullptr, nullptr), errors::FileNotFound()) << kind;
    }
}

TEST(ScheduleSource, AStopRequestEndsTheReadWithAnError) {
    test::TempDir dir;
    const std::atomic<bool> stop{true};
    for (const auto& [kind, read] : kReaders) {
        WriteSchedule(kind, dir.file("WEEK1"));
        EventTable table;
        const MaybeError error = read(dir, "WEEK1", table, nullptr, &stop);
        ASSERT_NE(error, std::nullopt) << kind;
        EXPECT_EQ(error->number, errors::kPathFileAccess);
        EXPECT_NE(error->description.find("WEEK1: read interrupted"), std::string::npos)
            << error->description;
    }
}

TEST(ScheduleSource, TheIdentityReadTellsAFileChangedOrReplacedSinceFromTheSameFile) {
    test::TempDir dir;
    for (const auto& [kind, read] : kReaders) {
        const fs::path path = dir.file("WEEK1");
        const auto readNow = [&, &read = read] {
            SourceIdentity identity;
            EventTable table;
            EXPECT_EQ(read(dir, "WEEK1", table, &identity, nullptr), std::nullopt) << kind;
            EXPECT_FALSE(identity.changedWhileRead) << kind;
            return identity;
        };
        WriteSchedule(kind, path);
        const SourceIdentity unchanged = readNow();
        EXPECT_TRUE(IsUnchangedSince(path.string(), unchanged)) << kind;

        const SourceIdentity appended = readNow();
        std::ofstream(path, std::ios::app | std::ios::binary) << "more";
        EXPECT_FALSE(IsUnchangedSince(path.string(), appended)) << kind;

        WriteSchedule(kind, dir.file("NEW"));  // the same bytes, renamed in over the name
        const SourceIdentity replaced = readNow();
        fs::rename(dir.file("NEW"), path);
        EXPECT_FALSE(IsUnchangedSince(path.string(), replaced)) << kind;
    }
}

TEST(ScheduleSource, AnIdentityNeverClaimsBytesTheReadDidNotSee) {
    test::TempDir dir;
    const fs::path path = dir.file("WEEK1");
    const std::string schedule = test::CsvSchedule(std::vector<test::TestEvent>(5000));
    test::WriteFile(path, schedule);
    const std::string line = schedule.substr(schedule.rfind('\n', schedule.size() - 2) + 1);
    std::atomic<bool> done{false};
    int appended = 0;
    std::thread writer([&] {
        std::ofstream out(path, std::ios::app | std::ios::binary);
        while (appended < 20000 && (appended == 0 || !done.load())) {
            out << line << std::flush;
            ++appended;
        }
    });
    SourceIdentity identity;
    EventTable table;
    const MaybeError error = ReadCsvSchedule(path.string(), table, &identity);
    done = true;
    writer.join();
    ASSERT_EQ(error, std::nullopt);
    const auto linesCovered = (identity.atStart.size - static_cast<std::int64_t>(schedule.size())) /
                              static_cast<std::int64_t>(line.size());
    EXPECT_LE(5000 + linesCovered, table.Count());
    // A file still found unchanged was read whole.
    if (IsUnchangedSince(path.string(), identity)) {
        EXPECT_EQ(table.Count(), 5000 + appended);
    }
}

}  // namespace
}  // namespace skedora
