// Damaged and unusual schedule files, and faults of the watch folder's surroundings, through the
// command-line program: each failure ends with the error box's text on standard error (convert)
// or a "failed" line (watch), and no output file pretends to be a conversion.
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
using test::TestEvent;

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CliFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* cli = std::getenv("SKEDORA_CLI");
        ASSERT_NE(cli, nullptr) << "SKEDORA_CLI names the program under test";
        m_cli = cli;
    }

    /** Runs the command with the arguments (shell words) from the data folder. */
    Result Run(const std::string& name, const std::string& arguments) {
        const std::string command = "cd '" + m_data.path().string() + "' && '" + m_cli + "' " +
                                    name + " --home '" + m_home.path().string() + "' " + arguments +
                                    " >'" + m_scratch.file("out").string() + "' 2>'" +
                                    m_scratch.file("err").string() + "' </dev/null";
        const int status = std::system(command.c_str());
        Result result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadFile(m_scratch.file("out"));
        result.err = ReadFile(m_scratch.file("err"));
        return result;
    }

    Result Convert(const std::string& arguments) { return Run("convert", arguments); }

    /** Settings for watching the data folder, with the output folder given. */
    void WatchSettings(const std::string& outPath, bool deleteSource) {
        RuleSet rules;
        rules.AutoLoadSettings.Path = m_data.folderText();
        rules.AutoLoadSettings.OutPath = outPath;
        rules.AutoLoadSettings.CSV = true;
        rules.AutoLoadSettings.DBF = true;
        rules.AutoLoadSettings.Delete = deleteSource;
        ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    }

    /** A file in the data folder, old enough to be past the watch folder's quiet period. */
    void WriteAged(const std::string& name, std::string_view bytes) {
        test::WriteFile(m_data.file(name), bytes);
        std::filesystem::last_write_time(
            m_data.file(name),
            std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
    }

    std::string m_cli;
    test::TempDir m_home;
    test::TempDir m_data;
    test::TempDir m_scratch;
};

std::string ErrorBox(const std::string& description, int number) {
    return "Error! (" + description + ").  Error number =  " + std::to_string(number) +
           ".  Error Source = Skedora\n";
}

/** Bytes of every value but the comma, in a fixed pseudo-random order, after an "x". */
std::string BinaryBytes(std::size_t size) {
    std::string bytes = "x";
    std::uint32_t state = 12345;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        const char c = static_cast<char>(state >> 24);
        if (c != ',') {
            bytes += c;
        }
    }
    return bytes;
}

/** The event lines of a CSV schedule, without its header. */
std::string EventLines(const std::vector<TestEvent>& events) {
    const std::string schedule = test::CsvSchedule(events);
    return schedule.substr(schedule.find('\n') + 1);
}

TEST_F(CliFaultTest, SchedulesThatCannotBeReadAreRefusedWithTheirErrorAndNoOutput) {
    std::string lyingHeader;
    test::WriteDbfSchedule(m_scratch.file("model.dbf"), {{}, {}});
    lyingHeader = ReadFile(m_scratch.file("model.dbf"));
    lyingHeader[4] = 100;  // a hundred rows, in a file that holds two
    std::string tooMany = std::string(CsvHeaderText()) + "\r\n";
    for (int i = 0; i <= EventTable::kMaxEvents; ++i) {
        tooMany += "1,d,w,10:00,11:00,p,,,,,1,A,2,B,3,S,,\r\n";
    }
    const struct {
        const char* name;
        std::string bytes;
        std::string err;
    } cases[] = {
        {"EMPTY.DBF", "", ErrorBox("EMPTY.DBF is not a dBASE table", errors::kBadTable)},
        {"LIES.DBF", lyingHeader,
         ErrorBox("LIES.DBF is shorter than its header says", errors::kBadTable)},
        {"BINARY.DBF", BinaryBytes(4096), ErrorBox("BINARY.DBF is not a dBASE table", 3001)},
        {"TOOMANY.CSV", tooMany, ErrorBox("Overflow", errors::kOverflow)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFile(m_data.file(c.name), c.bytes);
        const Result result = Convert(c.name);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, c.err);
        const std::string stem = std::string(c.name).substr(0, std::string(c.name).find('.'));
        EXPECT_FALSE(std::filesystem::exists(m_data.file(stem + ".CP2")));
        EXPECT_EQ(ReadFile(m_data.file(c.name)), c.bytes);
    }
}

TEST_F(CliFaultTest, OddButReadableCsvFilesConvertWhatTheyHold) {
    const std::string longText(1 << 20, 'x');
    TestEvent longEvent;
    longEvent.pgm = longText;
    const struct {
        const char* name;
        std::string bytes;
        const char* summary;
    } cases[] = {
        // Nothing in it, not even the header.
        {"empty.csv", "", "0 read, 0 skipped, 0 deleted, 0 written"},
        // No line with 18 fields.
        {"binary.csv", BinaryBytes(64 * 1024), "0 read, 0 skipped, 0 deleted, 0 written"},
        // A header of 1 MB, a line of 1 MB without a comma (not an event), then one event.
        {"longnoise.csv", longText + "\r\n" + longText + "\r\n" + EventLines({{}}),
         "1 read, 0 skipped, 0 deleted, 1 written"},
        // An event whose program description is 1 MB long.
        {"longline.csv", test::CsvSchedule({longEvent}), "1 read, 0 skipped, 0 deleted, 1 written"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteFile(m_data.file(c.name), c.bytes);
        const Result result = Convert(c.name);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        const std::string stem = std::string(c.name).substr(0, std::string(c.name).find('.'));
        EXPECT_EQ(result.out, std::string(c.name) + " -> " + stem + ".CP2: " + c.summary + "\n");
        const auto lines = test::FileLines(m_data.file(stem + ".CP2"));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], CsvHeaderText());
    }
    const auto lines = test::FileLines(m_data.file("longline.CP2"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find(longText), std::string::npos);
}

TEST_F(CliFaultTest, WatchReportsAnOutputFolderThatCannotTakeTheOutputAndKeepsTheSource) {
    WatchSettings(m_scratch.folderText() + "missing/", true);
    const std::string schedule = test::CsvSchedule({{}, {}});
    WriteAged("A.CSV", schedule);

    const Result result = Run("watch", "--interval 0 --polls 3");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string input = m_data.folderText() + "A.CSV";
    const std::string output = m_scratch.folderText() + "missing/A.CP2";
    EXPECT_EQ(result.out, "started " + input + " -> " + output + "\nfailed " + input + " -> " +
                              output + ": Error! (Path/File access error: " + output +
                              ": No such file or directory).  Error number =  75.  "
                              "Error Source = Skedora\n");
    EXPECT_EQ(ReadFile(m_data.file("A.CSV")), schedule);
}

TEST_F(CliFaultTest, WatchStartsWithAnUnreadableFileListAndConvertsEachFileOnce) {
    WatchSettings(m_scratch.folderText(), false);
    std::filesystem::create_directory(m_home.file("FileList.txt"));
    WriteAged("A.CSV", test::CsvSchedule({{}}));
    test::WriteDbfSchedule(m_data.file("B.DBF"), {{}});
    std::filesystem::last_write_time(
        m_data.file("B.DBF"),
        std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));

    const Result result = Run("watch", "--interval 0 --polls 5");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string folder = m_data.folderText();
    const std::string out = m_scratch.folderText();
    EXPECT_EQ(result.out, "started " + folder + "B.DBF -> " + out + "B.CP2\nfinished " + folder +
                              "B.DBF -> " + out +
                              "B.CP2: 1 read, 0 skipped, 0 deleted, 1 written\nstarted " + folder +
                              "A.CSV -> " + out + "A.CP2\nfinished " + folder + "A.CSV -> " + out +
                              "A.CP2: 1 read, 0 skipped, 0 deleted, 1 written\n");
}

}  // namespace
}  // namespace skedora
