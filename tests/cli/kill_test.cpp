// The programs killed outright (SIGKILL, as a crash or a power cut ends them) at many points of a
// job, and stopped by a signal: what the output folder, the watch folder and the converted-file
// list hold afterwards, and what a restart does with it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "engine/cp2_line.h"
#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;
using SteadyClock = std::chrono::steady_clock;

/** The kill points: from the start of the process to the end of its job. */
constexpr int kKillPoints = 10;
/** Fewer for the watch, each point of which runs a restart too. */
constexpr int kWatchKillPoints = 6;
/** Events in the schedule killed: long enough a job that the points fall in every stage. */
constexpr int kEvents = 32767;
/** A schedule that every earlier, complete output is (not the one a job writes). */
constexpr std::string_view kEarlierOutput = "an earlier, complete output\r\n";

std::string BigSchedule() {
    std::string text(CsvHeaderText());
    text += "\r\n";
    for (int i = 0; i < kEvents; ++i) {
        text += "1,03/05/2024,TUE,10:00,11:00,NEWS " + std::to_string(i) +
                ",,,,,1,WABC,2,WXYZ,12,SYS,,\r\n";
    }
    return text;
}

/** Every line ends in CR LF and there is a header and a line per event. */
bool IsWholeOutput(const std::string& bytes) {
    std::size_t lines = 0;
    for (std::size_t at = bytes.find('\n'); at != std::string::npos;
         at = bytes.find('\n', at + 1)) {
        if (at == 0 || bytes[at - 1] != '\r') {
            return false;
        }
        ++lines;
    }
    return !bytes.empty() && bytes.back() == '\n' && lines == kEvents + 1;
}

/** Hidden temporary files of outputs in folder. */
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

/** Ages files past the stale-file rule (last written more than a minute ago). */
void MakeStale(const std::vector<fs::path>& files) {
    for (const auto& file : files) {
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    }
}

class KillTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* cli = std::getenv("SKEDORA_CLI");
        ASSERT_NE(cli, nullptr) << "SKEDORA_CLI names the program under test";
        m_cli = cli;
        m_schedule = BigSchedule();
    }

    /** Starts the program with the arguments, its output to the scratch folder. */
    pid_t Start(const std::vector<std::string>& arguments) {
        std::vector<std::string> words = {m_cli};
        words.insert(words.end(), arguments.begin(), arguments.end());
        words.push_back("--home");
        words.push_back(m_home.path().string());
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, m_scratch.file("out").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, m_scratch.file("err").c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = -1;
        const int error = posix_spawn(&pid, m_cli.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(error, 0);
        return pid;
    }

    /** Waits for the program; its exit code, or minus the signal that ended it. */
    static int Wait(pid_t pid) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    }

    /** Runs the program to its end; how long it took. */
    SteadyClock::duration RunWhole(const std::vector<std::string>& arguments) {
        const auto start = SteadyClock::now();
        EXPECT_EQ(Wait(Start(arguments)), 0) << ReadFile(m_scratch.file("err"));
        return SteadyClock::now() - start;
    }

    /** Starts the program and kills it outright after the delay. */
    void KillAfter(const std::vector<std::string>& arguments, SteadyClock::duration delay) {
        const pid_t pid = Start(arguments);
        std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
        Wait(pid);
    }

    /** Sends SIGTERM and waits; the exit code as Wait gives it. Keeps the longest wait. */
    int Stop(pid_t pid) {
        const auto sent = SteadyClock::now();
        ::kill(pid, SIGTERM);
        const int code = Wait(pid);
        m_slowestStop = std::max(
            m_slowestStop,
            std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - sent));
        return code;
    }

    std::string Out() const { return ReadFile(m_scratch.file("out")); }

    void SaveWatchRules(bool deleteOn) {
        RuleSet rules;
        rules.AutoLoadSettings = {
            m_watch.folderText(), m_out.folderText(), false, true, deleteOn, false};
        ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    }

    /** The schedule in the watch folder, past its quiet period. */
    void DropSchedule() {
        WriteFile(m_watch.file("BIG.CSV"), m_schedule);
        fs::last_write_time(m_watch.file("BIG.CSV"),
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
    }

    std::string m_cli;
    std::string m_schedule;
    std::chrono::milliseconds m_slowestStop{0};
    test::TempDir m_home, m_data, m_watch, m_out, m_scratch;
};

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(KillTest, AKilledConvertLeavesTheEarlierOutputOrTheWholeNewOne) {
    ASSERT_EQ(SaveSettings(m_home.path(), RuleSet{}), std::nullopt);
    WriteFile(m_data.file("big.csv"), m_schedule);
    const std::vector<std::string> convert = {"convert", m_data.file("big.csv").string()};
    const auto length = RunWhole(convert);
    const std::string whole = ReadFile(m_data.file("big.CP2"));
    ASSERT_TRUE(IsWholeOutput(whole));

    int earlierKept = 0;
    for (int point = 0; point < kKillPoints; ++point) {
        WriteFile(m_data.file("big.CP2"), kEarlierOutput);
        KillAfter(convert, length * point / (kKillPoints - 1));
        const std::string output = ReadFile(m_data.file("big.CP2"));
        EXPECT_TRUE(output == kEarlierOutput || output == whole) << "point " << point;
        earlierKept += output == kEarlierOutput;
        EXPECT_EQ(ReadFile(m_data.file("big.csv")), m_schedule) << "point " << point;
    }
    EXPECT_GT(earlierKept, 0);  // some kill fell before the output was complete

    // A killed job's temporary goes at the next conversion to that output once it is stale.
    MakeStale(Temporaries(m_data.path()));
    RunWhole(convert);
    EXPECT_EQ(Temporaries(m_data.path()), std::vector<fs::path>{});
    EXPECT_EQ(ReadFile(m_data.file("big.CP2")), whole);
}

TEST_F(KillTest, AKilledWatchConvertsEachSourceOnceMoreWhereNeededAfterARestart) {
    const std::vector<std::string> watch = {"watch", "--interval", "0"};
    const std::vector<std::string> restart = {"watch", "--interval", "0", "--polls", "2"};
    for (const bool deleteOn : {false, true}) {
        SaveWatchRules(deleteOn);
        DropSchedule();
        const auto length = RunWhole(restart);
        const std::string whole = ReadFile(m_out.file("BIG.CP2"));
        ASSERT_TRUE(IsWholeOutput(whole));

        for (int point = 0; point < kWatchKillPoints; ++point) {
            const std::string at = std::string(deleteOn ? "Delete on" : "Delete off") + ", point " +
                                   std::to_string(point);
            fs::remove(m_home.file("FileList.txt"));
            DropSchedule();
            WriteFile(m_out.file("BIG.CP2"), kEarlierOutput);
            KillAfter(watch, length * point / (kWatchKillPoints - 1));

            const std::string output = ReadFile(m_out.file("BIG.CP2"));
            const bool complete = output == whole;
            EXPECT_TRUE(complete || output == kEarlierOutput) << at;
            const bool sourceThere = fs::exists(m_watch.file("BIG.CSV"));
            EXPECT_TRUE(sourceThere || (deleteOn && complete)) << at;
            if (sourceThere) {
                EXPECT_EQ(ReadFile(m_watch.file("BIG.CSV")), m_schedule) << at;
            }
            const bool listed =
                fs::exists(m_home.file("FileList.txt")) &&
                ReadFile(m_home.file("FileList.txt")).find("BIG.CSV") != std::string::npos;
            EXPECT_TRUE(complete || !listed) << at;

            RunWhole(restart);
            // With Delete on the source itself is the record: one still there is converted
            // again, even when only its deletion was cut short.
            const bool needed = deleteOn ? sourceThere : !listed;
            EXPECT_EQ(Count(Out(), "started "), needed ? 1 : 0) << at << "\n" << Out();
            EXPECT_EQ(ReadFile(m_out.file("BIG.CP2")), whole) << at;
            EXPECT_EQ(fs::exists(m_watch.file("BIG.CSV")), !deleteOn) << at;
            if (!deleteOn) {
                EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "BIG.CSV\r\n") << at;
            }
        }
        // Temporaries of the killed jobs younger than a minute may stay (a job of another
        // program could be writing them); once stale, the next start or poll removes them.
        MakeStale(Temporaries(m_out.path()));
        MakeStale(Temporaries(m_home.path()));  // a list save cut short
        RunWhole({"watch", "--interval", "0", "--polls", "1"});
        EXPECT_EQ(Temporaries(m_out.path()), std::vector<fs::path>{});
        EXPECT_EQ(Temporaries(m_home.path()), std::vector<fs::path>{});
        fs::remove(m_home.file("FileList.txt"));
        fs::remove(m_watch.file("BIG.CSV"));
    }
}

/** Stopped by SIGTERM during the read or the pass: exits with the signal, no output, promptly. */
TEST_F(KillTest, AStopSignalEndsAConvertOrAWatchJobAtAnyPoint) {
    SaveWatchRules(true);
    WriteFile(m_data.file("big.csv"), m_schedule);
    const std::vector<std::string> convert = {"convert", m_data.file("big.csv").string()};
    const auto length = RunWhole(convert);
    const std::string whole = ReadFile(m_data.file("big.CP2"));
    fs::remove(m_data.file("big.CP2"));
    for (int point = 0; point < kWatchKillPoints; ++point) {
        const pid_t pid = Start(convert);
        std::this_thread::sleep_for(length * point / (kWatchKillPoints - 1));
        const int code = Stop(pid);
        if (code == 0) {
            EXPECT_EQ(ReadFile(m_data.file("big.CP2")), whole) << "point " << point;
        } else {
            // Before its handlers are in place the signal ends the program as it ends any.
            EXPECT_TRUE(code == 128 + SIGTERM || code == -SIGTERM) << code << " point " << point;
            EXPECT_FALSE(fs::exists(m_data.file("big.CP2"))) << "point " << point;
        }
        fs::remove(m_data.file("big.CP2"));
    }
    EXPECT_EQ(Temporaries(m_data.path()), std::vector<fs::path>{});

    for (int point = 0; point < kWatchKillPoints; ++point) {
        DropSchedule();
        const pid_t pid = Start({"watch", "--interval", "0"});
        std::this_thread::sleep_for(length * point / (kWatchKillPoints - 1));
        const int code = Stop(pid);
        EXPECT_TRUE(code == 0 || code == -SIGTERM) << code << " point " << point;
        // The job either ended (source deleted, output whole) or left no trace.
        if (fs::exists(m_watch.file("BIG.CSV"))) {
            EXPECT_FALSE(fs::exists(m_out.file("BIG.CP2"))) << "point " << point;
        } else {
            EXPECT_EQ(ReadFile(m_out.file("BIG.CP2")), whole) << "point " << point;
        }
        fs::remove(m_out.file("BIG.CP2"));
    }
    EXPECT_EQ(Temporaries(m_out.path()), std::vector<fs::path>{});
    // Measured, not asserted: the longest a stop took, for the record.
    RecordProperty("slowest_stop_ms", static_cast<int>(m_slowestStop.count()));
    std::cout << "slowest stop: " << m_slowestStop.count() << " ms\n";
}

TEST_F(KillTest, AFullDiskFailsTheJobWhereTheUserLooksAndLosesNothing) {
    SaveWatchRules(true);
    WriteFile(m_data.file("big.csv"), m_schedule);
    WriteFile(m_data.file("big.CP2"), kEarlierOutput);
    DropSchedule();
    WriteFile(m_out.file("BIG.CP2"), kEarlierOutput);
    // A file size limit below the output's size stands in for a full disk.
    const auto run = [&](const std::string& arguments) {
        const std::string command = "trap '' XFSZ; ulimit -f 64; exec '" + m_cli + "' " +
                                    arguments + " --home '" + m_home.path().string() + "' >'" +
                                    m_scratch.file("out").string() + "' 2>'" +
                                    m_scratch.file("err").string() + "' </dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("convert '" + m_data.file("big.csv").string() + "'"), 1);
    EXPECT_NE(ReadFile(m_scratch.file("err")).find(m_data.file("big.CP2").string() + ": cannot"),
              std::string::npos)
        << ReadFile(m_scratch.file("err"));
    EXPECT_EQ(ReadFile(m_data.file("big.CP2")), kEarlierOutput);
    EXPECT_EQ(Temporaries(m_data.path()), std::vector<fs::path>{});

    EXPECT_EQ(run("watch --interval 0 --polls 3"), 0);
    EXPECT_EQ(Count(Out(), "started "), 1) << Out();  // held back, not tried again in this run
    EXPECT_NE(Out().find("\nfailed " + m_watch.folderText() + "BIG.CSV -> "), std::string::npos)
        << Out();
    EXPECT_EQ(ReadFile(m_out.file("BIG.CP2")), kEarlierOutput);
    EXPECT_EQ(ReadFile(m_watch.file("BIG.CSV")), m_schedule);
    EXPECT_EQ(Temporaries(m_out.path()), std::vector<fs::path>{});
}

/**
 * Makes a file impossible to delete, even for the superuser, while it lives: its folder made
 * read-only, and the file itself immutable where the file system allows it.
 */
class Undeletable {
  public:
    explicit Undeletable(const fs::path& file) : m_file(file) {
        fs::permissions(file.parent_path(), fs::perms::owner_write, fs::perm_options::remove);
        SetImmutable(true);
    }
    ~Undeletable() {
        SetImmutable(false);
        fs::permissions(m_file.parent_path(), fs::perms::owner_write, fs::perm_options::add);
    }
    Undeletable(const Undeletable&) = delete;
    Undeletable& operator=(const Undeletable&) = delete;

  private:
    void SetImmutable(bool on) {
        const int fd = ::open(m_file.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }

    fs::path m_file;
};

TEST_F(KillTest, WatchSaysWhichSourceItKeptAndThatTheListWasNotSaved) {
    SaveWatchRules(true);
    test::WriteCsvSchedule(m_watch.file("A.CSV"), {{}, {}});
    fs::last_write_time(m_watch.file("A.CSV"),
                        fs::file_time_type::clock::now() - std::chrono::hours(1));
    const std::string input = m_watch.folderText() + "A.CSV";
    {
        const Undeletable kept(m_watch.file("A.CSV"));
        if (::access(m_watch.path().c_str(), W_OK) == 0 && ::unlink(input.c_str()) == 0) {
            GTEST_SKIP() << "no way to make a file undeletable here";
        }
        RunWhole({"watch", "--interval", "0", "--polls", "3"});
    }
    EXPECT_EQ(Count(Out(), "started "), 1) << Out();  // held back, not tried again in this run
    EXPECT_NE(Out().find("\nkept " + input + ": Path/File access error: cannot delete " + input),
              std::string::npos)
        << Out();
    EXPECT_TRUE(fs::exists(m_watch.file("A.CSV")));
    EXPECT_EQ(test::FileLines(m_out.file("A.CP2")).size(), 3u);

    // With Delete off the list is the only record of the job: a list that cannot be saved says so.
    SaveWatchRules(false);
    fs::remove(m_out.file("A.CP2"));
    fs::remove(m_home.file("FileList.txt"));
    fs::create_directory(m_home.file("FileList.txt"));
    RunWhole({"watch", "--interval", "0", "--polls", "2"});
    EXPECT_EQ(Count(Out(), "finished "), 1) << Out();
    EXPECT_GE(Count(ReadFile(m_scratch.file("err")), "FileList.txt"), 2)
        << ReadFile(m_scratch.file("err"));  // not read at start-up, not saved after the job
    EXPECT_TRUE(fs::exists(m_watch.file("A.CSV")));
}

}  // namespace
}  // namespace skedora
