#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/filled_rule_set.h"
#include "settings/item_reader.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::FilledRuleSet;
using test::TempDir;
using test::WriteFile;

TEST(ItemReader, SplitsAtCommasAndLineEndsHonouringQuotes) {
    const struct {
        const char* text;
        std::vector<std::string> items;
    } cases[] = {
        {"a,b", {"a", "b", ""}},
        {"\"a, b\",c", {"a, b", "c", ""}},
        {"  \"  KABC  \"  ,x", {"  KABC  ", "x", ""}},
        {"   a  ,\tb", {"a  ", "b", ""}},
        {"\"q\" dropped,z", {"q", "z", ""}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d", ""}},
        {"a,,b\r\n\r\nc", {"a", "", "b", "", "c"}},
        {"\"two\r\nlines\",x", {"two\r\nlines", "x"}},
        {"\"open, to the end", {"open, to the end", ""}},
        {"caf\xE9,\"\"", {"caf\xE9", "", ""}},
        {"", {"", ""}},
    };
    for (const auto& c : cases) {
        ItemReader reader(c.text);
        for (const auto& expected : c.items) {
            EXPECT_EQ(reader.Next(), expected) << c.text;
        }
    }
}

/** An older file: a header line, then the 367 items, one entry of a list per line. */
std::string OldFile(const std::vector<std::string>& items) {
    std::string text = "\"SKCONV\"\r\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += items[i];
        text += (i + 1) % 3 == 0 || i + 1 == items.size() ? "\r\n" : ",";
    }
    return text;
}

/** Item number n (counting the header as 1) as it appears in the file. */
std::vector<std::string> NumberedItems() {
    std::vector<std::string> items;
    for (int n = 2; n <= 368; ++n) {
        items.push_back("\"I" + std::to_string(n) + "\"");
    }
    auto item = [&](int n) -> std::string& { return items[static_cast<std::size_t>(n - 2)]; };
    for (int n = 1; n <= 8; ++n) {
        item(314 + 6 * (n - 1) + 4) = std::to_string(n - 1);               // math
        item(314 + 6 * (n - 1) + 5) = "0" + std::to_string(n) + ":00:00";  // time
    }
    item(318) = "2.5";
    item(324) = "3.5";
    item(330) = "99999";
    item(337) = "1:30";  // the fourth entry's time
    for (int n = 362; n <= 368; ++n) {
        item(n) = n % 2 == 0 ? "1" : "0";
    }
    item(367) = "\" /old/in/ \"";
    return items;
}

TEST(ImportOldSettings, FillsEveryMemberTheOlderFileHoldsAndKeepsTheRest) {
    TempDir home;
    WriteFile(OldSettingsFilePath(home.path()), OldFile(NumberedItems()));
    const RuleSet before = FilledRuleSet();
    RuleSet rules = before;
    ImportOldSettings(home.path(), rules);
    auto item = [](int n) { return "I" + std::to_string(n); };

    EXPECT_EQ(rules.DeleteCallLetterRules[1].CallLetter, item(2));
    EXPECT_EQ(rules.DeleteCallLetterRules[1].CONumber, item(3));
    EXPECT_EQ(rules.DeleteCallLetterRules[24].CONumber, item(49));
    EXPECT_EQ(rules.ChangeCOFromCallLetterRules[1].CallLetter, item(50));
    EXPECT_EQ(rules.ChangeCOFromCallLetterRules[24].NewCO, item(121));
    EXPECT_EQ(rules.ChangeCallLetterRules[1].OldCallLetter, item(122));
    EXPECT_EQ(rules.ChangeCallLetterRules[24].NewCallLetter, item(193));
    EXPECT_EQ(rules.DeleteSourceDestinationRules[1].Source, item(194));
    EXPECT_EQ(rules.DeleteSourceDestinationRules[24].Destination, item(241));
    EXPECT_EQ(rules.ChangeCOFromDescriptionRules[1].ProgramDescription, item(242));
    EXPECT_EQ(rules.ChangeCOFromDescriptionRules[24].NewCO, item(313));
    EXPECT_EQ(rules.ChangeTimeRules[1].Source, item(314));
    EXPECT_EQ(rules.ChangeTimeRules[8].Description, item(359));

    const std::int16_t maths[] = {2, 4, -1, 3, 4, 5, 6, 7};
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(rules.ChangeTimeRules[n].Math, maths[n - 1]) << n;
        EXPECT_EQ(rules.ChangeTimeRules[n].Time,
                  n == 4 ? "00:00:00" : "0" + std::to_string(n) + ":00:00");
    }
    EXPECT_EQ(rules.DeleteAllFlags, (DeleteAllFlagsGroup{true, false, true, false}));
    EXPECT_TRUE(rules.AutoLoadSettings.DBF);
    EXPECT_EQ(rules.AutoLoadSettings.Path, " /old/in/ ");
    EXPECT_TRUE(rules.AutoLoadSettings.CSV);

    for (int n = 25; n <= 64; ++n) {
        EXPECT_EQ(rules.DeleteCallLetterRules[n], before.DeleteCallLetterRules[n]);
    }
    for (int n = 25; n <= 48; ++n) {
        EXPECT_EQ(rules.DeleteSourceDestinationRules[n], before.DeleteSourceDestinationRules[n]);
    }
    EXPECT_EQ(rules.AutoLoadSettings.OutPath, before.AutoLoadSettings.OutPath);
    EXPECT_EQ(rules.AutoLoadSettings.Delete, before.AutoLoadSettings.Delete);
    EXPECT_EQ(rules.AutoLoadSettings.PrefixDate, before.AutoLoadSettings.PrefixDate);
}

TEST(ImportOldSettings, CutsTextsTo25CharactersBeforeStrippingThem) {
    TempDir home;
    std::vector<std::string> items(367);
    items[0] = "\"  KABC  \"";
    items[1] = "\"ABCDEFGHIJKLMNOPQRSTUVW  XYZZZ\"";  // 30 characters
    items[2] = "KABC, extra";                         // two items
    items.pop_back();
    items[315] = "\"" + std::string(25, ' ') + "7\"";  // a math item: its number lies past 25
    items[365] = "1";
    WriteFile(OldSettingsFilePath(home.path()), OldFile(items));
    RuleSet rules;
    ImportOldSettings(home.path(), rules);
    EXPECT_EQ(rules.DeleteCallLetterRules[1].CallLetter, "KABC");
    EXPECT_EQ(rules.DeleteCallLetterRules[1].CONumber, "ABCDEFGHIJKLMNOPQRSTUVW");
    EXPECT_EQ(rules.DeleteCallLetterRules[2].CallLetter, "KABC");
    EXPECT_EQ(rules.DeleteCallLetterRules[2].CONumber, "extra");
    EXPECT_EQ(rules.ChangeTimeRules[1].Math, 0);
    EXPECT_EQ(rules.AutoLoadSettings.Path, "/");  // empty path item
    EXPECT_TRUE(rules.AutoLoadSettings.CSV);
}

TEST(ImportOldSettings, MissingOrShortFileEmptiesWhatTheFileWouldHold) {
    for (const char* text : {static_cast<const char*>(nullptr), "header\r\nKABC,12\r\n", ""}) {
        TempDir home;
        if (text != nullptr) {
            WriteFile(OldSettingsFilePath(home.path()), text);
        }
        const RuleSet before = FilledRuleSet();
        RuleSet rules = before;
        ImportOldSettings(home.path(), rules);

        const bool shortFile = text != nullptr && *text != '\0';
        EXPECT_EQ(rules.DeleteCallLetterRules[1].CallLetter, shortFile ? "KABC" : "");
        EXPECT_EQ(rules.DeleteCallLetterRules[1].CONumber, shortFile ? "12" : "");
        EXPECT_EQ(rules.DeleteCallLetterRules[2], DeleteCallLetterRule{});
        EXPECT_EQ(rules.DeleteCallLetterRules[24], DeleteCallLetterRule{});
        EXPECT_EQ(rules.DeleteCallLetterRules[25], before.DeleteCallLetterRules[25]);
        EXPECT_EQ(rules.ChangeCOFromDescriptionRules[24], ChangeCOFromDescriptionRule{});
        EXPECT_EQ(rules.DeleteSourceDestinationRules[24], DeleteSourceDestinationRule{});
        EXPECT_EQ(rules.DeleteSourceDestinationRules[48], before.DeleteSourceDestinationRules[48]);
        for (const auto& rule : rules.ChangeTimeRules) {
            EXPECT_EQ(rule, (ChangeTimeRule{"", "", "", "", 0, "00:00:00"}));
        }
        EXPECT_EQ(rules.DeleteAllFlags, DeleteAllFlagsGroup{});
        EXPECT_EQ(rules.AutoLoadSettings,
                  (AutoLoadSettingsGroup{"/", before.AutoLoadSettings.OutPath, false, false,
                                         before.AutoLoadSettings.Delete,
                                         before.AutoLoadSettings.PrefixDate}));
    }
}

TEST(ImportOldSettings, OverwritesTheOlderPartOfASettingsFileWithoutVersion) {
    TempDir home;
    const RuleSet filled = FilledRuleSet();
    ASSERT_FALSE(SaveSettings(home.path(), filled));
    ASSERT_FALSE(WriteProfileValue(SettingsFilePath(home.path()), "Skedora", "Version", ""));

    RuleSet rules;
    ASSERT_FALSE(LoadSettings(home.path(), rules));
    EXPECT_EQ(rules, filled);
    ImportOldSettings(home.path(), rules);  // there is no SKCONV.INI

    for (int n = 1; n <= 64; ++n) {
        EXPECT_EQ(rules.DeleteCallLetterRules[n],
                  n <= 24 ? DeleteCallLetterRule{} : filled.DeleteCallLetterRules[n]);
    }
    for (int n = 1; n <= 48; ++n) {
        EXPECT_EQ(rules.DeleteSourceDestinationRules[n],
                  n <= 24 ? DeleteSourceDestinationRule{} : filled.DeleteSourceDestinationRules[n]);
    }
    for (int n = 1; n <= 24; ++n) {
        EXPECT_EQ(rules.ChangeCOFromCallLetterRules[n], ChangeCOFromCallLetterRule{});
        EXPECT_EQ(rules.ChangeCallLetterRules[n], ChangeCallLetterRule{});
        EXPECT_EQ(rules.ChangeCOFromDescriptionRules[n], ChangeCOFromDescriptionRule{});
    }
    for (const auto& rule : rules.ChangeTimeRules) {
        EXPECT_EQ(rule, (ChangeTimeRule{"", "", "", "", 0, "00:00:00"}));
    }
    EXPECT_EQ(rules.DeleteAllFlags, DeleteAllFlagsGroup{});
    EXPECT_EQ(rules.AutoLoadSettings,
              (AutoLoadSettingsGroup{"/", "/watch/out/", false, false, false, true}));

    // Once saved the file is current, and a later start takes it as it is.
    ASSERT_FALSE(SaveSettings(home.path(), rules));
    RuleSet next;
    EXPECT_TRUE(LoadSettings(home.path(), next));
    EXPECT_EQ(next, rules);
}

}  // namespace
}  // namespace skedora
