#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "input/csv_reader.h"
#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TestEvent;

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* cli = std::getenv("SKEDORA_CLI");
        ASSERT_NE(cli, nullptr) << "SKEDORA_CLI names the program under test";
        m_cli = cli;
    }

    /** Runs the program with the arguments (shell words) from the data folder. */
    Result Run(const std::string& arguments) {
        const std::string command = "cd '" + m_data.path().string() + "' && '" + m_cli + "' " +
                                    arguments + " >'" + m_scratch.file("out").string() + "' 2>'" +
                                    m_scratch.file("err").string() + "' </dev/null";
        const int status = std::system(command.c_str());
        Result result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadFile(m_scratch.file("out"));
        result.err = ReadFile(m_scratch.file("err"));
        return result;
    }
    std::string Home() const { return "--home '" + m_home.path().string() + "' "; }

    std::string m_cli;
    test::TempDir m_home;
    test::TempDir m_data;
    test::TempDir m_scratch;
};

TEST_F(CliTest, ConvertPrintsTheSummaryLine) {
    RuleSet rules;
    rules.DeleteCallLetterRules[1] = {"WDEL", "12"};
    ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    test::WriteCsvSchedule(m_data.file("week1.csv"),
                           {{}, {"WABC", " ", "12", "x"}, {"WDEL", "WXYZ", "12", "y"}, {}});

    const Result result = Run("convert " + Home() + "week1.csv");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "week1.csv -> week1.CP2: 4 read, 1 skipped, 1 deleted, 2 written\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(test::FileLines(m_data.file("week1.CP2")).size(), 3u);
}

TEST_F(CliTest, ConvertReadsDbaseTablesAndHonoursOutput) {
    test::WriteDbfSchedule(m_data.file("WEEK2.DBF"), {{}, {}, {}});
    const Result result = Run("convert " + Home() + "--output out.cp2 WEEK2.DBF");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "WEEK2.DBF -> out.cp2: 3 read, 0 skipped, 0 deleted, 3 written\n");
    EXPECT_EQ(test::FileLines(m_data.file("out.cp2")).front(), CsvHeaderText());
}

TEST_F(CliTest, ConvertFailuresPrintTheErrorBoxText) {
    test::WriteCsvSchedule(m_data.file("week1.csv"), {{}});
    const struct {
        std::string arguments;
        std::string err;
    } cases[] = {
        {"notes.txt",
         "Error! (Only .DBF and .CSV schedule files can be converted).  Error number =  5.  "
         "Error Source = Skedora\n"},
        {"week1",
         "Error! (Invalid procedure call or argument).  Error number =  5.  "
         "Error Source = Skedora\n"},
        {"missing.csv", "Error number =  53."},
        {"--output /dev/full week1.csv", "Error number =  75."},
        {"--output no/such/folder/x.cp2 week1.csv", "Error number =  75."},
    };
    for (const auto& c : cases) {
        const Result result = Run("convert " + Home() + c.arguments);
        EXPECT_EQ(result.exitCode, 1) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << c.arguments << ": " << result.err;
        // Exactly one error text, one line.
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << c.arguments;
    }
}

TEST_F(CliTest, BadUsageExitsTwoAndHelpAndVersionExitZero) {
    for (const char* arguments :
         {"", "frob", "convert", "convert a.csv b.csv", "convert --bogus a.csv", "convert --home",
          "watch --interval x", "watch --polls -1", "watch extra"}) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_NE(result.err.find("Usage: skedora-cli"), std::string::npos) << arguments;
    }
    for (const char* arguments : {"--version", "convert --version", "watch --version"}) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.out, "7.0.16\n") << arguments;
    }
    for (const char* arguments : {"--help", "convert --help", "watch --help"}) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find("Usage: skedora-cli"), std::string::npos) << arguments;
    }
}

TEST_F(CliTest, WatchConvertsTheWatchFolderAndExitsAfterItsPolls) {
    test::TempDir watch;
    RuleSet rules;
    rules.AutoLoadSettings.Path = watch.folderText();
    rules.AutoLoadSettings.OutPath = m_data.folderText();
    rules.AutoLoadSettings.CSV = true;
    rules.AutoLoadSettings.DBF = true;
    rules.AutoLoadSettings.Delete = true;
    ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    test::WriteCsvSchedule(watch.file("B.CSV"), {{}, {}});
    test::WriteDbfSchedule(watch.file("A.DBF"), {{}});
    test::WriteFile(watch.file("C.CSV"), "");
    // Files that arrived just now are left for a later poll: make these old enough.
    for (const char* name : {"A.DBF", "B.CSV", "C.CSV"}) {
        std::filesystem::last_write_time(
            watch.file(name),
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }

    const Result result = Run("watch " + Home() + "--interval 0 --polls 4");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string a = watch.folderText() + "A.DBF -> " + m_data.folderText() + "A.CP2";
    const std::string b = watch.folderText() + "B.CSV -> " + m_data.folderText() + "B.CP2";
    const std::string c = watch.folderText() + "C.CSV -> " + m_data.folderText() + "C.CP2";
    EXPECT_EQ(result.out, "started " + a + "\nfinished " + a +
                              ": 1 read, 0 skipped, 0 deleted, 1 written\n" + "started " + b +
                              "\nfinished " + b + ": 2 read, 0 skipped, 0 deleted, 2 written\n" +
                              "started " + c + "\nfinished " + c +
                              ": 0 read, 0 skipped, 0 deleted, 0 written\n");
    EXPECT_FALSE(std::filesystem::exists(watch.file("A.DBF")));
    EXPECT_FALSE(std::filesystem::exists(watch.file("B.CSV")));
    EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "A.DBF\r\nB.CSV\r\nC.CSV\r\n");
}

TEST_F(CliTest, WatchStopsOnTerminateSignal) {
    const std::string command = "'" + m_cli + "' watch " + Home() + "--interval 5 & pid=$!; " +
                                "sleep 1; kill -TERM $pid; wait $pid";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace skedora
