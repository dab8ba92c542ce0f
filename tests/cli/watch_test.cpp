
#include <unistd.h>

#include <variant>

#include "os/home_lock.h"
#include "support/cli_run.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

constexpr std::size_t kOutputLines = 3;

class WatchCommandTest : public test::CliTestBase {
  protected:
    void SetUp() override {
        CliTestBase::SetUp();
        SaveWatchRules(true);
    }

    int RunWatch(const std::string& arguments) {
        const test::CliResult result = Run(arguments + Home());
        err = result.err;
        return result.exitCode;
    }
    void Drop(const std::string& name) { CliTestBase::Drop(name, test::CsvSchedule({{}, {}})); }

    std::string err;
};

TEST_F(WatchCommandTest, SecondWatcherOfAHomeExitsNamingTheHolderButConvertNeedsNoLock) {
    Drop("A.CSV");
    auto lock = HomeLock::TryAcquire(m_home.path(), "skedora");
    ASSERT_TRUE(std::holds_alternative<HomeLock>(lock));

    EXPECT_EQ(RunWatch("watch --polls 1"), 1);
    EXPECT_EQ(err, "skedora-cli: skedora (process " + std::to_string(::getpid()) +
                       ") already watches the folder of " + m_home.path().string() + "\n");
    EXPECT_TRUE(fs::exists(m_watch.file("A.CSV")));  // nothing converted, nothing deleted

    EXPECT_EQ(RunWatch("convert '" + m_watch.file("A.CSV").string() + "' --output '" +
                       m_scratch.file("A.CP2").string() + "'"),
              0)
        << err;
    EXPECT_EQ(test::FileLines(m_scratch.file("A.CP2")).size(), kOutputLines);

    lock = LockHolder{};
    EXPECT_EQ(RunWatch("watch --polls 1"), 0) << err;
    EXPECT_TRUE(fs::exists(m_out.file("A.CP2")));
}

TEST_F(WatchCommandTest, BacklogDrainsWithoutWaitingAnIntervalPerFile) {
    const std::vector<std::string> names = {"A.CSV", "B.CSV", "C.CSV", "D.CSV", "E.CSV"};
    for (const auto& name : names) {
        Drop(name);
    }
    EXPECT_EQ(RunWatch("watch --interval 3600 --polls " + std::to_string(names.size() + 1)), 0)
        << err;
    for (const auto& name : names) {
        const std::string output = name.substr(0, 1) + ".CP2";
        EXPECT_EQ(test::FileLines(m_out.file(output)).size(), kOutputLines) << output;
        EXPECT_FALSE(fs::exists(m_watch.file(name))) << name;
    }
}

TEST_F(WatchCommandTest, IgnoredLinesAreWarnedOfForTheJobThatHadThem) {
    Drop("A.CSV");
    CliTestBase::Drop("B.CSV", "header\r\n\x01\x02\r\nnot,an,event\r\n\xFF\r\n");
    EXPECT_EQ(RunWatch("watch --polls 3"), 0) << err;
    EXPECT_EQ(err, "skedora-cli: warning: 3 lines of " + m_watch.file("B.CSV").string() +
                       " were ignored: fewer than 18 fields\n");
    EXPECT_TRUE(fs::exists(m_out.file("B.CP2")));
}

}  // namespace
}  // namespace skedora
