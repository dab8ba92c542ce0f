#include "engine/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
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
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    std::string Output() const { return m_dir.file("WEEK1.CP2").string(); }
    static void WriteLines(OutputFile& output, int count) {
        for (int i = 0; i < count; ++i) {
            output.WriteLine("line " + std::to_string(i) + std::string(40, 'x'));
        }
    }

    test::TempDir m_dir;
};

TEST_F(OutputFileTest, CommitReplacesALinkOfTheNameNotItsTargetAndOnlyAtTheEnd) {
    test::TempDir elsewhere;
    test::WriteFile(elsewhere.file("passwd"), "root:x:0:0\n");
    fs::create_symlink(elsewhere.file("passwd"), Output());
    const mode_t previous = ::umask(027);
    OutputFile output;
    const MaybeError created = output.Create(Output());
    ::umask(previous);
    ASSERT_EQ(created, std::nullopt);
    output.WriteLine("day,cur_date");
    output.WriteLine("1,\xE9t\xE9");
    // Until the commit the folder shows only a hidden temporary file beside the link.
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(Names().begin()->front(), '.');

    ASSERT_EQ(output.Commit(), std::nullopt);
    EXPECT_EQ(Names(), std::set<std::string>{"WEEK1.CP2"});
    EXPECT_FALSE(fs::is_symlink(Output()));
    EXPECT_EQ(test::ReadFile(Output()), "day,cur_date\r\n1,\xE9t\xE9\r\n");
    EXPECT_EQ(test::ReadFile(elsewhere.file("passwd")), "root:x:0:0\n");
    struct stat info {};
    ::stat(Output().c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(OutputFileTest, AnAbortedOrAbandonedOutputLeavesTheEarlierOneAsItWas) {
    test::WriteFile(Output(), kEarlier);
    {
        OutputFile output;
        ASSERT_EQ(output.Create(Output()), std::nullopt);
        WriteLines(output, 1000);
        output.Abort();
        ASSERT_EQ(output.Create(Output()), std::nullopt);
        WriteLines(output, 10);
    }  // dropped uncommitted
    EXPECT_EQ(Names(), std::set<std::string>{"WEEK1.CP2"});
    EXPECT_EQ(test::ReadFile(Output()), kEarlier);
}

TEST_F(OutputFileTest, AFailedWriteIsReturnedByCommitAndLeavesTheEarlierOutputWhole) {
    test::WriteFile(Output(), kEarlier);
    // A file size limit below the output's size stands in for a full disk.
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    rlimit small = previous;
    small.rlim_cur = 16 * 1024;
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &small);
    OutputFile output;
    const MaybeError created = output.Create(Output());
    WriteLines(output, 2000);
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
    // Killed right after the create, after some lines, after many, and from outside while it
    // writes without end.
    for (const int lines : {0, 1, 500, 20000, -1}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            OutputFile output;
            if (output.Create(Output())) {
                ::_exit(3);
            }
            do {
                WriteLines(output, lines < 0 ? 100 : lines);
            } while (lines < 0);
            ::raise(SIGKILL);
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
    }
    // What the killed writers left is hidden, and swept once it is old.
    const timespec hourAgo{::time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    for (const std::string& name : Names()) {
        if (name != "WEEK1.CP2") {
            EXPECT_EQ(name.front(), '.');
            ::utimensat(AT_FDCWD, m_dir.file(name).c_str(), times, 0);
        }
    }
    EXPECT_EQ(RemoveStaleOutputTemporaries(m_dir.folderText()), std::nullopt);
    EXPECT_EQ(Names(), std::set<std::string>{"WEEK1.CP2"});
}

TEST_F(OutputFileTest, AFifoOrFolderOfTheOutputsNameIsRefusedAndKept) {
    ASSERT_EQ(::mkfifo(Output().c_str(), 0666), 0);
    fs::create_directory(m_dir.file("DIR.CP2"));
    for (const std::string& path : {Output(), m_dir.file("DIR.CP2").string()}) {
        OutputFile output;
        const MaybeError error = output.Create(path);
        ASSERT_NE(error, std::nullopt) << path;
        EXPECT_EQ(error->number, errors::kPathFileAccess);
    }
    EXPECT_TRUE(fs::is_fifo(Output()));
    EXPECT_EQ(Names(), (std::set<std::string>{"DIR.CP2", "WEEK1.CP2"}));
}

}  // namespace
}  // namespace skedora
