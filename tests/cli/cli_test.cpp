#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <utility>
#include <variant>

#include "engine/cp2_line.h"
#include "model/version.h"
#include "os/home_lock.h"
#include "settings/settings_store.h"
#include "support/cli_run.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

using CliTest = test::CliTestBase;
using Result = test::CliResult;

std::string ErrorBox(const std::string& description, int number) {
    return "Error! (" + description + ").  Error number =  " + std::to_string(number) +
           ".  Error Source = Skedora\n";
}

TEST_F(CliTest, ConvertPrintsTheSummaryLineOrTheErrorBoxText) {
    RuleSet rules;
    rules.DeleteCallLetterRules[1] = {"WDEL", "12"};
    ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    test::WriteCsvSchedule(m_data.file("week1.csv"),
                           {{}, {"WABC", " ", "12", "x"}, {"WDEL", "WXYZ", "12", "y"}, {}});
    test::WriteDbfSchedule(m_data.file("WEEK2.DBF"), {{}, {}, {}});
    test::WriteFile(m_data.file("empty.csv"), "");
    const std::tuple<const char*, int, std::string> cases[] = {
        {"week1.csv", 0, "week1.csv -> week1.CP2: 4 read, 1 skipped, 1 deleted, 2 written\n"},
        {"--output out.cp2 WEEK2.DBF", 0,
         "WEEK2.DBF -> out.cp2: 3 read, 0 skipped, 0 deleted, 3 written\n"},
        {"empty.csv", 0, "empty.csv -> empty.CP2: 0 read, 0 skipped, 0 deleted, 0 written\n"},
        {"notes.txt", 1,
         ErrorBox("Only .DBF and .CSV schedule files can be converted", errors::kInvalidCall)},
        {"week3", 1, ErrorBox("Invalid procedure call or argument", errors::kInvalidCall)},
        {"--output no/such/x.cp2 week1.csv", 1,
         ErrorBox("Path/File access error: no/such/x.cp2: No such file or directory",
                  errors::kPathFileAccess)},
    };
    for (const auto& [arguments, exitCode, output] : cases) {
        const Result result = Run("convert" + Home() + arguments);
        EXPECT_EQ(result.exitCode, exitCode) << arguments;
        EXPECT_EQ(exitCode == 0 ? result.out : result.err, output) << arguments;
        EXPECT_EQ(exitCode == 0 ? result.err : result.out, "") << arguments;
    }
    EXPECT_EQ(test::FileLines(m_data.file("week1.CP2")).size(), 3u);
    EXPECT_EQ(test::FileLines(m_data.file("out.cp2")).size(), 4u);
    EXPECT_EQ(test::FileLines(m_data.file("empty.CP2")),
              std::vector<std::string>{std::string(CsvHeaderText())});
    EXPECT_FALSE(exists(m_data.file("notes.CP2")));
}

TEST_F(CliTest, BadUsageExitsTwoAndHelpAndVersionExitZero) {
    for (const char* arguments :
         {"", "frob", "convert", "convert a.csv b.csv", "convert --bogus a.csv", "convert --home",
          "watch --interval x", "watch --polls -1", "watch extra", "explain", "explain --format",
          "explain --format xml a.csv", "explain a.csv b.csv"}) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_NE(result.err.find("Usage: skedora-cli"), std::string::npos) << arguments;
        EXPECT_EQ(result.out, "") << arguments;
    }
    for (const char* command : {"", "convert ", "watch ", "explain "}) {
        const Result version = Run(std::string(command) + "--version");
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, VersionText() + "\n") << command;
        const Result help = Run(std::string(command) + "--help");
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_NE(help.out.find("Usage: skedora-cli"), std::string::npos) << command;
    }
}

// Four files at once drain without waiting the hour between polls; the failed one is kept, the
// list that cannot be read or saved is said so, and so are the lines a job ignored.
TEST_F(CliTest, WatchReportsEachJobOnceAndKeepsTheSourceOfAFailedOne) {
    SaveWatchRules(true);
    std::filesystem::create_directory(m_home.file("FileList.txt"));  // neither read nor written
    std::filesystem::create_directory(m_out.file("B.CP2"));          // B's output cannot be made
    test::WriteDbfSchedule(m_watch.file("A.DBF"), {{}});
    Drop("A.DBF", test::ReadFile(m_watch.file("A.DBF")));
    const std::string schedule = test::CsvSchedule({{}, {}});
    Drop("B.CSV", schedule);
    Drop("C.CSV", "");
    Drop("D.CSV", "header\r\n\x01\x02\r\nnot,an,event\r\n\xFF\r\n");

    const Result result = Run("watch" + Home() + "--interval 3600 --polls 5");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const auto job = [&](const char* input, const char* output) {
        return m_watch.folderText() + input + " -> " + m_out.folderText() + output;
    };
    const std::string none = ": 0 read, 0 skipped, 0 deleted, 0 written\n";
    EXPECT_EQ(
        result.out,
        "started " + job("A.DBF", "A.CP2") + "\nfinished " + job("A.DBF", "A.CP2") +
            ": 1 read, 0 skipped, 0 deleted, 1 written\nstarted " + job("B.CSV", "B.CP2") +
            "\nfailed " + job("B.CSV", "B.CP2") + ": " +
            ErrorBox("Path/File access error: " + m_out.folderText() + "B.CP2: Is a directory",
                     errors::kPathFileAccess) +
            "started " + job("C.CSV", "C.CP2") + "\nfinished " + job("C.CSV", "C.CP2") + none +
            "started " + job("D.CSV", "D.CP2") + "\nfinished " + job("D.CSV", "D.CP2") + none);
    EXPECT_FALSE(exists(m_watch.file("A.DBF")) || exists(m_watch.file("C.CSV")));
    EXPECT_EQ(test::ReadFile(m_watch.file("B.CSV")), schedule);
    const std::string list = m_home.file("FileList.txt").string();
    for (const std::string& part :
         {"cannot read " + list, "cannot write " + list,
          "warning: 3 lines of " + m_watch.folderText() + "D.CSV were ignored: fewer than 18"}) {
        EXPECT_NE(result.err.find(part), std::string::npos) << result.err;
    }
}

TEST_F(CliTest, SecondWatcherOfAHomeExitsNamingTheHolderButConvertNeedsNoLock) {
    SaveWatchRules(true);
    Drop("A.CSV", test::CsvSchedule({{}, {}}));
    auto lock = HomeLock::TryAcquire(m_home.path(), "skedora");
    ASSERT_TRUE(std::holds_alternative<HomeLock>(lock));

    Result result = Run("watch --polls 1" + Home());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "skedora-cli: skedora (process " + std::to_string(::getpid()) +
                              ") already watches the folder of " + m_home.path().string() + "\n");
    EXPECT_TRUE(exists(m_watch.file("A.CSV")));  // nothing converted, nothing deleted

    result = Run("convert '" + m_watch.file("A.CSV").string() + "' --output out.cp2" + Home());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::FileLines(m_data.file("out.cp2")).size(), 3u);
}

TEST_F(CliTest, AMissingHomeOrUnreadableSettingsAreRefused) {
    const Result missingHome = Run("convert --home '" + m_data.file("none").string() + "' a.csv");
    EXPECT_EQ(missingHome.exitCode, 2);
    EXPECT_NE(missingHome.err.find("is not a folder"), std::string::npos) << missingHome.err;

    // There, but not readable; a FIFO is not waited on.
    const std::filesystem::path ini = m_home.file("SK.ini");
    const std::pair<const char*, std::function<void()>> kinds[] = {
        {"folder", [&] { std::filesystem::create_directory(ini); }},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0); }},
        {"dangling link", [&] { std::filesystem::create_symlink(m_data.file("gone"), ini); }},
    };
    test::WriteCsvSchedule(m_data.file("week1.csv"), {{}});
    for (const auto& [kind, make] : kinds) {
        std::filesystem::remove(ini);
        make();
        for (const char* command : {"watch --polls 1", "convert week1.csv", "explain week1.csv"}) {
            const Result result = Run(command + Home());
            EXPECT_EQ(result.exitCode, 1) << kind << ", " << command;
            EXPECT_NE(result.err.find(ini.string() + ": the settings file cannot be read"),
                      std::string::npos)
                << kind << ", " << command << ": " << result.err;
            EXPECT_EQ(result.out, "") << kind << ", " << command;
        }
    }
    EXPECT_FALSE(exists(m_data.file("week1.CP2")));
}

}  // namespace
}  // namespace skedora
