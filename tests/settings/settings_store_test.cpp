#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "settings/filled_rule_set.h"
#include "support/private_mounts.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::FilledRuleSet;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

/** The lines of a text whose every line ends in CR LF; fails the test otherwise. */
std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0, end; pos < bytes.size(); pos = end + 2) {
        end = bytes.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF at " << pos;
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
    }
    return lines;
}

/** The section lines and keys of a new SK.ini, in their order. */
std::vector<std::string> NewFileKeys() {
    std::vector<std::string> keys = {"[Skedora]", "Version", "[Delete]"};
    const auto add = [&](int count, std::initializer_list<const char*> stems) {
        for (int n = 1; n <= count; ++n) {
            for (const char* stem : stems) {
                keys.push_back(stem + std::to_string(n));
            }
        }
    };
    add(64, {"Call_Letter_", "CO_Number_"});
    add(48, {"Source_", "Destination_"});
    keys.insert(keys.end(), {"All_HD", "All_SD", "All_Digital", "All_Non_Digital",
                             "[Change_CO_From_Call_Letter]"});
    add(24, {"Call_Letter_", "Old_CO_", "New_CO_"});
    keys.push_back("[Change_Call_Letter]");
    add(24, {"Old_Call_Letter_", "CO_", "New_Call_Letter_"});
    keys.push_back("[Change_CO_From_Description]");
    add(24, {"Program_Description_", "Old_CO_", "New_CO_"});
    keys.push_back("[Change_Time]");
    add(8, {"Source_", "Destination_", "CO_", "Description_", "Math_", "Time_"});
    keys.insert(keys.end(),
                {"[Auto_Load]", "Path", "Out_Path", "DBF", "CSV", "Delete", "Prefix_Date"});
    return keys;
}

TEST(SettingsStore, NoFileGivesTheStartUpStateOverWhateverWasThere) {
    TempDir home;
    RuleSet rules = FilledRuleSet();
    EXPECT_FALSE(LoadSettings(home.path(), rules));
    RuleSet expected;
    expected.AutoLoadSettings = {"/", "/", false, false, true, false};
    for (auto& rule : expected.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    EXPECT_EQ(rules, expected);
}

TEST(SettingsStore, ANewFileHoldsEveryKeyInItsOrderAndLoadsBackTheSame) {
    TempDir home;
    const RuleSet saved = FilledRuleSet();
    ASSERT_EQ(SaveSettings(home.path(), saved), std::nullopt);
    const std::string first = ReadFile(home.file("SK.ini"));
    const auto lines = CrLfLines(first);
    std::vector<std::string> keys;
    for (const auto& line : lines) {
        keys.push_back(line.substr(0, line.find('=')));
    }
    EXPECT_EQ(keys, NewFileKeys());
    for (const char* line : {"Version=1", "Call_Letter_1=DCL1\xE9-x", "All_HD=1", "All_Digital=0",
                             "Math_7=-32768", "Out_Path=/watch/out/", "Prefix_Date=1"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
    RuleSet loaded;
    EXPECT_TRUE(LoadSettings(home.path(), loaded));
    EXPECT_EQ(loaded, saved);
    ASSERT_EQ(SaveSettings(home.path(), loaded), std::nullopt);
    EXPECT_EQ(ReadFile(home.file("SK.ini")), first);
}

TEST(SettingsStore, AHandEditedFileKeepsItsOtherLinesInPlace) {
    TempDir home;
    WriteFile(home.file("SK.ini"),
              "; Skedora settings, edited by hand\n"
              "[Notes]\n"
              "Owner = Master Control\n"
              "\n"
              "[SKEDORA]\n"
              "version = 1\n"
              "\n"
              "[delete]\n"
              "; our stations\n"
              "call_letter_1 =  KABC \n"
              "Legacy_Flag=yes\n"
              "Source_30=S30\n"
              "all_hd = 1 \n"
              "\n"
              "[Auto_Load]\n"
              "PATH=/watch/\n"
              "DBF = 1\n");
    RuleSet rules;
    ASSERT_TRUE(LoadSettings(home.path(), rules));
    EXPECT_EQ(rules.DeleteCallLetterRules[1].CallLetter, "KABC");
    EXPECT_EQ(rules.DeleteSourceDestinationRules[30].Source, "S30");  // no dialog shows it
    EXPECT_TRUE(rules.DeleteAllFlags.AllHD);
    EXPECT_EQ(rules.AutoLoadSettings,
              (AutoLoadSettingsGroup{"/watch/", "/watch/", true, false, true, false}));

    rules.DeleteCallLetterRules[1].CallLetter = "KXYZ";
    ASSERT_EQ(SaveSettings(home.path(), rules), std::nullopt);
    const auto lines = CrLfLines(ReadFile(home.file("SK.ini")));
    const std::vector<std::string> head(lines.begin(), lines.begin() + 14);
    EXPECT_EQ(head, (std::vector<std::string>{"; Skedora settings, edited by hand", "[Notes]",
                                              "Owner = Master Control", "", "[SKEDORA]",
                                              "version = 1", "", "[delete]", "; our stations",
                                              "call_letter_1=KXYZ", "Legacy_Flag=yes",
                                              "Source_30=S30", "all_hd = 1 ", "CO_Number_1="}));
    const auto autoLoad = std::find(lines.begin(), lines.end(), "[Auto_Load]");
    ASSERT_NE(autoLoad, lines.end());
    EXPECT_EQ(std::vector<std::string>(autoLoad - 2, autoLoad + 8),
              (std::vector<std::string>{"All_Non_Digital=0", "", "[Auto_Load]", "PATH=/watch/",
                                        "DBF = 1", "Out_Path=/watch/", "CSV=0", "Delete=1",
                                        "Prefix_Date=0", "[Change_CO_From_Call_Letter]"}));
    RuleSet reloaded;
    EXPECT_TRUE(LoadSettings(home.path(), reloaded));
    EXPECT_EQ(reloaded, rules);
}

TEST(SettingsStore, LoadReadsEachKindOfValueByItsRule) {
    RuleSet rules;
    EXPECT_TRUE(LoadSettingsText(
        "[Skedora]\nVersion=0.5\n[Delete]\nAll_HD= 1 \nAll_SD=2\nAll_Digital=yes\n"
        "All_Non_Digital=1.0\nCO_Number_64=" +
            std::string(300, 'x') +
            "\n[Change_Time]\nMath_1=2.5\nMath_2=3.5\nMath_3=-2abc\nMath_4=40000\nMath_5=-32769\n"
            "Math_6=x\nTime_1=1:00\nTime_2=001:30:00\nTime_3=01:30:00\nTime_4=ab:cd:ef\n"
            "[Auto_Load]\nPath=/in/\nDelete=\n",
        rules));
    EXPECT_EQ(rules.DeleteAllFlags, (DeleteAllFlagsGroup{true, false, false, true}));
    EXPECT_EQ(rules.DeleteCallLetterRules[64].CONumber, std::string(254, 'x'));
    std::vector<int> maths;
    std::vector<std::string> times;
    for (const auto& rule : rules.ChangeTimeRules) {
        maths.push_back(rule.Math);
        times.push_back(rule.Time);
    }
    // Outside 16 bits a Math value names no operation.
    EXPECT_EQ(maths, (std::vector<int>{2, 4, -2, -1, -1, 0, 0, 0}));
    EXPECT_EQ(times, (std::vector<std::string>{"00:00:00", "00:00:00", "01:30:00", "ab:cd:ef",
                                               "00:00:00", "00:00:00", "00:00:00", "00:00:00"}));
    EXPECT_EQ(rules.AutoLoadSettings,
              (AutoLoadSettingsGroup{"/in/", "/in/", false, false, false, false}));

    // Line breaks in a text are saved as blanks.
    rules.ChangeTimeRules[2].Description = "two\r\nlines\nand\rmore";
    RuleSet loaded;
    EXPECT_TRUE(LoadSettingsText(SettingsFileText("", rules), loaded));
    EXPECT_EQ(loaded.ChangeTimeRules[2].Description, "two  lines and more");
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

/** Saves the full rule set over old, after prepare made the save fail; what went wrong. */
std::string FailedSave(const TempDir& home, const std::string& old,
                       const std::function<bool()>& prepare, const std::string& reason) {
    WriteFile(home.file("SK.ini"), old);
    if (!prepare()) {
        return "the fault could not be set up";
    }
    const MaybeError error = SaveSettings(home.path(), FilledRuleSet());
    if (!error || error->number != errors::kPathFileAccess || error->source != "Skedora" ||
        error->description.find(home.file("SK.ini").string()) == std::string::npos ||
        error->description.find(reason) == std::string::npos) {
        return "wrong error: " + (error ? error->description : std::string("none"));
    }
    if (ReadFile(home.file("SK.ini")) != old) {
        return "the old SK.ini changed";
    }
    if (std::distance(std::filesystem::directory_iterator(home.path()), {}) != 1) {
        return "a temporary file was left behind";
    }
    return "";
}

TEST(SettingsStore, AFailedSaveReturnsAnErrorAndKeepsTheOldFileWhole) {
    const std::string old = "[Skedora]\r\nVersion=1\r\n[Delete]\r\nCall_Letter_1=KOLD\r\n";
    {
        // A file size limit below the new file's size stands in for a full disk.
        TempDir home;
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const std::string failure = FailedSave(
            home, old,
            [&] {
                rlimit small = saved;
                small.rlim_cur = 1024;
                return setrlimit(RLIMIT_FSIZE, &small) == 0;
            },
            "");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(failure, "");
    }
    {
        TempDir home;  // SK.ini is a folder: neither read nor replaced
        std::filesystem::create_directory(home.file("SK.ini"));
        EXPECT_TRUE(SaveSettings(home.path(), FilledRuleSet()));
        EXPECT_TRUE(std::filesystem::is_directory(home.file("SK.ini")));
        EXPECT_TRUE(SaveSettings(home.file("missing"), FilledRuleSet()));
    }
    TempDir home;
    const auto failure = test::WithPrivateMounts([&] {
        return FailedSave(
            home, old, [&] { return test::MountReadOnly(home.path()); }, "Read-only file system");
    });
    if (!failure) {
        GTEST_SKIP() << "this machine does not allow private mounts";
    }
    EXPECT_EQ(*failure, "");
}

TEST(ProfileValue, ReadsAndWritesSingleKeysKeepingTheRest) {
    TempDir home;
    const auto file = home.file("other.ini");
    EXPECT_EQ(ReadProfileValue(file, "S", "Key", "dflt"), "dflt");
    ASSERT_FALSE(WriteProfileValue(file, "S", "Key", "a\r\nb"));
    ASSERT_FALSE(WriteProfileValue(file, "T", "Other", "kept"));
    ASSERT_FALSE(WriteProfileValue(file, "s", "KEY", "c\nd"));
    EXPECT_EQ(ReadFile(file), "[S]\r\nKey=c d\r\n[T]\r\nOther=kept\r\n");
    EXPECT_EQ(ReadProfileValue(file, "s", "key", "dflt"), "c d");
    EXPECT_EQ(ReadProfileValue(file, "T", "Missing", "dflt"), "dflt");
    EXPECT_TRUE(WriteProfileValue(home.file("no") / "x.ini", "S", "K", "v"));
}

}  // namespace
}  // namespace skedora
