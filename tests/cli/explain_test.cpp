#include <string>

#include "support/cli_run.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

using test::WriteFile;

class ExplainTest : public test::CliTestBase {
  protected:
    test::CliResult Cli(const std::string& command, const std::string& arguments) {
        return Run(command + Home() + arguments);
    }
};

TEST_F(ExplainTest, JsonLinesAgreeWithTheConvertedFile) {
    RuleSet rules;
    rules.DeleteCallLetterRules[3] = {"WDEL", "12"};
    rules.ChangeCallLetterRules[5] = {"WABC", "12", "WABC-HD"};
    ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    test::WriteCsvSchedule(m_data.file("week1.csv"), {{"WABC", "WXYZ", "12", "a"},
                                                      {"WABC", " ", "12", "b"},
                                                      {"WDEL", "WXYZ", "12", "c"},
                                                      {"KQED", "WXYZ", "9", "d"}});

    const test::CliResult explain = Cli("explain", "--format jsonl week1.csv");
    ASSERT_EQ(explain.exitCode, 0) << explain.err;
    EXPECT_EQ(explain.err, "");
    EXPECT_FALSE(exists(m_data.file("week1.CP2")));  // the audit writes nothing
    ASSERT_EQ(Cli("convert", "week1.csv").exitCode, 0);
    const auto converted = test::FileLines(m_data.file("week1.CP2"));
    ASSERT_EQ(converted.size(), 3u);  // the header and the two written events
    EXPECT_EQ(explain.out,
              R"({"record": 1, "outcome": "written", "changes": [{"rule": )"
              R"("Change_Call_Letter/Old_Call_Letter_5", "field": "tochnm_hd", "before": "WABC", )"
              R"("after": "WABC-HD"}], "line": ")" +
                  converted[1] + "\"}\n" + R"({"record": 2, "outcome": "skipped"})" + "\n" +
                  R"({"record": 3, "outcome": "deleted", "rule": "Delete/Call_Letter_3"})" + "\n" +
                  R"({"record": 4, "outcome": "written", "changes": [], "line": ")" + converted[2] +
                  "\"}\n" +
                  R"({"summary": {"read": 4, "skipped": 1, "deleted": 1, "written": 2, )"
                  R"("ignored_lines": 0}, "rule_hits": {"Delete/Call_Letter_3": 1, )"
                  R"("Change_Call_Letter/Old_Call_Letter_5": 1}, "unused_rules": []})" +
                  "\n");
}

TEST_F(ExplainTest, FailsAsConvertDoesAndWritesTextByDefault) {
    test::WriteCsvSchedule(m_data.file("week1.csv"), {{}});
    WriteFile(m_data.file("notes.txt"), "");
    for (const char* schedule : {"missing.csv", "MISSING.DBF", "notes.txt", "week3"}) {
        const test::CliResult convert = Cli("convert", schedule);
        const test::CliResult explain = Cli("explain", schedule);
        EXPECT_EQ(convert.exitCode, 1) << schedule;
        EXPECT_EQ(explain.exitCode, convert.exitCode) << schedule;
        EXPECT_EQ(explain.err, convert.err) << schedule;
        EXPECT_EQ(explain.out, "") << schedule;
    }
    const test::CliResult text = Cli("explain", "week1.csv");
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_TRUE(text.out.starts_with("1 events read: 0 skipped")) << text.out;  // text by default
}

TEST_F(ExplainTest, IgnoredLinesAreReportedWithoutChangingTheSummaryLine) {
    WriteFile(m_data.file("binary.csv"), std::string("\x01\x02\n\x7f\n\xff\xfe\n", 9));
    const test::CliResult convert = Cli("convert", "binary.csv");
    EXPECT_EQ(convert.exitCode, 0);
    EXPECT_EQ(convert.out, "binary.csv -> binary.CP2: 0 read, 0 skipped, 0 deleted, 0 written\n");
    EXPECT_EQ(convert.err,
              "skedora-cli: warning: 3 lines of binary.csv were ignored: fewer than 18 fields\n");
    const test::CliResult explain = Cli("explain", "--format jsonl binary.csv");
    EXPECT_EQ(explain.exitCode, 0);
    EXPECT_NE(explain.out.find(R"("ignored_lines": 3})"), std::string::npos) << explain.out;
}

}  // namespace
}  // namespace skedora
