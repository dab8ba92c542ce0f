#include "app/rule_audit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/schedule_audit.h"
#include "engine/conversion_pass.h"
#include "engine/cp2_line.h"
#include "engine/prepared_rules.h"
#include "input/schedule_reader.h"
#include "model/event_table.h"
#include "model/text.h"
#include "settings/settings_layout.h"
#include "support/reference_rules.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

constexpr std::string_view kTitle = "WEEK1.CSV";

/**
 * What the conversion pass does per event, telling the observer and handing the rules the
 * trace: the lines it would write.
 */
std::vector<std::string> RunPass(EventTable& table, const PreparedRules& rules,
                                 PassObserver& observer, RuleTrace* trace) {
    std::vector<std::string> lines;
    for (int record = 1; record <= table.Count(); ++record) {
        ScheduleRecord& event = table[record];
        if (TrimSpaces(event.fchnm_hd).empty()) {
            observer.EventSkipped(record);
            continue;
        }
        observer.EventRead(record, event);
        if (rules.IsDeleted(event, trace)) {
            observer.EventDeleted(record, event);
            continue;
        }
        rules.ApplyChanges(event, trace);
        lines.push_back(FormatEventLine(event, kTitle));
        observer.EventWritten(record, static_cast<int>(lines.size()), event, lines.back());
    }
    return lines;
}

/** The audit of a pass over a copy of the table. */
RuleAudit Audit(EventTable table, const RuleSet& rules) {
    RuleAudit audit(rules);
    audit.SetIgnoredLines(table.IgnoredLines);
    RunPass(table, PreparedRules(rules), audit, &audit);
    return audit;
}

ScheduleRecord Event(std::string to, std::string from, std::string co, std::string pgm) {
    ScheduleRecord event;
    event.day = 3;
    event.on_time = "10:00:00";
    event.off_time = "11:30:00";
    event.tochnm_hd = std::move(to);
    event.fchnm_hd = std::move(from);
    event.co = std::move(co);
    event.pgm = std::move(pgm);
    return event;
}

/**
 * A few texts the rules and events of one round are made of, so that they often meet: a
 * function that gives one of them, or now and then nothing.
 */
std::function<std::string()> RandomWords(std::mt19937& random) {
    static constexpr const char* kTexts[] = {
        "",     " ",    "WABC", " wabc ", "WABC-HD", "ALL",  "D123", "5",        "05",
        "9999", "0",    "abc",  "7",      "NEWS",    "news", "12a",  "00:30:00", "10:00:00",
        "-HD",  "KQED", "\xE9", "x\"y",   "1e1",     "W-HD", "d5"};
    std::vector<std::string> words;
    for (int count = 3 + static_cast<int>(random() % 8); count > 0; --count) {
        words.emplace_back(kTexts[random() % std::size(kTexts)]);
    }
    return [&random, words] {
        return random() % 4 == 0 ? std::string() : words[random() % words.size()];
    };
}

/** Every change entry filled from words, a few delete entries and switches. */
RuleSet RandomRules(std::mt19937& random, const std::function<std::string()>& word) {
    RuleSet rules;
    for (int n = 1; n <= 64; ++n) {
        // Few delete entries, so that most events live on to meet the change rules.
        if (random() % 12 == 0) {
            rules.DeleteCallLetterRules[n] = {word(), word()};
        }
        if (random() % 12 == 0) {
            rules.DeleteSourceDestinationRules[1 + n % 48] = {word(), word()};
        }
        rules.ChangeCallLetterRules[1 + n % 24] = {word(), word(), word()};
        rules.ChangeCOFromCallLetterRules[1 + n % 24] = {word(), word(), word()};
        rules.ChangeCOFromDescriptionRules[1 + n % 24] = {word(), word(), word()};
        rules.ChangeTimeRules[1 + n % 8] = {
            word(), word(), word(), word(), static_cast<std::int16_t>(random() % 6), word()};
    }
    rules.DeleteAllFlags = {random() % 10 == 0, random() % 10 == 0, random() % 10 == 0,
                            random() % 10 == 0};
    return rules;
}

TEST(RuleAudit, AgreesWithTheConversionOnRandomSchedulesAndRules) {
    std::mt19937 random(12);
    for (int round = 0; round < 60; ++round) {
        const auto word = RandomWords(random);
        const RuleSet rules = RandomRules(random, word);
        EventTable table;
        for (int i = 0; i < 80; ++i) {
            ScheduleRecord& event = table.Append();
            event = Event(word() + word(), word(), word(), word());
            event.on_time = word();
            event.U2 = word();
        }

        EventTable converted = table;
        PassObserver nothing;
        const std::vector<std::string> output =
            RunPass(converted, PreparedRules(rules), nothing, nullptr);
        const RuleAudit audit = Audit(table, rules);

        ASSERT_EQ(audit.Events().size(), static_cast<std::size_t>(table.Count()));
        std::vector<std::string> written;
        std::map<int, int> hits;
        for (const AuditEvent& e : audit.Events()) {
            ScheduleRecord event = table[e.record];
            SCOPED_TRACE("round " + std::to_string(round) + " record " + std::to_string(e.record));
            ASSERT_EQ(e.outcome == AuditOutcome::Skipped, TrimSpaces(event.fchnm_hd).empty());
            if (e.outcome == AuditOutcome::Skipped) {
                continue;
            }
            EXPECT_EQ(e.input, event);
            const std::optional<RuleId> first = test::ReferenceDeleteRule(event, rules);
            ASSERT_EQ(e.outcome == AuditOutcome::Deleted, first.has_value());
            if (first) {
                EXPECT_EQ(e.deletedBy, *first);
                ++hits[static_cast<int>(first->family) * 100 + first->entry];
                continue;
            }
            // The listed changes, applied to the event as read, give the event as written.
            for (std::size_t i = 0; i < e.changes.size(); ++i) {
                std::string& field = test::FieldOf(event, e.changes[i].field);
                EXPECT_EQ(field, e.changes[i].before);
                field = e.changes[i].after;
                if (i == 0 || !(e.changes[i].rule == e.changes[i - 1].rule)) {
                    ++hits[static_cast<int>(e.changes[i].rule.family) * 100 +
                           e.changes[i].rule.entry];
                }
            }
            EXPECT_EQ(event, converted[e.record]);
            EXPECT_EQ(WrittenEvent(e), event);
            EXPECT_EQ(FormatEventLine(event, kTitle), e.line);
            written.push_back(e.line);
        }
        EXPECT_EQ(written, output);

        const AuditCounts& counts = audit.Counts();
        EXPECT_EQ(counts.read, table.Count());
        EXPECT_EQ(counts.read, counts.skipped + counts.deleted + counts.written);
        EXPECT_EQ(counts.written, static_cast<int>(output.size()));
        std::map<int, int> reported;
        for (const auto& [rule, count] : audit.RuleHits()) {
            reported[static_cast<int>(rule.family) * 100 + rule.entry] = count;
        }
        EXPECT_EQ(reported, hits);
        for (const RuleId& rule : audit.UnusedRules()) {
            EXPECT_FALSE(hits.contains(static_cast<int>(rule.family) * 100 + rule.entry));
        }
    }
}

/** Where the conversion put each event: the records it deleted and wrote. */
struct ConversionRecords : PassObserver {
    void EventDeleted(int record, const ScheduleRecord&) override { deleted.push_back(record); }
    void EventWritten(int record, int, const ScheduleRecord&, std::string_view) override {
        written.push_back(record);
    }
    std::vector<int> deleted, written;
};

TEST(RuleAudit, ReadFromTheFileItAgreesWithTheConvertedOutput) {
    test::TempDir dir;
    std::mt19937 random(34);
    int deletedEvents = 0;
    int changedEvents = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const auto word = RandomWords(random);
        const RuleSet rules = RandomRules(random, word);
        std::vector<test::TestEvent> events(40);
        for (test::TestEvent& e : events) {
            e = {word() + word(), word(), word(), word()};
        }
        const bool dbase = round % 2 == 1;
        const std::string name = dbase ? "WEEK1.DBF" : "WEEK1.CSV";
        const auto input = dir.file(name);
        dbase ? test::WriteDbfSchedule(input, events) : test::WriteCsvSchedule(input, events);

        RuleAudit audit(rules);
        ASSERT_FALSE(AuditSchedule(rules, input.string(), name, audit));

        const auto output = dir.file("WEEK1.CP2");
        ConversionRecords converted;
        auto pass = std::make_unique<ConversionPass>(rules, converted);
        ASSERT_FALSE(ReadSchedule(dbase ? ScheduleKind::Dbase : ScheduleKind::Csv, input.string(),
                                  name, pass->Job().Events));
        ASSERT_FALSE(pass->Begin(name, output.string()));
        while (pass->IsRunning()) {
            pass->RunBurst(std::chrono::seconds(1));
        }
        ASSERT_FALSE(pass->Result().failure);
        std::vector<std::string> outputLines = test::FileLines(output);
        ASSERT_FALSE(outputLines.empty());
        outputLines.erase(outputLines.begin());  // the column names

        std::vector<int> deleted, written;
        std::vector<std::string> lines;
        for (const AuditEvent& e : audit.Events()) {
            if (e.outcome == AuditOutcome::Deleted) {
                deleted.push_back(e.record);
                ++deletedEvents;
                EXPECT_TRUE(e.changes.empty());
            } else if (e.outcome == AuditOutcome::Written) {
                written.push_back(e.record);
                lines.push_back(e.line);
                changedEvents += e.changes.empty() ? 0 : 1;
                // The listed changes, applied in order to the event as read, give the line.
                EXPECT_EQ(FormatEventLine(WrittenEvent(e), name), e.line) << e.record;
            }
        }
        EXPECT_EQ(deleted, converted.deleted);
        EXPECT_EQ(written, converted.written);
        EXPECT_EQ(lines, outputLines);
        EXPECT_EQ(audit.Counts().read, pass->Result().read);
        EXPECT_EQ(audit.Counts().skipped, pass->Result().skipped);
    }
    // The rounds reach both kinds of rule, or the comparison above proves little.
    EXPECT_GT(deletedEvents, 20);
    EXPECT_GT(changedEvents, 100);
}

TEST(RuleAudit, JsonLinesEscapeControlBytesAndReadBytesAsWindows1252) {
    EXPECT_EQ(JsonString("a\"b\\c\x01\x1F\t\r\n\b\f\x7F"),
              "\"a\\\"b\\\\c\\u0001\\u001f\\t\\r\\n\\b\\f\x7F\"");
    // The euro sign, the five undefined bytes, the last one, e acute and y diaeresis.
    EXPECT_EQ(JsonString("\x80\x81\x8D\x8F\x90\x9D\x9F\xE9\xFF"),
              "\"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00E9\u00FF\"");

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
    table.Append() = Event("WABC", "WXYZ-HD", "5", "caf\xE9");
    table.Append() = Event("W", "KQED", "5", "NEWS");
    table.Append() = Event("WXYZ-HD", "W-HD", "1", "NEWS");
    table.Append() = Event("W", "KQED", "5", "\x1B]0;x\x07\x9D\x80");  // terminal controls
    std::ostringstream out;
    WriteAuditText(Audit(table, rules), out);
    EXPECT_EQ(out.str(),
              "Record 1 [To WABC-HD, From WXYZ-HD, CO 12, NEWS]: deleted by Delete Events, "
              "Call Letters + C.O.# row 3: WABC-HD + 9999\n"
              "Record 2 [To WABC, From WXYZ-HD, CO 5, caf\u00E9]: Call Letters (To) WABC -> "
              "WABC-HD by Change Call Letters row 5; CO # 5 -> 6 by Change CO#'s, "
              "Program Description row 7\n"
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

/** Finds the SK.ini key that holds a given RuleSet member. */
struct KeyFinder {
    const void* member;
    std::string found;
    void Text(const char* section, const std::string& key, const std::string& text) {
        if (&text == member) {
            found = std::string(section) + "/" + key;
        }
    }
    void Flag(const char* section, const std::string& key, const bool& flag, bool) {
        if (&flag == member) {
            found = std::string(section) + "/" + key;
        }
    }
    void Math(const char*, const std::string&, const std::int16_t&) {}
    void Folder(const char*, const std::string&, const std::string&, const std::string&) {}
};

TEST(RuleAudit, RuleNamesAreTheSectionAndFirstKeyOfTheirEntryInSettings) {
    const RuleSet rules;
    const auto keyOf = [&](const void* member) {
        KeyFinder finder{member, {}};
        VisitSettingsKeys(rules, finder, "/");
        return finder.found;
    };
    using F = RuleFamily;
    for (int n : {1, 24}) {
        EXPECT_EQ(RuleName({F::DeleteSource, n}),
                  keyOf(&rules.DeleteSourceDestinationRules[n].Source));
        EXPECT_EQ(RuleName({F::ChangeCallLetter, n}),
                  keyOf(&rules.ChangeCallLetterRules[n].OldCallLetter));
        EXPECT_EQ(RuleName({F::ChangeCOFromCallLetter, n}),
                  keyOf(&rules.ChangeCOFromCallLetterRules[n].CallLetter));
        EXPECT_EQ(RuleName({F::ChangeCOFromDescription, n}),
                  keyOf(&rules.ChangeCOFromDescriptionRules[n].ProgramDescription));
    }
    for (int n : {1, 64}) {
        EXPECT_EQ(RuleName({F::DeleteCallLetter, n}),
                  keyOf(&rules.DeleteCallLetterRules[n].CallLetter));
    }
    for (int n : {1, 8}) {
        EXPECT_EQ(RuleName({F::ChangeTime, n}), keyOf(&rules.ChangeTimeRules[n].Source));
    }
    const DeleteAllFlagsGroup& flags = rules.DeleteAllFlags;
    EXPECT_EQ(RuleName({F::DeleteAllHD, 0}), keyOf(&flags.AllHD));
    EXPECT_EQ(RuleName({F::DeleteAllSD, 0}), keyOf(&flags.AllSD));
    EXPECT_EQ(RuleName({F::DeleteAllDigital, 0}), keyOf(&flags.AllDigital));
    EXPECT_EQ(RuleName({F::DeleteAllNonDigital, 0}), keyOf(&flags.AllNonDigital));
}

}  // namespace
}  // namespace skedora
