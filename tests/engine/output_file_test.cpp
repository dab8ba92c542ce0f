#include "engine/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "support/expect_error.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

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
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_EQ(Names().begin()->front(), '.');

    ASSERT_EQ(output.Commit(), std::nullopt);
    EXPECT_EQ(Names(), std::set<std::string>{"WEEK1.CP2"});
    EXPECT_FALSE(fs::is_symlink(Output()));
    EXPECT_EQ(test::ReadFile(Output()), "day,cur_date\r\n1,\xE9t\xE9\r\n");
    EXPECT_EQ(test::ReadFile(elsewhere.file("passwd")), "root:x:0:0\n");
    EXPECT_EQ(test::ModeOf(Output()), 0640u);
}

TEST_F(OutputFileTest, AnAbortedAbandonedOrRefusedOutputLeavesWhatHadItsNameAsItWas) {
    test::WriteFile(Output(), "earlier output\r\n");
    {
        OutputFile output;
        ASSERT_EQ(output.Create(Output()), std::nullopt);
        for (int i = 0; i < 1000; ++i) {
            output.WriteLine(std::string(40, 'x'));
        }
        output.Abort();
        ASSERT_EQ(output.Create(Output()), std::nullopt);
        output.WriteLine("line");
    }  // dropped uncommitted
    // A FIFO or a device is refused, not opened (a folder is, in the command-line watch test).
    ASSERT_EQ(::mkfifo(m_dir.file("PIPE.CP2").c_str(), 0666), 0);
    OutputFile refused;
    EXPECT_TRUE(test::IsError(refused.Create(m_dir.file("PIPE.CP2").string()),
                              errors::kPathFileAccess, {"PIPE.CP2: not a regular file (a FIFO)"}));
    EXPECT_TRUE(test::IsError(refused.Create("/dev/null"), errors::kPathFileAccess,
                              {"/dev/null: not a regular file (a device)"}));
    EXPECT_TRUE(fs::is_fifo(m_dir.file("PIPE.CP2")));
    EXPECT_EQ(Names(), (std::set<std::string>{"PIPE.CP2", "WEEK1.CP2"}));
    EXPECT_EQ(test::ReadFile(Output()), "earlier output\r\n");
}

TEST_F(OutputFileTest, TemporariesOfKilledJobsGoOnceStaleLongNamesToo) {
    for (const std::string& name : {std::string("WEEK1.CP2"), std::string(250, 'L') + ".CP2"}) {
        OutputFile abandoned;
        ASSERT_EQ(abandoned.Create(m_dir.file(name).string()), std::nullopt);
        const auto temporary = m_dir.file(*Names().begin());
        fs::copy_file(temporary, m_dir.file("copy"));
        abandoned.Abort();
        fs::rename(m_dir.file("copy"), temporary);
        fs::last_write_time(temporary, fs::file_time_type::clock::now() - std::chrono::hours(1));
        ASSERT_EQ(RemoveStaleOutputTemporaries(m_dir.folderText()), std::nullopt);
        EXPECT_TRUE(Names().empty()) << name;
    }
}

}  // namespace
}  // namespace skedora
