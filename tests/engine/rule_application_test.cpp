#include "engine/rule_application.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace skedora {
namespace {

ScheduleRecord Event(const std::string& to, const std::string& from, const std::string& co,
                     const std::string& pgm = "NEWS") {
    ScheduleRecord event;
    event.tochnm_hd = to;
    event.fchnm_hd = from;
    event.co = co;
    event.pgm = pgm;
    event.on_time = "10:00:00";
    event.off_time = "11:30:00";
    return event;
}

// Every case goes through both forms of the rules, which must agree.
bool Deleted(const ScheduleRecord& event, const RuleSet& rules) {
    const bool deleted = IsDeletedByRules(event, rules);
    EXPECT_EQ(IsDeletedByRules(event, PreparedRules(rules)), deleted);
    return deleted;
}

ScheduleRecord Changed(ScheduleRecord event, const RuleSet& rules) {
    ScheduleRecord prepared = event;
    ApplyChangeRules(event, rules);
    ApplyChangeRules(prepared, PreparedRules(rules));
    EXPECT_EQ(prepared, event);
    return event;
}

TEST(DeleteRules, CallLettersAndCONumberMatchAsKeyAndValue) {
    RuleSet rules;
    rules.DeleteCallLetterRules[64] = {"wabc ", "0012"};
    EXPECT_TRUE(Deleted(Event("WABC", "WXYZ", "12"), rules));
    EXPECT_TRUE(Deleted(Event("WXYZ", " Wabc", "12.0"), rules));
    EXPECT_FALSE(Deleted(Event("WABC", "WXYZ", "13"), rules));
    EXPECT_FALSE(Deleted(Event("WABCD", "WXYZ", "12"), rules));

    rules.DeleteCallLetterRules[2] = {"WQQQ", "9999"};
    EXPECT_TRUE(Deleted(Event("WQQQ", "WXYZ", "77"), rules));
    EXPECT_TRUE(Deleted(Event("WXYZ", "wqqq", "no number"), rules));
    EXPECT_FALSE(Deleted(Event("WXYZ", "WXYZ", "77"), rules));

    // "ALL" is no wildcard in this list.
    rules.DeleteCallLetterRules[3] = {"ALL", "5"};
    EXPECT_FALSE(Deleted(Event("WABC", "WXYZ", "5"), rules));
    EXPECT_TRUE(Deleted(Event("all", "WXYZ", "5"), rules));
}

TEST(DeleteRules, EmptyEntriesTakePartLikeAnyOther) {
    // A fresh rule set is all empty entries: they delete events with blank To call letters
    // whose CO number reads as 0.
    RuleSet rules;
    EXPECT_TRUE(Deleted(Event("", "WXYZ", ""), rules));
    EXPECT_TRUE(Deleted(Event("  ", "WXYZ", "abc"), rules));
    EXPECT_TRUE(Deleted(Event("", "WXYZ", "0"), rules));
    EXPECT_FALSE(Deleted(Event("", "WXYZ", "5"), rules));
    EXPECT_FALSE(Deleted(Event("WABC", "WXYZ", ""), rules));

    rules.DeleteCallLetterRules[10].CONumber = "9999";
    EXPECT_TRUE(Deleted(Event("", "WXYZ", "5"), rules));
}

TEST(DeleteRules, SourceIsToDestinationIsFromAndAllStandsForEither) {
    RuleSet rules;
    rules.DeleteSourceDestinationRules[1] = {"WABC", "WXYZ"};
    EXPECT_TRUE(Deleted(Event("wabc", "wxyz", "1"), rules));
    EXPECT_FALSE(Deleted(Event("WXYZ", "WABC", "1"), rules));

    rules.DeleteSourceDestinationRules[1] = {" all ", "WXYZ"};
    EXPECT_TRUE(Deleted(Event("KQED", "WXYZ", "1"), rules));
    EXPECT_FALSE(Deleted(Event("WXYZ", "KQED", "1"), rules));

    rules.DeleteSourceDestinationRules[1] = {"WABC", "All"};
    EXPECT_TRUE(Deleted(Event("WABC", "KQED", "1"), rules));
    EXPECT_FALSE(Deleted(Event("KQED", "WABC", "1"), rules));

    rules.DeleteSourceDestinationRules[1] = {"ALL", "ALL"};
    EXPECT_FALSE(Deleted(Event("WABC", "WXYZ", "1"), rules));
    EXPECT_TRUE(Deleted(Event("WABC", "all", "1"), rules));
    EXPECT_TRUE(Deleted(Event("ALL", "WXYZ", "1"), rules));
}

TEST(DeleteRules, OnlyTheFirstTwentyFourSourceDestinationEntriesApply) {
    RuleSet rules;
    rules.DeleteSourceDestinationRules[24] = {"WABC", "WXYZ"};
    EXPECT_TRUE(Deleted(Event("WABC", "WXYZ", "1"), rules));
    rules.DeleteSourceDestinationRules[24] = {};
    for (int n = 25; n <= 48; ++n) {
        rules.DeleteSourceDestinationRules[n] = {"ALL", "WXYZ"};
    }
    EXPECT_FALSE(Deleted(Event("WABC", "WXYZ", "1"), rules));
    // Empty entries never match: the From call letters of a handled event are never blank.
    EXPECT_FALSE(Deleted(Event("", "WXYZ", "1"), rules));
}

TEST(DeleteRules, FlagsTestBothCallLetters) {
    struct Case {
        DeleteAllFlagsGroup flags;
        const char* to;
        const char* from;
        bool deleted;
    };
    const DeleteAllFlagsGroup hd{true, false, false, false}, sd{false, true, false, false},
        digital{false, false, true, false}, nonDigital{false, false, false, true};
    const Case cases[] = {
        {hd, "wabc-hd", "WXYZ", true},  {hd, "WXYZ", "-hd", true},
        {hd, "WABC", "HD", false},      {hd, "WABC-HDX", "W", false},
        {sd, "", "AB", false},          {sd, "", "ABC", true},
        {sd, "WABC-HD", "W-HD", false}, {sd, "WABC-HD", "WXYZ", true},
        {digital, "d123", "W", true},   {digital, "", "WD", false},
        {nonDigital, "", "D1", false},  {nonDigital, "D1", "w", true},
        {{}, "WABC-HD", "D1", false},
    };
    for (const Case& c : cases) {
        RuleSet rules;
        rules.DeleteAllFlags = c.flags;
        EXPECT_EQ(Deleted(Event(c.to, c.from, "1"), rules), c.deleted) << c.to << " " << c.from;
    }
}

TEST(ChangeRules, CallLetterChangesChainInEntryOrder) {
    RuleSet rules;
    rules.ChangeCallLetterRules[1] = {"WABC", "5", "WXYZ"};
    rules.ChangeCallLetterRules[2] = {"WXYZ", "5", "WQQQ"};
    ScheduleRecord event = Changed(Event("WABC", "wabc ", "5"), rules);
    EXPECT_EQ(event.tochnm_hd, "WQQQ");
    EXPECT_EQ(event.fchnm_hd, "WQQQ");

    std::swap(rules.ChangeCallLetterRules[1], rules.ChangeCallLetterRules[2]);
    event = Changed(Event("WABC", "KQED", "5"), rules);
    EXPECT_EQ(event.tochnm_hd, "WXYZ");
    EXPECT_EQ(event.fchnm_hd, "KQED");

    // No 9999 wildcard in the change families; new call letters are stored as a key.
    rules = {};
    rules.ChangeCallLetterRules[3] = {"WABC", "9999", "KQED"};
    rules.ChangeCallLetterRules[4] = {"WABC", "005", " wxyz "};
    event = Changed(Event("WABC", "WXYZ", "5"), rules);
    EXPECT_EQ(event.tochnm_hd, "WXYZ");
}

TEST(ChangeRules, COChangesKeepLetterCaseAndChain) {
    RuleSet rules;
    rules.ChangeCOFromCallLetterRules[1] = {"WABC", "5", "7"};
    rules.ChangeCOFromCallLetterRules[2] = {"wxyz", "7", " 12a "};
    EXPECT_EQ(Changed(Event("WABC", "WXYZ", "5"), rules).co, "12a");
    EXPECT_EQ(Changed(Event("KQED", "WXYZ", "7"), rules).co, "12a");
    EXPECT_EQ(Changed(Event("KQED", "WXYZ", "5"), rules).co, "5");

    rules = {};
    rules.ChangeCOFromCallLetterRules[1] = {"All", "05", "9"};
    EXPECT_EQ(Changed(Event("KQED", "WXYZ", "5"), rules).co, "9");

    rules = {};
    rules.ChangeCOFromDescriptionRules[24] = {" news at ten ", "5", "6"};
    EXPECT_EQ(Changed(Event("WABC", "WXYZ", "5", "NEWS AT TEN"), rules).co, "6");
    EXPECT_EQ(Changed(Event("WABC", "WXYZ", "5", "NEWS"), rules).co, "5");
}

TEST(ChangeRules, EmptyCOEntriesClearTheCOOfMatchingEvents) {
    const RuleSet rules;
    EXPECT_EQ(Changed(Event("", "WXYZ", "0", "NEWS"), rules).co, "");
    EXPECT_EQ(Changed(Event("WABC", "WXYZ", "abc", ""), rules).co, "");
    EXPECT_EQ(Changed(Event("WABC", "WXYZ", "0", "NEWS"), rules).co, "0");
    EXPECT_EQ(Changed(Event("", "WXYZ", "3", ""), rules).co, "3");
}

TEST(ChangeRules, TimeRulesSeeEarlierChangesAndAllApplyInOrder) {
    RuleSet rules;
    rules.ChangeCallLetterRules[1] = {"WABC", "5", "KQED"};
    rules.ChangeCOFromCallLetterRules[1] = {"KQED", "5", "7"};
    rules.ChangeTimeRules[1] = {"kqed", "WXYZ", "7", "news", 0, "00:30:00"};
    rules.ChangeTimeRules[2] = {"KQED", "WXYZ", "7", "NEWS", 3, "01:00:00"};
    rules.ChangeTimeRules[3] = {"KQED", "WXYZ", "7", "NEWS", 1, "00:15:00"};
    rules.ChangeTimeRules[4] = {"KQED", "WXYZ", "7", "NEWS", 4, "01:00:00"};
    rules.ChangeTimeRules[5] = {"WABC", "WXYZ", "5", "NEWS", 0, "01:00:00"};  // old values
    rules.ChangeTimeRules[6] = {"KQED", "WXYZ", "7", "NEWS AT", 0, "01:00:00"};
    const ScheduleRecord event = Changed(Event("WABC", "WXYZ", "5"), rules);
    EXPECT_EQ(event.on_time, "10:15:00");
    EXPECT_EQ(event.off_time, "10:30:00");

    rules = {};
    rules.ChangeTimeRules[8] = {"WABC", "WXYZ", "5", "NEWS", 1, "00:30:00"};
    ScheduleRecord early = Event("WABC", "WXYZ", "5");
    early.on_time = "00:10:00";
    EXPECT_EQ(Changed(early, rules).on_time, "00:00:00");
    EXPECT_EQ(Changed(Event("WABC", "WXYZ", "5"), rules).on_time, "09:30:00");
}

TEST(PreparedRules, AgreeWithTheRuleSetOnRandomRulesAndEvents) {
    const std::vector<std::string> texts = {
        "",          " ",    "WABC", " wabc ", "WABC-HD", "wabc-hd", "ALL", " all",
        "D123",      "d5",   "5",    "05",     " 5",      "5.0",     "5.5", "9999",
        "0",         "abc",  "\t5",  "\tWABC", "1e1",     "10",      "-0",  "\xE9t\xE9",
        "\xC9T\xC9", "NEWS", "news", "7",      "12a",     "-HD",     "HD"};
    const std::vector<std::string> times = {"00:30:00", "01:00", "10:00:00", "bad", ""};
    std::mt19937 random(2024);
    const auto pick = [&](const std::vector<std::string>& from) {
        return from[random() % from.size()];
    };

    for (int round = 0; round < 200; ++round) {
        // A few words per round, shared by rules and events, so that many entries match.
        std::vector<std::string> words;
        for (int count = 3 + static_cast<int>(random() % 8); count > 0; --count) {
            words.push_back(pick(texts));
        }
        const auto maybe = [&]() { return random() % 3 == 0 ? std::string() : pick(words); };

        RuleSet rules;
        for (auto& rule : rules.DeleteCallLetterRules) {
            rule = {maybe(), maybe()};
        }
        for (auto& rule : rules.DeleteSourceDestinationRules) {
            rule = {maybe(), maybe()};
        }
        rules.DeleteAllFlags = {random() % 8 == 0, random() % 8 == 0, random() % 8 == 0,
                                random() % 8 == 0};
        for (auto& rule : rules.ChangeCallLetterRules) {
            rule = {maybe(), maybe(), maybe()};
        }
        for (auto& rule : rules.ChangeCOFromCallLetterRules) {
            rule = {maybe(), maybe(), maybe()};
        }
        for (auto& rule : rules.ChangeCOFromDescriptionRules) {
            rule = {maybe(), maybe(), maybe()};
        }
        for (auto& rule : rules.ChangeTimeRules) {
            rule = {maybe(),    maybe(), maybe(), maybe(), static_cast<std::int16_t>(random() % 6),
                    pick(times)};
        }
        const PreparedRules prepared(rules);
        for (int i = 0; i < 50; ++i) {
            ScheduleRecord event = Event(pick(words), pick(words), pick(words), pick(words));
            event.on_time = pick(times);
            EXPECT_EQ(IsDeletedByRules(event, prepared), IsDeletedByRules(event, rules));
            ScheduleRecord other = event;
            ApplyChangeRules(event, rules);
            ApplyChangeRules(other, prepared);
            ASSERT_EQ(other, event) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace skedora
