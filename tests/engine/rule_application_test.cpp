#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/prepared_rules.h"
#include "support/reference_rules.h"

namespace skedora {
namespace {

using test::Event;

/** Events given as "to|from|co", each deleted (or kept) by both forms of the rules. */
void ExpectDeleted(const RuleSet& rules, std::initializer_list<const char*> deleted,
                   std::initializer_list<const char*> kept) {
    const PreparedRules prepared(rules);
    for (const bool expected : {true, false}) {
        for (const std::string text : expected ? deleted : kept) {
            const auto a = text.find('|'), b = text.find('|', a + 1);
            const auto event =
                Event(text.substr(0, a), text.substr(a + 1, b - a - 1), text.substr(b + 1));
            EXPECT_EQ(test::ReferenceDeleteRule(event, rules).has_value(), expected) << text;
            EXPECT_EQ(prepared.IsDeleted(event), expected) << text;
        }
    }
}

ScheduleRecord Changed(ScheduleRecord event, const RuleSet& rules) {
    ScheduleRecord prepared = event;
    test::ReferenceApplyChanges(event, rules);
    PreparedRules(rules).ApplyChanges(prepared);
    EXPECT_EQ(prepared, event);
    return event;
}

TEST(DeleteRules, CallLetterEntriesMatchByKeyAndValueEmptyOnesToo) {
    RuleSet rules;  // every other entry empty: it deletes blank To call letters with CO 0
    rules.DeleteCallLetterRules[64] = {"wabc ", "0012"};
    rules.DeleteCallLetterRules[2] = {"WQQQ", "9999"};
    rules.DeleteCallLetterRules[3] = {"ALL", "5"};  // no wildcard in this list
    ExpectDeleted(rules,
                  {"WABC|WXYZ|12", "WXYZ| Wabc|12.0", "WQQQ|WXYZ|77", "WXYZ|wqqq|no number",
                   "all|WXYZ|5", "  |WXYZ|abc", "|WXYZ|0"},
                  {"WABC|WXYZ|13", "WABCD|WXYZ|12", "WABC|WXYZ|5", "|WXYZ|5", "WABC|WXYZ|"});
    rules.DeleteCallLetterRules[10] = {"", "9999"};
    ExpectDeleted(rules, {"|WXYZ|5"}, {});
}

TEST(DeleteRules, SourceIsToDestinationIsFromAndAllStandsForEither) {
    RuleSet rules;
    rules.DeleteSourceDestinationRules[1] = {"WABC", "WXYZ"};
    ExpectDeleted(rules, {"wabc|wxyz|1"}, {"WXYZ|WABC|1"});
    rules.DeleteSourceDestinationRules[1] = {" all ", "WXYZ"};
    ExpectDeleted(rules, {"KQED|WXYZ|1"}, {"WXYZ|KQED|1"});
    rules.DeleteSourceDestinationRules[1] = {"WABC", "All"};
    ExpectDeleted(rules, {"WABC|KQED|1"}, {"KQED|WABC|1"});
    rules.DeleteSourceDestinationRules[1] = {"ALL", "ALL"};
    ExpectDeleted(rules, {"WABC|all|1", "ALL|WXYZ|1"}, {"WABC|WXYZ|1"});
    // Only the first 24 entries apply; empty entries never match a handled event.
    rules.DeleteSourceDestinationRules[1] = {};
    for (int n = 25; n <= 48; ++n) {
        rules.DeleteSourceDestinationRules[n] = {"ALL", "WXYZ"};
    }
    ExpectDeleted(rules, {}, {"WABC|WXYZ|1", "|WXYZ|1"});
}

TEST(DeleteRules, FlagsTestBothCallLetters) {
    RuleSet rules;
    ExpectDeleted(rules, {}, {"WABC-HD|D1|1"});
    rules.DeleteAllFlags = {true, false, false, false};
    ExpectDeleted(rules, {"wabc-hd|WXYZ|1", "WXYZ|-hd|1"}, {"WABC|HD|1", "WABC-HDX|W|1"});
    rules.DeleteAllFlags = {false, true, false, false};
    ExpectDeleted(rules, {"|ABC|1", "WABC-HD|WXYZ|1"}, {"|AB|1", "WABC-HD|W-HD|1"});
    rules.DeleteAllFlags = {false, false, true, false};
    ExpectDeleted(rules, {"d123|W|1"}, {"|WD|1"});
    rules.DeleteAllFlags = {false, false, false, true};
    ExpectDeleted(rules, {"D1|w|1"}, {"|D1|1"});
}

TEST(ChangeRules, CallLetterAndCOChangesChainInEntryOrder) {
    RuleSet rules;
    rules.ChangeCallLetterRules[1] = {"WABC", "5", "WXYZ"};
    rules.ChangeCallLetterRules[2] = {"WXYZ", "5", "WQQQ"};
    rules.ChangeCallLetterRules[3] = {"WQQQ", "9999", "KQED"};  // no 9999 wildcard here
    ScheduleRecord event = Changed(Event("WABC", "wabc ", "5"), rules);
    EXPECT_EQ(event.tochnm_hd, "WQQQ");
    EXPECT_EQ(event.fchnm_hd, "WQQQ");
    std::swap(rules.ChangeCallLetterRules[1], rules.ChangeCallLetterRules[2]);
    rules.ChangeCallLetterRules[4] = {"KQED", "005", " wxyz "};  // stored as a key
    event = Changed(Event("WABC", "KQED", "5"), rules);
    EXPECT_EQ(event.tochnm_hd, "WXYZ");
    EXPECT_EQ(event.fchnm_hd, "WXYZ");

    rules = {};
    rules.ChangeCOFromCallLetterRules[1] = {"WABC", "5", "7"};
    rules.ChangeCOFromCallLetterRules[2] = {"wxyz", "7", " 12a "};
    rules.ChangeCOFromCallLetterRules[3] = {"All", "05", "9"};
    rules.ChangeCOFromDescriptionRules[24] = {" news at ten ", "9", "6"};
    EXPECT_EQ(Changed(Event("WABC", "WXYZ", "5"), rules).co, "12a");
    EXPECT_EQ(Changed(Event("KQED", "WXYZ", "7"), rules).co, "12a");
    EXPECT_EQ(Changed(Event("KQED", "KXYZ", "5"), rules).co, "9");
    EXPECT_EQ(Changed(Event("KQED", "KXYZ", "5", "NEWS AT TEN"), rules).co, "6");

    rules = {};  // empty CO entries clear the CO of matching events
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
}

TEST(PreparedRules, AgreeWithTheRuleSetOnRandomRulesAndEvents) {
    std::mt19937 random(2024);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        const auto word = test::RandomWords(random);
        const RuleSet rules = test::RandomRules(random, word, 1);
        const PreparedRules prepared(rules);
        for (int i = 0; i < 50; ++i) {
            ScheduleRecord event = Event(word(), word(), word(), word());
            event.on_time = word();
            const std::optional<RuleId> first = test::ReferenceDeleteRule(event, rules);
            test::RecordingTrace trace;
            ASSERT_EQ(prepared.IsDeleted(event), first.has_value());
            ASSERT_EQ(prepared.IsDeleted(event, &trace), first.has_value());
            ASSERT_EQ(trace.deleted, first ? std::vector<RuleId>{*first} : std::vector<RuleId>{});

            ScheduleRecord plain = event, traced = event;
            const auto changes = test::ReferenceApplyChanges(event, rules);
            prepared.ApplyChanges(plain);
            prepared.ApplyChanges(traced, &trace);
            ASSERT_EQ(plain, event);
            ASSERT_EQ(traced, event);
            ASSERT_EQ(trace.changes, changes);
        }
    }
}

}  // namespace
}  // namespace skedora
