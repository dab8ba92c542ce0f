#include <signal.h>
#include <unistd.h>

#include "support/cli_run.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;
using SteadyClock = std::chrono::steady_clock;

constexpr int kKillPoints = 5;
constexpr int kEvents = 32767;
constexpr std::string_view kEarlierOutput = "an earlier, complete output\r\n";

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::vector<fs::path> Temporaries(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".") && name.ends_with(".tmp")) {
            found.push_back(entry.path());
        }
    }
    return found;
}

void MakeStale(const std::vector<fs::path>& files) {
    for (const auto& file : files) {
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    }
}

class KillTest : public test::CliTestBase {
  protected:
    SteadyClock::duration RunWhole(const std::string& arguments) {
        const auto start = SteadyClock::now();
        const auto r = Run(arguments + Home());
        EXPECT_EQ(r.exitCode, 0) << r.err.substr(0, 500);
        return SteadyClock::now() - start;
    }

    int SignalAt(const std::string& arguments, int signal, SteadyClock::duration length,
                 int point) {
        const double seconds =
            std::chrono::duration<double>(length).count() * point / (kKillPoints - 1);
        return Run(arguments + Home(), "timeout --foreground --preserve-status -s " +
                                           std::to_string(signal) + " " +
                                           std::to_string(seconds + 0.001) + " ")
            .exitCode;
    }

    std::string Out() const { return ReadFile(m_scratch.file("out")); }
    void DropBig() const { Drop("BIG.CSV", m_schedule); }
    const std::string m_schedule = test::CsvSchedule(std::vector<test::TestEvent>(kEvents));
    const std::string m_convert = "convert big.csv";
};

// A convert killed, stopped or out of disk space leaves the earlier output or the whole new one.
TEST_F(KillTest, AnInterruptedConvertLeavesTheEarlierOutputOrTheWholeNewOne) {
    WriteFile(m_data.file("big.csv"), m_schedule);
    const auto length = RunWhole(m_convert);
    const std::string whole = ReadFile(m_data.file("big.CP2"));
    ASSERT_EQ(Count(whole, "\r\n"), kEvents + 1);

    int earlierKept = 0;
    for (const int signal : {SIGTERM, SIGKILL}) {
        for (int point = 0; point < kKillPoints; ++point) {
            WriteFile(m_data.file("big.CP2"), kEarlierOutput);
            const int code = SignalAt(m_convert, signal, length, point);
            EXPECT_TRUE(code == 0 || code == 128 + signal) << code;
            const std::string output = ReadFile(m_data.file("big.CP2"));
            if (signal == SIGTERM) {
                EXPECT_TRUE(output == (code == 0 ? whole : kEarlierOutput)) << "point " << point;
                EXPECT_EQ(Temporaries(m_data.path()), std::vector<fs::path>{});
            }
            EXPECT_TRUE(output == kEarlierOutput || output == whole) << "point " << point;
            earlierKept += output == kEarlierOutput;
            EXPECT_EQ(ReadFile(m_data.file("big.csv")), m_schedule) << "point " << point;
        }
    }
    EXPECT_GT(earlierKept, 1);  // some kills fell before the output was complete

    MakeStale(Temporaries(m_data.path()));
    RunWhole(m_convert);
    EXPECT_EQ(Temporaries(m_data.path()), std::vector<fs::path>{});
    EXPECT_TRUE(ReadFile(m_data.file("big.CP2")) == whole);

    // A file size limit stands in for a full disk: the write fails part way through.
    WriteFile(m_data.file("big.CP2"), kEarlierOutput);
    const test::CliResult full = Run(m_convert + Home(), "trap '' XFSZ; ulimit -f 64; exec ");
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_NE(full.err.find("big.CP2: cannot"), std::string::npos) << full.err;
    EXPECT_EQ(ReadFile(m_data.file("big.CP2")), kEarlierOutput);
    EXPECT_EQ(Temporaries(m_data.path()), std::vector<fs::path>{});
}

// A watch killed, or stopped by a signal, at any point of a job: the output is the earlier one or
// the whole new one, the source is deleted only after a whole output, and a restart converts
// again exactly what needs it.
TEST_F(KillTest, AKilledOrStoppedWatchConvertsEachSourceOnceMoreWhereNeededAfterARestart) {
    const std::string restart = "watch --interval 0 --polls 2";
    for (const auto& [deleteOn, signal] : {std::pair{false, SIGKILL}, std::pair{true, SIGKILL},
                                           std::pair{false, SIGTERM}, std::pair{true, SIGTERM}}) {
        SaveWatchRules(deleteOn);
        DropBig();
        const auto length = RunWhole(restart);
        const std::string whole = ReadFile(m_out.file("BIG.CP2"));
        ASSERT_EQ(Count(whole, "\r\n"), kEvents + 1);

        for (int point = 0; point < kKillPoints; ++point) {
            const std::string at = "Delete " + std::to_string(deleteOn) + ", signal " +
                                   std::to_string(signal) + ", point " + std::to_string(point);
            fs::remove(m_home.file("FileList.txt"));
            DropBig();
            WriteFile(m_out.file("BIG.CP2"), kEarlierOutput);
            const int code = SignalAt("watch --interval 0", signal, length, point);
            EXPECT_TRUE(code == 0 || code == 128 + signal) << code << " " << at;

            const bool complete = ReadFile(m_out.file("BIG.CP2")) == whole;
            EXPECT_TRUE(complete || ReadFile(m_out.file("BIG.CP2")) == kEarlierOutput) << at;
            const bool sourceThere = fs::exists(m_watch.file("BIG.CSV"));
            EXPECT_TRUE(sourceThere || (deleteOn && complete)) << at;
            EXPECT_TRUE(!sourceThere || ReadFile(m_watch.file("BIG.CSV")) == m_schedule) << at;
            // A listed source is not converted again: only a whole output lists it.
            const bool listed = Count(ReadFile(m_home.file("FileList.txt")), "BIG.CSV") > 0;
            EXPECT_TRUE(complete || !listed) << at;
            if (signal == SIGTERM) {
                EXPECT_EQ(Temporaries(m_out.path()), std::vector<fs::path>{}) << at;
            }

            RunWhole(restart);
            const bool needed = deleteOn ? sourceThere : !listed;
            EXPECT_EQ(Count(Out(), "started "), needed ? 1 : 0) << at << "\n" << Out();
            EXPECT_TRUE(ReadFile(m_out.file("BIG.CP2")) == whole) << at;
            EXPECT_EQ(fs::exists(m_watch.file("BIG.CSV")), !deleteOn) << at;
            if (!deleteOn) {
                EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "BIG.CSV\r\n") << at;
            }
        }
        MakeStale(Temporaries(m_out.path()));
        MakeStale(Temporaries(m_home.path()));  // a list save cut short
        RunWhole("watch --interval 0 --polls 1");
        EXPECT_EQ(Temporaries(m_out.path()), std::vector<fs::path>{});
        EXPECT_EQ(Temporaries(m_home.path()), std::vector<fs::path>{});
        fs::remove(m_home.file("FileList.txt"));
        fs::remove(m_watch.file("BIG.CSV"));
    }
}

TEST_F(KillTest, WatchSaysWhichSourceItKeptWhenItCannotBeDeleted) {
    SaveWatchRules(true);
    Drop("A.CSV", test::CsvSchedule({{}, {}}));
    const std::string input = m_watch.folderText() + "A.CSV";
    // A folder without write permission keeps the file from a user, the flag from the superuser.
    fs::permissions(m_watch.path(), fs::perms::owner_write, fs::perm_options::remove);
    test::SetImmutable(input, true);
    const bool undeletable =
        ::access(m_watch.path().c_str(), W_OK) != 0 || ::unlink(input.c_str()) != 0;
    const test::CliResult watch =
        undeletable ? Run("watch --interval 0 --polls 3" + Home()) : test::CliResult{};
    test::SetImmutable(input, false);
    fs::permissions(m_watch.path(), fs::perms::owner_write, fs::perm_options::add);
    if (!undeletable) {
        GTEST_SKIP() << "no way to make a file undeletable here";
    }
    EXPECT_EQ(Count(watch.out, "started "), 1) << watch.out;  // held back, not tried again
    EXPECT_NE(
        watch.out.find("\nkept " + input + ": Path/File access error: cannot delete " + input),
        std::string::npos)
        << watch.out;
    EXPECT_EQ(test::FileLines(m_out.file("A.CP2")).size(), 3u);
}

}  // namespace
}  // namespace skedora
