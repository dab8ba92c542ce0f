#include "app/rule_audit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <sstream>

#include "app/schedule_audit.h"
#include "engine/conversion_pass.h"
#include "engine/cp2_line.h"
#include "input/schedule_reader.h"
#include "model/event_table.h"
#include "support/reference_rules.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

/** The audit of a conversion pass over the table, writing nothing. */
RuleAudit Audit(const EventTable& table, const RuleSet& rules) {
    RuleAudit audit(rules);
    audit.SetIgnoredLines(table.IgnoredLines);
    const auto pass = std::make_unique<ConversionPass>(rules, audit);  // a whole table
    pass->SetRuleTrace(&audit);
    pass->Job().Events = table;
    EXPECT_FALSE(pass->Begin("WEEK1.CSV", std::nullopt));
    while (pass->IsRunning()) {
        pass->RunBurst(std::chrono::seconds(1));
    }
    return audit;
}

using test::Event;

// The audit of random rules over a schedule file agrees with what a conversion of that file
// writes, event by event and line by line (its rule counts are checked on the fixed cases below).
// The test schedules number their events' days 1, 2, 3...: each event's day is its record.
TEST(RuleAudit, ReadFromTheFileItAgreesWithTheConvertedOutput) {
    test::TempDir dir;
    std::mt19937 random(34);
    int deletedEvents = 0, changedEvents = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const auto word = test::RandomWords(random);
        const RuleSet rules = test::RandomRules(random, word, 12);
        std::vector<test::TestEvent> events(40);
        std::ranges::generate(events, [&] {
            return test::TestEvent{word() + word(), word(), word(), word()};
        });
        const bool dbase = round % 2 == 1;
        const std::string name = dbase ? "WEEK1.DBF" : "WEEK1.CSV";
        const auto input = dir.file(name);
        dbase ? test::WriteDbfSchedule(input, events) : test::WriteCsvSchedule(input, events);

        RuleAudit audit(rules);
        ASSERT_FALSE(AuditSchedule(rules, input.string(), name, audit));

        const auto output = dir.file("WEEK1.CP2");
        PassObserver none;
        ConversionPass pass(rules, none);
        ASSERT_FALSE(ReadSchedule(dbase ? ScheduleKind::Dbase : ScheduleKind::Csv, input.string(),
                                  name, pass.Job().Events));
        ASSERT_FALSE(pass.Begin(name, output.string()));
        while (pass.IsRunning()) {
            pass.RunBurst(std::chrono::seconds(1));
        }
        ASSERT_FALSE(pass.Result().failure);
        std::vector<std::string> outputLines = test::FileLines(output);
        ASSERT_FALSE(outputLines.empty());
        outputLines.erase(outputLines.begin());  // the column names

        std::vector<std::string> lines;
        for (const AuditEvent& e : audit.Events()) {
            EXPECT_TRUE(e.outcome == AuditOutcome::Skipped || e.input.day == e.record) << e.record;
            if (e.outcome == AuditOutcome::Deleted) {
                ++deletedEvents;
                EXPECT_TRUE(e.changes.empty());
                EXPECT_EQ(test::ReferenceDeleteRule(e.input, rules), e.deletedBy);
            } else if (e.outcome == AuditOutcome::Written) {
                lines.push_back(e.line);
                changedEvents += e.changes.empty() ? 0 : 1;
                // The listed changes, applied in order to the event as read, give the line.
                EXPECT_EQ(FormatEventLine(WrittenEvent(e), name), e.line) << e.record;
            }
        }
        EXPECT_EQ(lines, outputLines);
        EXPECT_EQ(audit.Counts().read, pass.Result().read);
        EXPECT_EQ(audit.Counts().skipped, pass.Result().skipped);
        EXPECT_EQ(audit.Counts().read,
                  audit.Counts().skipped + audit.Counts().deleted + audit.Counts().written);
    }
    // The rounds reach both kinds of rule, or the comparison above proves little.
    EXPECT_GT(deletedEvents, 20);
    EXPECT_GT(changedEvents, 100);
}

TEST(RuleAudit, JsonLinesEscapeControlBytesAndReadBytesAsWindows1252) {
    EXPECT_EQ(JsonString("a\"b\\c\x01\x1F\t\r\n\b\f\x7F\x80"),
              "\"a\\\"b\\\\c\\u0001\\u001f\\t\\r\\n\\b\\f\x7F\u20AC\"");

    RuleSet rules;
    rules.DeleteCallLetterRules[3] = {"WABC-HD", "9999"};
    rules.ChangeCallLetterRules[5] = {"WABC", "5", "wabc-hd"};
    rules.ChangeCOFromCallLetterRules[1] = {"ALL", "5", "7"};
    rules.ChangeTimeRules[2] = {"WABC-HD", "WXYZ", "7", "caf\xE9", 2, "00:30:00"};
    rules.ChangeTimeRules[8] = {"KQED", "", "", "", 0, "00:00:00"};
    rules.DeleteAllFlags.AllDigital = true;
    EventTable table;
    table.Append() = Event("WABC", "WXYZ", "5", "caf\xE9");
    table.Append() = Event("WABC-HD", "WXYZ", "1", "NEWS");
    table.Append() = Event("WABC", "  ", "5", "NEWS");
    table.Append() = Event("D100", "WXYZ", "1", "\"Q\"\x01");
    table.IgnoredLines = 2;
    std::ostringstream out;
    WriteAuditJsonLines(Audit(table, rules), out);
    EXPECT_EQ(out.str(),
              "{\"record\": 1, \"outcome\": \"written\", \"changes\": ["
              "{\"rule\": \"Change_Call_Letter/Old_Call_Letter_5\", \"field\": \"tochnm_hd\", "
              "\"before\": \"WABC\", \"after\": \"WABC-HD\"}, "
              "{\"rule\": \"Change_CO_From_Call_Letter/Call_Letter_1\", \"field\": \"co\", "
              "\"before\": \"5\", \"after\": \"7\"}, "
              "{\"rule\": \"Change_Time/Source_2\", \"field\": \"off_time\", "
              "\"before\": \"11:30:00\", \"after\": \"12:00:00\"}], "
              "\"line\": \"3,,,10:00:00,12:00:00,caf\u00E9,,,,,0,WABC-HD,0,WXYZ,7,,,,\"}\n"
              "{\"record\": 2, \"outcome\": \"deleted\", \"rule\": \"Delete/Call_Letter_3\"}\n"
              "{\"record\": 3, \"outcome\": \"skipped\"}\n"
              "{\"record\": 4, \"outcome\": \"deleted\", \"rule\": \"Delete/All_Digital\"}\n"
              "{\"summary\": {\"read\": 4, \"skipped\": 1, \"deleted\": 2, \"written\": 1, "
              "\"ignored_lines\": 2}, \"rule_hits\": {\"Delete/Call_Letter_3\": 1, "
              "\"Delete/All_Digital\": 1, \"Change_Call_Letter/Old_Call_Letter_5\": 1, "
              "\"Change_CO_From_Call_Letter/Call_Letter_1\": 1, \"Change_Time/Source_2\": 1}, "
              "\"unused_rules\": [\"Change_Time/Source_8\"]}\n");
}

TEST(RuleAudit, TextNamesRulesInTheWordsOfTheSettingsDialogs) {
    RuleSet rules;
    rules.DeleteCallLetterRules[3] = {"WABC-HD", "9999"};
    rules.DeleteSourceDestinationRules[2] = {"ALL", "KQED"};
    rules.ChangeCallLetterRules[5] = {"WABC", "5", "WABC-HD"};
    rules.ChangeCOFromDescriptionRules[7] = {"Caf\xE9", "5", "6"};
    rules.DeleteAllFlags.AllDigital = true;
    EventTable table;
    table.Append() = Event("WABC-HD", "WXYZ-HD", "12", "NEWS");
    table.Append() = Event("WABC", "wabc", "5", "caf\xE9");  // both call letters change
    table.Append() = Event("W", "KQED", "5", "NEWS");
    table.Append() = Event("WXYZ-HD", "W-HD", "1", "NEWS");
    table.Append() = Event("W", "KQED", "5", "\x1B]0;x\x07\x9D\x80");  // terminal controls
    std::ostringstream out;
    WriteAuditText(Audit(table, rules), out);
    EXPECT_EQ(out.str(),
              "Record 1 [To WABC-HD, From WXYZ-HD, CO 12, NEWS]: deleted by Delete Events, "
              "Call Letters + C.O.# row 3: WABC-HD + 9999\n"
              "Record 2 [To WABC, From wabc, CO 5, caf\u00E9]: Call Letters (To) WABC -> "
              "WABC-HD by Change Call Letters row 5; Call Letters (From) wabc -> WABC-HD by "
              "Change Call Letters row 5; CO # 5 -> 6 by Change CO#'s, Program Description row 7\n"
              "Record 3 [To W, From KQED, CO 5, NEWS]: deleted by Delete Events, "
              "Source + Destination row 2: ALL + KQED\n"
              "Record 5 [To W, From KQED, CO 5, \\x1B]0;x\\x07\\x9D\u20AC]: deleted by Delete "
              "Events, Source + Destination row 2: ALL + KQED\n"
              "5 events read: 0 skipped, 3 deleted, 2 written; 0 lines ignored "
              "(fewer than 18 fields)\n"
              "Rules that hit events:\n"
              "  Delete Events, Call Letters + C.O.# row 3: WABC-HD + 9999: 1 event\n"
              "  Delete Events, Source + Destination row 2: ALL + KQED: 2 events\n"
              "  Change Call Letters row 5: 1 event\n"
              "  Change CO#'s, Program Description row 7: 1 event\n"
              "Rules that hit no event:\n"
              "  Delete Events, Delete All Digital\n");
}

// The names are the section and first key of each rule's entry in SK.ini (the others are in the
// JSON lines above).
TEST(RuleAudit, RuleNamesAreTheSectionAndFirstKeyOfTheirEntryInSettings) {
    using F = RuleFamily;
    const std::pair<RuleId, const char*> cases[] = {
        {{F::DeleteSource, 24}, "Delete/Source_24"},
        {{F::ChangeCOFromDescription, 4}, "Change_CO_From_Description/Program_Description_4"},
        {{F::DeleteAllHD, 0}, "Delete/All_HD"},
        {{F::DeleteAllSD, 0}, "Delete/All_SD"},
        {{F::DeleteAllNonDigital, 0}, "Delete/All_Non_Digital"},
    };
    for (const auto& [rule, name] : cases) {
        EXPECT_EQ(RuleName(rule), name);
    }
}

}  // namespace
}  // namespace skedora
