#include <string>

#include "support/cli_run.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

using ExplainTest = test::CliTestBase;

// The audit's bytes, and its agreement with the converted file, are checked in
// tests/app/rule_audit_test.cpp; here, what the program adds: the home's rules, the format chosen,
// nothing written, the ignored lines warned of as convert does.
TEST_F(ExplainTest, ExplainsWithTheHomeRulesWritingNothingAndWarnsAsConvertDoes) {
    RuleSet rules;
    rules.DeleteCallLetterRules[3] = {"WDEL", "12"};
    ASSERT_EQ(SaveSettings(m_home.path(), rules), std::nullopt);
    test::WriteFile(m_data.file("week1.csv"),
                    test::CsvSchedule({{}, {"WDEL", "WXYZ", "12", "c"}}) + "\x01\x02\r\n");
    const std::string warning =
        "skedora-cli: warning: 1 line of week1.csv was ignored: fewer than 18 fields\n";

    const test::CliResult json = Run("explain" + Home() + "--format jsonl week1.csv");
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.err, warning);
    EXPECT_NE(json.out.find("\n{\"record\": 2, \"outcome\": \"deleted\", \"rule\": "
                            "\"Delete/Call_Letter_3\"}\n"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("ignored_lines": 1})"), std::string::npos) << json.out;
    const test::CliResult text = Run("explain" + Home() + "week1.csv");
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("\n2 events read: 0 skipped, 1 deleted, 1 written; 1 lines ignored"),
              std::string::npos)
        << text.out;
    EXPECT_FALSE(exists(m_data.file("week1.CP2")));

    const test::CliResult convert = Run("convert" + Home() + "week1.csv");
    EXPECT_EQ(convert.out, "week1.csv -> week1.CP2: 2 read, 0 skipped, 1 deleted, 1 written\n");
    EXPECT_EQ(convert.err, warning);
}

TEST_F(ExplainTest, FailsAsConvertDoes) {
    test::WriteFile(m_data.file("notes.txt"), "");
    for (const char* schedule : {"missing.csv", "MISSING.DBF", "notes.txt", "week3"}) {
        const test::CliResult convert = Run("convert" + Home() + schedule);
        const test::CliResult explain = Run("explain" + Home() + schedule);
        EXPECT_EQ(convert.exitCode, 1) << schedule;
        EXPECT_EQ(explain.exitCode, convert.exitCode) << schedule;
        EXPECT_EQ(explain.err, convert.err) << schedule;
        EXPECT_EQ(explain.out, "") << schedule;
    }
}

}  // namespace
}  // namespace skedora
