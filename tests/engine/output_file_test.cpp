#include "engine/output_file.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <set>

#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

const std::string kEarlier = "earlier output\r\n";

class OutputFileTest : public ::testing::Test {
  protected:
    /** Every name in the output folder. */
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    std::string Output() const { return m_dir.file("WEEK1.CP2").string(); }
    /** Writes count numbered lines. */
    static void WriteLines(OutputFile& output, int count) {
        for (int i = 0; i < count; ++i) {
            output.WriteLine("line " + std::to_string(i) + std::string(40, 'x'));
        }
    }

    test::TempDir m_dir;
};

TEST_F(OutputFileTest, CommitPutsTheLinesUnderTheNameOnlyAtTheEnd) {
    const mode_t previous = ::umask(027);
    OutputFile output;
    const MaybeError created = output.Create(Output());
    ::umask(previous);
    ASSERT_EQ(created, std::nullopt);
    output.WriteLine("day,cur_date");
    output.WriteLine("");
    output.WriteLine("1,\xE9t\xE9");
    // Until the commit the output folder shows only a hidden temporary file.
    const std::set<std::string> during = Names();
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during.begin()->front(), '.');
    EXPECT_EQ(output.Path(), Output());

    ASSERT_EQ(output.Commit(), std::nullopt);
    EXPECT_FALSE(output.IsOpen());
    EXPECT_EQ(test::ReadFile(Output()), "day,cur_date\r\n\r\n1,\xE9t\xE9\r\n");
    EXPECT_EQ(Names(), std::set<std::string>{"WEEK1.CP2"});
    struct stat info {};
    ::stat(Output().c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(OutputFileTest, ALinkNamedLikeTheOutputIsReplacedAndItsTargetUntouched) {
    test::TempDir elsewhere;
    test::WriteFile(elsewhere.file("passwd"), "root:x:0:0\n");
    fs::create_symlink(elsewhere.file("passwd"), Output());
    OutputFile output;
    ASSERT_EQ(output.Create(Output()), std::nullopt);
    output.WriteLine("header");
    ASSERT_EQ(output.Commit(), std::nullopt);
    EXPECT_FALSE(fs::is_symlink(Output()));
    EXPECT_EQ(test::ReadFile(Output()), "header\r\n");
    EXPECT_EQ(test::ReadFile(elsewhere.file("passwd")), "root:x:0:0\n");
}

TEST_F(OutputFileTest, AnAbortedOrAbandonedOutputLeavesTheEarlierOneAsItWas) {
    for (const bool earlier : {true, false}) {
        if (earlier) {
            test::WriteFile(Output(), kEarlier);
        }
        {
            OutputFile output;
            ASSERT_EQ(output.Create(Output()), std::nullopt);
            WriteLines(output, 1000);
            output.Abort();
            EXPECT_EQ(output.Commit(), std::nullopt);  // nothing left to commit
            ASSERT_EQ(output.Create(Output()), std::nullopt);
            WriteLines(output, 10);
        }  // dropped uncommitted
        EXPECT_EQ(Names(), earlier ? std::set<std::string>{"WEEK1.CP2"} : std::set<std::string>{});
        if (earlier) {
            EXPECT_EQ(test::ReadFile(Output()), kEarlier);
            fs::remove(Output());
        }
    }
}

TEST_F(OutputFileTest, AFailedWriteIsReturnedByCommitAndLeavesTheEarlierOutputWhole) {
    test::WriteFile(Output(), kEarlier);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16 * 1024;
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    OutputFile output;
    MaybeError created = output.Create(Output());
    WriteLines(output, 2000);  // about 100 KB
    const MaybeError failure = output.Commit();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    ::signal(SIGXFSZ, oldHandler);

    ASSERT_EQ(created, std::nullopt);
    ASSERT_NE(failure, std::nullopt);
    EXPECT_EQ(failure->number, errors::kPathFileAccess);
    EXPECT_NE(failure->description.find(Output()), std::string::npos) << failure->description;
    EXPECT_EQ(test::ReadFile(Output()), kEarlier);
    EXPECT_EQ(Names(), std::set<std::string>{"WEEK1.CP2"});
}

TEST_F(OutputFileTest, AWriterKilledAtAnyPointLeavesNoPartialOutputUnderTheName) {
    test::WriteFile(Output(), kEarlier);
    // Killed right after the create, after some lines, after many, and by another process
    // while it writes without end.
    for (const int lines : {0, 1, 500, 20000, -1}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            OutputFile output;
            if (output.Create(Output())) {
                ::_exit(3);
            }
            if (lines < 0) {
                for (;;) {
                    WriteLines(output, 100);
                }
            }
            WriteLines(output, lines);
            ::raise(SIGKILL);
            ::_exit(4);
        }
        if (lines < 0) {
            const timespec moment{0, 20'000'000};
            ::nanosleep(&moment, nullptr);
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << lines;
        EXPECT_EQ(test::ReadFile(Output()), kEarlier) << lines;
        for (const std::string& name : Names()) {
            EXPECT_TRUE(name == "WEEK1.CP2" || name.front() == '.') << name;
        }
    }
    // The temporary files the killed writers left are swept once they are old.
    const timespec hourAgo{::time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    for (const std::string& name : Names()) {
        if (name.front() == '.') {
            ::utimensat(AT_FDCWD, m_dir.file(name).c_str(), times, 0);
        }
    }
    EXPECT_EQ(RemoveStaleOutputTemporaries(m_dir.folderText()), std::nullopt);
    EXPECT_EQ(Names(), std::set<std::string>{"WEEK1.CP2"});
}

TEST_F(OutputFileTest, AFifoOrFolderOfTheOutputsNameIsRefused) {
    ASSERT_EQ(::mkfifo(Output().c_str(), 0666), 0);
    fs::create_directory(m_dir.file("DIR.CP2"));
    for (const std::string& path : {Output(), m_dir.file("DIR.CP2").string()}) {
        OutputFile output;
        const MaybeError error = output.Create(path);
        ASSERT_NE(error, std::nullopt) << path;
        EXPECT_EQ(error->number, errors::kPathFileAccess);
        EXPECT_FALSE(output.IsOpen());
    }
    EXPECT_TRUE(fs::is_fifo(Output()));
    EXPECT_EQ(Names(), (std::set<std::string>{"DIR.CP2", "WEEK1.CP2"}));
}

}  // namespace
}  // namespace skedora
