#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

#include "input/csv_reader.h"
#include "input/dbase_reader.h"
#include "input/schedule_reader.h"
#include "support/expect_error.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

constexpr ScheduleKind kKinds[] = {ScheduleKind::Csv, ScheduleKind::Dbase};

MaybeError Read(ScheduleKind kind, const test::TempDir& dir, const std::string& name,
                SourceIdentity* read = nullptr, const std::atomic<bool>* stop = nullptr) {
    EventTable table;
    return ReadSchedule(kind, dir.file(name).string(), name, table, read, stop);
}

void WriteSchedule(ScheduleKind kind, const fs::path& path, std::size_t events = 3) {
    const std::vector<test::TestEvent> list(events);
    kind == ScheduleKind::Csv ? test::WriteCsvSchedule(path, list)
                              : test::WriteDbfSchedule(path, list);
}

/** A stream over bytes whose reads fail with EIO from failAt on, as a failing disk does. */
struct FailingStream {
    std::string bytes;
    std::size_t failAt;
    std::size_t at = 0;

    static ssize_t Read(void* cookie, char* buffer, std::size_t size) {
        auto& s = *static_cast<FailingStream*>(cookie);
        if (s.at >= s.failAt && s.at < s.bytes.size()) {
            errno = EIO;
            return -1;
        }
        const std::size_t count = std::min({size, s.bytes.size() - s.at, s.failAt - s.at});
        std::memcpy(buffer, s.bytes.data() + s.at, count);
        s.at += count;
        return static_cast<ssize_t>(count);
    }
    static int Seek(void* cookie, off64_t* offset, int whence) {
        auto& s = *static_cast<FailingStream*>(cookie);
        const std::size_t base = whence == SEEK_SET   ? 0
                                 : whence == SEEK_CUR ? s.at
                                                      : s.bytes.size();
        s.at = base + static_cast<std::size_t>(*offset);
        *offset = static_cast<off64_t>(s.at);
        return 0;
    }
    std::FILE* Open() {
        return fopencookie(this, "rb",
                           {&FailingStream::Read, nullptr, &FailingStream::Seek, nullptr});
    }
};

TEST(ScheduleSource, AReadErrorPartWayThroughIsAnErrorNotAShortTable) {
    test::TempDir dir;
    for (const ScheduleKind kind : kKinds) {
        WriteSchedule(kind, dir.file("WEEK1"), 100);
        const std::string bytes = test::ReadFile(dir.file("WEEK1"));
        for (const std::size_t failAt :
             {std::size_t{600}, bytes.size() / 2, bytes.size() - 5, bytes.size()}) {
            FailingStream stream{bytes, failAt};
            std::FILE* file = stream.Open();
            ASSERT_NE(file, nullptr);
            EventTable table;
            const MaybeError error = kind == ScheduleKind::Dbase
                                         ? ReadDbaseScheduleFrom(file, "WEEK1", table)
                                         : ReadCsvScheduleFrom(file, "WEEK1", table);
            if (kind == ScheduleKind::Csv) {
                std::fclose(file);
            }
            if (failAt == bytes.size()) {
                EXPECT_EQ(error, std::nullopt);
                EXPECT_EQ(table.Count(), 100);
            } else {
                EXPECT_TRUE(test::IsError(error, errors::kPathFileAccess)) << table.Count();
            }
        }
    }
}

TEST(ScheduleSource, AFifoADeviceAFolderOrAStopRequestEndsTheReadWithTheReason) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("PIPE").c_str(), 0666), 0);  // no writer: a read would wait
    fs::create_symlink("/dev/zero", dir.file("ZERO"));       // a read would never end
    fs::create_directory(dir.file("FOLDER"));
    const std::atomic<bool> stop{true};
    const std::pair<const char*, const char*> cases[] = {
        {"PIPE", "not a regular file (a FIFO)"},
        {"ZERO", "not a regular file (a device)"},
        {"FOLDER", "not a regular file (a folder)"},
        {"WEEK1", "WEEK1: read interrupted"}};
    for (const ScheduleKind kind : kKinds) {
        WriteSchedule(kind, dir.file("WEEK1"));
        for (const auto& [name, reason] : cases) {
            EXPECT_TRUE(test::IsError(Read(kind, dir, name, nullptr, &stop),
                                      errors::kPathFileAccess, {reason}));
        }
        EXPECT_EQ(Read(kind, dir, "NONE"), errors::FileNotFound());
    }
}

TEST(ScheduleSource, TheIdentityReadTellsAFileChangedOrReplacedSinceFromTheSameFile) {
    test::TempDir dir;
    const fs::path path = dir.file("WEEK1");
    for (const ScheduleKind kind : kKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto readNow = [&] {
            SourceIdentity identity;
            EXPECT_EQ(Read(kind, dir, "WEEK1", &identity), std::nullopt);
            EXPECT_FALSE(identity.changedWhileRead);
            return identity;
        };
        WriteSchedule(kind, path);
        const SourceIdentity unchanged = readNow();
        EXPECT_TRUE(IsUnchangedSince(path.string(), unchanged));

        const SourceIdentity appended = readNow();
        std::ofstream(path, std::ios::app | std::ios::binary) << "more";
        EXPECT_FALSE(IsUnchangedSince(path.string(), appended));

        // The same bytes and time, renamed in over the name.
        WriteSchedule(kind, path);
        WriteSchedule(kind, dir.file("NEW"));
        fs::last_write_time(dir.file("NEW"), fs::last_write_time(path));
        const SourceIdentity replaced = readNow();
        fs::rename(dir.file("NEW"), path);
        EXPECT_FALSE(IsUnchangedSince(path.string(), replaced));
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
