#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "input/csv_reader.h"
#include "model/event_table.h"
#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::WriteFile;

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
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(m_scratch.file("out")),
                ReadFile(m_scratch.file("err"))};
    }
    std::string Home() const { return "--home '" + m_home.path().string() + "' "; }

    /** Settings that watch the folder watch into out, both kinds. */
    void WatchSettings(const std::string& out, bool deleteSource) {
        RuleSet rules;
        rules.AutoLoadSettings = {m_watch.folderText(), out, true, true, deleteSource, false};
        ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    }
    /** A file in the watch folder, old enough to be past its quiet period. */
    void WriteAged(const std::string& name, const std::string& bytes) {
        WriteFile(m_watch.file(name), bytes);
        std::filesystem::last_write_time(
            m_watch.file(name),
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }

    std::string m_cli;
    test::TempDir m_home, m_data, m_watch, m_scratch;
};

std::string ErrorBox(const std::string& description, int number) {
    return "Error! (" + description + ").  Error number =  " + std::to_string(number) +
           ".  Error Source = Skedora\n";
}

/** Bytes of every value but the comma, in a fixed pseudo-random order, after an "x". */
std::string BinaryBytes(std::size_t size) {
    std::string bytes = "x";
    for (std::uint32_t state = 12345; bytes.size() < size;) {
        state = state * 1103515245u + 12345u;
        if (const char c = static_cast<char>(state >> 24); c != ',') {
            bytes += c;
        }
    }
    return bytes;
}

TEST_F(CliTest, ConvertPrintsTheSummaryLineOrTheErrorBoxText) {
    RuleSet rules;
    rules.DeleteCallLetterRules[1] = {"WDEL", "12"};
    ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    test::WriteCsvSchedule(m_data.file("week1.csv"),
                           {{}, {"WABC", " ", "12", "x"}, {"WDEL", "WXYZ", "12", "y"}, {}});
    test::WriteDbfSchedule(m_data.file("WEEK2.DBF"), {{}, {}, {}});
    std::string lyingHeader = test::DbfBytes({{"A", 'C', 1}}, {{"a"}, {"b"}});
    lyingHeader[4] = 100;  // a hundred rows, in a file that holds two
    std::string tooMany = std::string(CsvHeaderText()) + "\r\n";
    for (int i = 0; i <= EventTable::kMaxEvents; ++i) {
        tooMany += "1,d,w,10:00,11:00,p,,,,,1,A,2,B,3,S,,\r\n";
    }
    const struct {
        const char* name;
        std::string bytes;  // written unless empty
        const char* arguments;
        int exitCode;
        std::string output;  // stdout on success, else stderr
    } cases[] = {
        {"week1.csv", "", "", 0,
         "week1.csv -> week1.CP2: 4 read, 1 skipped, 1 deleted, 2 written\n"},
        {"WEEK2.DBF", "", "--output out.cp2", 0,
         "WEEK2.DBF -> out.cp2: 3 read, 0 skipped, 0 deleted, 3 written\n"},
        {"empty.csv", "", "", 0,
         "empty.csv -> empty.CP2: 0 read, 0 skipped, 0 deleted, 0 written\n"},
        {"binary.csv", BinaryBytes(64 * 1024), "", 0,
         "binary.csv -> binary.CP2: 0 read, 0 skipped, 0 deleted, 0 written\n"},
        {"notes.txt", "", "", 1,
         ErrorBox("Only .DBF and .CSV schedule files can be converted", errors::kInvalidCall)},
        {"week3", "", "", 1, ErrorBox("Invalid procedure call or argument", errors::kInvalidCall)},
        {"missing.csv", "", "", 1, ErrorBox("File not found", errors::kFileNotFound)},
        {"week1.csv", "", "--output /dev/full", 1,
         ErrorBox("Path/File access error: /dev/full: cannot write: No space left on device",
                  errors::kPathFileAccess)},
        {"week1.csv", "", "--output no/such/x.cp2", 1,
         ErrorBox("Path/File access error: no/such/x.cp2: No such file or directory",
                  errors::kPathFileAccess)},
        {"EMPTY.DBF", "", "", 1, ErrorBox("EMPTY.DBF is not a dBASE table", errors::kBadTable)},
        {"BINARY.DBF", BinaryBytes(4096), "", 1,
         ErrorBox("BINARY.DBF is not a dBASE table", errors::kBadTable)},
        {"LIES.DBF", lyingHeader, "", 1,
         ErrorBox("LIES.DBF is shorter than its header says", errors::kBadTable)},
        {"TOOMANY.CSV", tooMany, "", 1, ErrorBox("Overflow", errors::kOverflow)},
    };
    WriteFile(m_data.file("empty.csv"), "");
    WriteFile(m_data.file("EMPTY.DBF"), "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.bytes.empty()) {
            WriteFile(m_data.file(c.name), c.bytes);
        }
        const Result result = Run("convert " + Home() + c.arguments + " " + c.name);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(c.exitCode == 0 ? result.out : result.err, c.output);
        EXPECT_EQ(c.exitCode == 0 ? result.err : result.out, "");
        const std::string stem = std::string(c.name).substr(0, std::string(c.name).find('.'));
        if (c.exitCode == 0) {
            const auto lines =
                test::FileLines(m_data.file(*c.arguments ? "out.cp2" : stem + ".CP2"));
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines[0], CsvHeaderText());
        } else if (!*c.arguments) {
            EXPECT_FALSE(std::filesystem::exists(m_data.file(stem + ".CP2")));
        }
    }
    EXPECT_EQ(test::FileLines(m_data.file("week1.CP2")).size(), 3u);
}

TEST_F(CliTest, BadUsageExitsTwoAndHelpAndVersionExitZero) {
    for (const char* arguments :
         {"", "frob", "convert", "convert a.csv b.csv", "convert --bogus a.csv", "convert --home",
          "watch --interval x", "watch --polls -1", "watch extra"}) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_NE(result.err.find("Usage: skedora-cli"), std::string::npos) << arguments;
    }
    for (const char* command : {"", "convert ", "watch "}) {
        const Result version = Run(std::string(command) + "--version");
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, "7.0.16\n") << command;
        const Result help = Run(std::string(command) + "--help");
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_NE(help.out.find("Usage: skedora-cli"), std::string::npos) << command;
    }
}

TEST_F(CliTest, WatchStartsWithAnUnreadableFileListAndConvertsEachFileOnce) {
    WatchSettings(m_data.folderText(), false);
    std::filesystem::create_directory(m_home.file("FileList.txt"));
    WriteAged("B.CSV", test::CsvSchedule({{}, {}}));
    WriteAged("C.CSV", "");
    test::WriteDbfSchedule(m_watch.file("A.DBF"), {{}});
    std::filesystem::last_write_time(
        m_watch.file("A.DBF"),
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));

    const Result result = Run("watch " + Home() + "--interval 0 --polls 5");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::string expected;
    for (const auto& [name, counts] :
         {std::pair{"A.DBF", "1 read, 0 skipped, 0 deleted, 1 written"},
          {"B.CSV", "2 read, 0 skipped, 0 deleted, 2 written"},
          {"C.CSV", "0 read, 0 skipped, 0 deleted, 0 written"}}) {
        const std::string job = m_watch.folderText() + name + " -> " + m_data.folderText() +
                                std::string(name).substr(0, 1) + ".CP2";
        expected += "started " + job + "\nfinished " + job + ": " + counts + "\n";
    }
    EXPECT_EQ(result.out, expected);
}

TEST_F(CliTest, WatchReportsAnOutputFolderThatCannotTakeTheOutputAndKeepsTheSource) {
    WatchSettings(m_scratch.folderText() + "missing/", true);
    const std::string schedule = test::CsvSchedule({{}, {}});
    WriteAged("A.CSV", schedule);
    const Result result = Run("watch " + Home() + "--interval 0 --polls 3");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string job =
        m_watch.folderText() + "A.CSV -> " + m_scratch.folderText() + "missing/A.CP2";
    EXPECT_EQ(result.out, "started " + job + "\nfailed " + job + ": " +
                              ErrorBox("Path/File access error: " + m_scratch.folderText() +
                                           "missing/A.CP2: No such file or directory",
                                       errors::kPathFileAccess));
    EXPECT_EQ(ReadFile(m_watch.file("A.CSV")), schedule);
}

TEST_F(CliTest, WatchStopsOnTerminateSignal) {
    const std::string command = "'" + m_cli + "' watch " + Home() +
                                "--interval 5 & pid=$!; sleep 1; kill -TERM $pid; wait $pid";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace skedora
