#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/filled_rule_set.h"
#include "settings/item_reader.h"
#include "settings/profile_file.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::FilledRuleSet;

TEST(ItemReader, SplitsAtCommasAndLineEndsHonouringQuotes) {
    ItemReader reader(
        "\"a, b\",  \"  KABC  \"  ,   a  ,\tb,\"q\" dropped,a\r\nb\nc\rd,,\"two\r\nlines\",\"open, "
        "to the end");
    for (const char* item : {"a, b", "  KABC  ", "a  ", "b", "q", "a", "b", "c", "d", "",
                             "two\r\nlines", "open, to the end", ""}) {
        EXPECT_EQ(reader.Next(), item);
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
    // Item n (the header line is item 1) holds "In", but for the maths, times and flags.
    std::vector<std::string> items;
    for (int n = 2; n <= 368; ++n) {
        items.push_back("\"I" + std::to_string(n) + "\"");
    }
    // Texts are cut to 25 characters, then stripped; a comma outside quotes ends an item.
    items[0] = "\"  KABC  \"";
    items[1] = "\"ABCDEFGHIJKLMNOPQRSTUVW  XYZZZ\"";
    items[2] = "KABC, extra";
    items.erase(items.begin() + 3);
    const std::string longMath = "\"" + std::string(25, ' ') + "7\"";  // its number lies past 25
    const char* maths[] = {"2.5", "3.5", "99999", "3", longMath.c_str(), "5", "6", "7"};
    const char* times[] = {"01:00:00", "02:00:00", "03:00:00", "1:30",
                           "05:00:00", "06:00:00", "07:00:00", "08:00:00"};
    for (std::size_t n = 0; n < 8; ++n) {
        items[315 + 6 * n] = maths[n];
        items[316 + 6 * n] = times[n];
    }
    const char* flags[] = {"1", "0", "2", "", "1", "\" /old/in/ \"", "1"};  // + DBF, Path, CSV
    std::copy(std::begin(flags), std::end(flags), items.end() - 7);
    RuleSet rules = FilledRuleSet();
    ImportOldSettingsText(OldFile(items), rules);

    // The lists in file order: 24 entries each of 2, 3, 3, 2 and 3 texts, from item 2 on.
    RuleSet expected = FilledRuleSet();
    const auto i = [](int n) { return "I" + std::to_string(n); };
    for (int e = 1; e <= 24; ++e) {
        expected.DeleteCallLetterRules[e] = {i(2 * e), i(2 * e + 1)};
        expected.ChangeCOFromCallLetterRules[e] = {i(47 + 3 * e), i(48 + 3 * e), i(49 + 3 * e)};
        expected.ChangeCallLetterRules[e] = {i(119 + 3 * e), i(120 + 3 * e), i(121 + 3 * e)};
        expected.DeleteSourceDestinationRules[e] = {i(192 + 2 * e), i(193 + 2 * e)};
        expected.ChangeCOFromDescriptionRules[e] = {i(239 + 3 * e), i(240 + 3 * e), i(241 + 3 * e)};
    }
    expected.DeleteCallLetterRules[1] = {"KABC", "ABCDEFGHIJKLMNOPQRSTUVW"};
    expected.DeleteCallLetterRules[2] = {"KABC", "extra"};
    const std::int16_t expectedMaths[] = {2, 4, -1, 3, 0, 5, 6, 7};  // half to even; 16 bits
    for (int e = 1, n = 314; e <= 8; ++e, n += 6) {
        expected.ChangeTimeRules[e] = {
            i(n), i(n + 1), i(n + 2), i(n + 3), expectedMaths[e - 1], times[e - 1]};
    }
    expected.ChangeTimeRules[4].Time = "00:00:00";  // "1:30" is not eight characters long
    expected.DeleteAllFlags = {true, false, false, false};
    expected.AutoLoadSettings.DBF = expected.AutoLoadSettings.CSV = true;
    expected.AutoLoadSettings.Path = " /old/in/ ";
    EXPECT_EQ(rules, expected);
}

TEST(ImportOldSettings, AMissingOrShortFileEmptiesWhatTheFileWouldHold) {
    test::TempDir home;  // neither settings file: the start-up state
    const RuleSet filled = FilledRuleSet();
    RuleSet rules = filled;
    EXPECT_FALSE(LoadSettings(home.path(), rules).current);
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
    ProfileFile edited = ProfileFile::Parse(test::ReadFile(home.file("SK.ini")));
    edited.Set("Skedora", "Version", "");
    test::WriteFile(home.file("SK.ini"), edited.Serialize());
    ASSERT_FALSE(LoadSettings(home.path(), rules).current);
    EXPECT_EQ(rules, filled);
    ImportOldSettings(home.path(), rules);  // there is no SKCONV.INI
    EXPECT_EQ(rules, OlderPartEmptied(filled));
    // Once saved the file is current, and a later start takes it as it is.
    ASSERT_FALSE(SaveSettings(home.path(), rules));
    RuleSet next;
    EXPECT_TRUE(LoadSettings(home.path(), next).current);
    EXPECT_EQ(next, rules);
}

}  // namespace
}  // namespace skedora
