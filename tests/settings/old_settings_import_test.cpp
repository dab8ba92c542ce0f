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

TEST(ItemReader, SplitsAtCommasAndLineEndsHonouringQuotes) {
    const struct {
        const char* text;
        std::vector<std::string> items;
    } cases[] = {
        {"\"a, b\",c", {"a, b", "c", ""}},
        {"  \"  KABC  \"  ,x", {"  KABC  ", "x", ""}},
        {"   a  ,\tb", {"a  ", "b", ""}},
        {"\"q\" dropped,z", {"q", "z", ""}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d", ""}},
        {"a,,b\r\n\r\nc", {"a", "", "b", "", "c"}},
        {"\"two\r\nlines\",x", {"two\r\nlines", "x"}},
        {"\"open, to the end", {"open, to the end", ""}},
    };
    for (const auto& c : cases) {
        ItemReader reader(c.text);
        for (const auto& expected : c.items) {
            EXPECT_EQ(reader.Next(), expected) << c.text;
        }
    }
}

/** An older file: a header line, then the items, three to a line. */
std::string OldFile(const std::vector<std::string>& items) {
    std::string text = "\"SKCONV\"\r\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += items[i] + ((i + 1) % 3 == 0 || i + 1 == items.size() ? "\r\n" : ",");
    }
    return text;
}

/** before with every member the older file holds emptied, as a file without items leaves it. */
RuleSet OlderPartEmptied(RuleSet rules) {
    for (int n = 1; n <= 24; ++n) {
        rules.DeleteCallLetterRules[n] = {};
        rules.DeleteSourceDestinationRules[n] = {};
        rules.ChangeCOFromCallLetterRules[n] = {};
        rules.ChangeCallLetterRules[n] = {};
        rules.ChangeCOFromDescriptionRules[n] = {};
    }
    for (auto& rule : rules.ChangeTimeRules) {
        rule = {"", "", "", "", 0, "00:00:00"};
    }
    rules.DeleteAllFlags = {};
    rules.AutoLoadSettings.Path = "/";
    rules.AutoLoadSettings.DBF = rules.AutoLoadSettings.CSV = false;
    return rules;
}

TEST(ImportOldSettings, FillsEveryMemberTheOlderFileHoldsAndKeepsTheRest) {
    // Item n (the header counts as 1) holds "In", but for the numbers, times and flags.
    std::vector<std::string> items;
    for (int n = 2; n <= 368; ++n) {
        items.push_back("\"I" + std::to_string(n) + "\"");
    }
    auto item = [&](int n) -> std::string& { return items[static_cast<std::size_t>(n - 2)]; };
    for (int n = 1; n <= 8; ++n) {
        item(318 + 6 * (n - 1)) = std::to_string(n - 1);
        item(319 + 6 * (n - 1)) = "0" + std::to_string(n) + ":00:00";
    }
    item(318) = "2.5";
    item(324) = "3.5";
    item(330) = "99999";
    item(337) = "1:30";  // the fourth entry's time
    for (int n = 362; n <= 368; ++n) {
        item(n) = n % 2 == 0 ? "1" : "0";
    }
    item(364) = "2";
    item(367) = "\" /old/in/ \"";
    const RuleSet before = FilledRuleSet();
    RuleSet rules = before;
    ImportOldSettingsText(OldFile(items), rules);

    RuleSet expected = before;
    auto text = [](int n) { return "I" + std::to_string(n); };
    for (int n = 1; n <= 24; ++n) {
        expected.DeleteCallLetterRules[n] = {text(2 * n), text(2 * n + 1)};
        expected.ChangeCOFromCallLetterRules[n] = {text(47 + 3 * n), text(48 + 3 * n),
                                                   text(49 + 3 * n)};
        expected.ChangeCallLetterRules[n] = {text(119 + 3 * n), text(120 + 3 * n),
                                             text(121 + 3 * n)};
        expected.DeleteSourceDestinationRules[n] = {text(192 + 2 * n), text(193 + 2 * n)};
        expected.ChangeCOFromDescriptionRules[n] = {text(239 + 3 * n), text(240 + 3 * n),
                                                    text(241 + 3 * n)};
    }
    const std::int16_t maths[] = {2, 4, -1, 3, 4, 5, 6, 7};
    for (int n = 1; n <= 8; ++n) {
        expected.ChangeTimeRules[n] = {
            text(308 + 6 * n), text(309 + 6 * n),
            text(310 + 6 * n), text(311 + 6 * n),
            maths[n - 1],      n == 4 ? "00:00:00" : "0" + std::to_string(n) + ":00:00"};
    }
    expected.DeleteAllFlags = {true, false, false, false};
    expected.AutoLoadSettings.DBF = true;
    expected.AutoLoadSettings.Path = " /old/in/ ";
    expected.AutoLoadSettings.CSV = true;
    EXPECT_EQ(rules, expected);
}

TEST(ImportOldSettings, CutsTextsTo25CharactersBeforeStrippingThem) {
    std::vector<std::string> items(366);
    items[0] = "\"  KABC  \"";
    items[1] = "\"ABCDEFGHIJKLMNOPQRSTUVW  XYZZZ\"";   // 30 characters
    items[2] = "KABC, extra";                          // two items
    items[315] = "\"" + std::string(25, ' ') + "7\"";  // a math item: its number lies past 25
    items[365] = "1";
    RuleSet rules;
    ImportOldSettingsText(OldFile(items), rules);
    EXPECT_EQ(rules.DeleteCallLetterRules[1],
              (DeleteCallLetterRule{"KABC", "ABCDEFGHIJKLMNOPQRSTUVW"}));
    EXPECT_EQ(rules.DeleteCallLetterRules[2], (DeleteCallLetterRule{"KABC", "extra"}));
    EXPECT_EQ(rules.ChangeTimeRules[1].Math, 0);
    EXPECT_EQ(rules.AutoLoadSettings.Path, "/");  // an empty path item
    EXPECT_TRUE(rules.AutoLoadSettings.CSV);
}

TEST(ImportOldSettings, AMissingOrShortFileEmptiesWhatTheFileWouldHold) {
    test::TempDir home;  // neither settings file: the start-up state
    const RuleSet filled = FilledRuleSet();
    RuleSet rules = filled;
    EXPECT_FALSE(LoadSettings(home.path(), rules));
    ImportOldSettings(home.path(), rules);
    RuleSet startUp;
    startUp.AutoLoadSettings = {"/", "/", false, false, true, false};
    for (auto& rule : startUp.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    EXPECT_EQ(rules, startUp);

    rules = filled;
    ImportOldSettingsText("header\r\nKABC,12\r\n", rules);
    RuleSet expected = OlderPartEmptied(filled);
    expected.DeleteCallLetterRules[1] = {"KABC", "12"};
    EXPECT_EQ(rules, expected);

    // An SK.ini without "Version" is read, then overwritten in part by the import.
    ASSERT_FALSE(SaveSettings(home.path(), filled));
    ASSERT_FALSE(WriteProfileValue(home.file("SK.ini"), "Skedora", "Version", ""));
    ASSERT_FALSE(LoadSettings(home.path(), rules));
    EXPECT_EQ(rules, filled);
    ImportOldSettings(home.path(), rules);  // there is no SKCONV.INI
    EXPECT_EQ(rules, OlderPartEmptied(filled));
    // Once saved the file is current, and a later start takes it as it is.
    ASSERT_FALSE(SaveSettings(home.path(), rules));
    RuleSet next;
    EXPECT_TRUE(LoadSettings(home.path(), next));
    EXPECT_EQ(next, rules);
}

}  // namespace
}  // namespace skedora
