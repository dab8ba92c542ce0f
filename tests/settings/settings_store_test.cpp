#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <string>
#include <vector>

#include "settings/filled_rule_set.h"
#include "support/expect_error.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::FilledRuleSet;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(SettingsStore, AHandEditedFileIsReadByItsRulesAndKeepsItsOtherLinesInPlace) {
    TempDir home;
    WriteFile(home.file("SK.ini"),
              "\xEF\xBB\xBF[SKEDORA]\nversion = 1\n; Version=0\n[Notes]\nOwner = Master Control\n\n"
              "[ delete ]  trailing text\ncall_letter_1 =  KABC \nCall_Letter_1=second is ignored\n"
              "CO_Number_1=\t1=2 \nNoEqualsSign\nLegacy_Flag=yes\nSource_30=S30\nall_hd = 1 \n\n"
              "[Auto_Load]\nPATH=/watch/\nDBF = 1\n[Delete]\nAll_SD=1\n");
    RuleSet rules;
    ASSERT_TRUE(LoadSettings(home.path(), rules).current);
    EXPECT_EQ(rules.DeleteCallLetterRules[1], (DeleteCallLetterRule{"KABC", "1=2"}));
    EXPECT_EQ(rules.DeleteSourceDestinationRules[30].Source, "S30");  // no dialog shows it
    EXPECT_EQ(rules.DeleteAllFlags, (DeleteAllFlagsGroup{true, false, false, false}));
    EXPECT_EQ(rules.AutoLoadSettings,
              (AutoLoadSettingsGroup{"/watch/", "/watch/", true, false, true, false}));

    rules.DeleteCallLetterRules[1].CallLetter = "KXYZ";
    ASSERT_EQ(SaveSettings(home.path(), rules), std::nullopt);
    const auto lines = test::FileLines(home.file("SK.ini"));
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 15),
              (std::vector<std::string>{
                  "\xEF\xBB\xBF[SKEDORA]", "version = 1", "; Version=0", "[Notes]",
                  "Owner = Master Control", "", "[ delete ]  trailing text", "call_letter_1=KXYZ",
                  "Call_Letter_1=second is ignored", "CO_Number_1=\t1=2 ", "NoEqualsSign",
                  "Legacy_Flag=yes", "Source_30=S30", "all_hd = 1 ", "Call_Letter_2="}));
    const auto autoLoad = std::find(lines.begin(), lines.end(), "[Auto_Load]");
    ASSERT_NE(autoLoad, lines.end());
    EXPECT_EQ(std::vector<std::string>(autoLoad - 2, autoLoad + 11),
              (std::vector<std::string>{"All_Non_Digital=0", "", "[Auto_Load]", "PATH=/watch/",
                                        "DBF = 1", "Out_Path=/watch/", "CSV=0", "Delete=1",
                                        "Prefix_Date=0", "[Delete]", "All_SD=1",
                                        "[Change_CO_From_Call_Letter]", "Call_Letter_1="}));
    RuleSet reloaded;
    EXPECT_TRUE(LoadSettings(home.path(), reloaded).current);
    EXPECT_EQ(reloaded, rules);
}

// A lone carriage return ends a line: read as part of "CO_1=\rWABC" it was saved as a blank and
// read back as "WABC", a different rule after the next start.
TEST(SettingsStore, LoadReadsEachKindOfValueByItsRuleAndASaveChangesNoRule) {
    const std::string text =
        "[Skedora]\nVersion=0.5\n[Delete]\nAll_HD= 1 \nAll_SD=2\nAll_Digital=yes\n"
        "All_Non_Digital=1.0\nCO_Number_64=" +
        std::string(300, 'x') +
        "\n[Change_Time]\nMath_1=2.5\nMath_2=3.5\nMath_3=-2abc\nMath_4=40000\nMath_5=-32769\n"
        "Math_6=x\nTime_1=1:00\nTime_2=001:30:00\nTime_3=01:30:00\nTime_4=ab:cd:ef\n"
        "[Auto_Load]\nPath=/in/\nDelete=\n[Change_Call_Letter]\r\nOld_Call_Letter_1=WABC\r\n"
        "CO_1=\rWABC\r\nMath2_1\r=\n";
    RuleSet rules, reloaded;
    EXPECT_TRUE(LoadSettingsText(text, rules));
    EXPECT_EQ(rules.DeleteAllFlags, (DeleteAllFlagsGroup{true, false, false, true}));
    EXPECT_EQ(rules.DeleteCallLetterRules[64].CONumber, std::string(254, 'x'));
    const int maths[] = {2, 4, -2, -1, -1, 0, 0, 0};  // outside 16 bits a Math names no operation
    const char* times[] = {"00:00:00", "00:00:00", "01:30:00", "ab:cd:ef",
                           "00:00:00", "00:00:00", "00:00:00", "00:00:00"};
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(rules.ChangeTimeRules[n].Math, maths[n - 1]) << n;
        EXPECT_EQ(rules.ChangeTimeRules[n].Time, times[n - 1]) << n;
    }
    EXPECT_EQ(rules.AutoLoadSettings,
              (AutoLoadSettingsGroup{"/in/", "/in/", false, false, false, false}));
    EXPECT_EQ(rules.ChangeCallLetterRules[1].CO, "");
    const std::string saved = SettingsFileText(text, rules);
    ASSERT_TRUE(LoadSettingsText(saved, reloaded));
    EXPECT_EQ(reloaded, rules);
    EXPECT_EQ(SettingsFileText(saved, reloaded), saved);

    // Line breaks in a text are saved as blanks; a new file is current.
    rules.ChangeTimeRules[2].Description = "two\r\nlines\nand\rmore";
    EXPECT_TRUE(LoadSettingsText(SettingsFileText("", rules), reloaded));
    EXPECT_EQ(reloaded.ChangeTimeRules[2].Description, "two  lines and more");
}

TEST(SettingsStore, OnlyAVersionAboveZeroMakesTheFileCurrent) {
    const std::pair<const char*, bool> cases[] = {
        {"[Skedora]\r\nVersion=2\r\n", true},   {"[skedora]\r\n  VERSION = 0.5 \r\n", true},
        {"[Skedora]\r\nVersion=0\r\n", false},  {"[Skedora]\r\nVersion=-1\r\n", false},
        {"[Skedora]\r\nVersion=\r\n", false},   {"[Skedora]\r\nVersion=one\r\n", false},
        {"[Skedora]\r\n;Version=1\r\n", false}, {"[Delete]\r\nVersion=1\r\nAll_HD=1\r\n", false},
    };
    for (const auto& [text, current] : cases) {
        RuleSet rules;
        EXPECT_EQ(LoadSettingsText(text, rules), current) << text;
    }
}

TEST(SettingsStore, AFailedSaveReturnsAnErrorAndKeepsTheOldFileWhole) {
    TempDir home;
    const std::string old = "[Skedora]\r\nVersion=1\r\n[Delete]\r\nCall_Letter_1=KOLD\r\n";
    WriteFile(home.file("SK.ini"), old);
    // A file size limit below the new file's size stands in for a full disk.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{1024, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const MaybeError error = SaveSettings(home.path(), FilledRuleSet());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(test::IsError(error, errors::kPathFileAccess, {home.file("SK.ini").string()}));
    EXPECT_EQ(ReadFile(home.file("SK.ini")), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path()), {}), 1);

    std::filesystem::remove(home.file("SK.ini"));
    std::filesystem::create_directory(home.file("SK.ini"));
    EXPECT_TRUE(SaveSettings(home.path(), FilledRuleSet()));
    EXPECT_TRUE(std::filesystem::is_directory(home.file("SK.ini")));
}

TEST(SettingsStore, ASaveThroughALinkKeepsItsModeAndAReadOnlyOneIsRefused) {
    TempDir home, shared;
    WriteFile(shared.file("SK.ini"), "[Skedora]\r\nVersion=1\r\n");
    ::chmod(shared.file("SK.ini").c_str(), 0600);
    std::filesystem::create_symlink(shared.file("SK.ini"), home.file("SK.ini"));
    ASSERT_EQ(SaveSettings(home.path(), FilledRuleSet()), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(home.file("SK.ini")));
    EXPECT_EQ(test::ModeOf(shared.file("SK.ini")), 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shared.path()), {}), 1);
    RuleSet loaded;
    EXPECT_TRUE(LoadSettings(home.path(), loaded).current);
    EXPECT_EQ(loaded, FilledRuleSet());
    const std::string saved = ReadFile(shared.file("SK.ini"));
    ASSERT_EQ(SaveSettings(home.path(), loaded), std::nullopt);
    EXPECT_EQ(ReadFile(shared.file("SK.ini")), saved);

    // Made read-only, it is left as it is and the error names it.
    ::chmod(shared.file("SK.ini").c_str(), 0400);
    EXPECT_TRUE(test::IsError(SaveSettings(home.path(), RuleSet{}), errors::kPathFileAccess,
                              {home.file("SK.ini").string(), "read-only"}));
    EXPECT_EQ(ReadFile(shared.file("SK.ini")), saved);
}

}  // namespace
}  // namespace skedora
