#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/pass_observer.h"
#include "engine/rule_trace.h"
#include "model/job_counts.h"
#include "model/rule_set.h"
#include "model/schedule_record.h"

namespace skedora {

enum class AuditOutcome { Skipped, Deleted, Written };

/** One field a rule entry assigned: the value just before the entry and just after it. */
struct AuditChange {
    RuleId rule;
    EventField field = EventField::CO;
    std::string before;
    std::string after;

    bool operator==(const AuditChange&) const = default;
};

/** What the pass did to one event of the table. */
struct AuditEvent {
    int record = 0;
    AuditOutcome outcome = AuditOutcome::Skipped;
    /** The event as read; empty for a skipped event. */
    ScheduleRecord input;
    /** For a deleted event: the first delete rule that removes it. */
    RuleId deletedBy;
    /** For a written event: the changes in the order applied, and its CP2 line without CR LF. */
    std::vector<AuditChange> changes;
    std::string line;
};

/**
 * Why every event of a conversion went the way it did. The pass tells it what happened to each
 * event, and the rules, given it as their trace, tell it which rule did what in between.
 */
class RuleAudit : public PassObserver, public RuleTrace {
  public:
    /** The rules the pass runs under: for their texts and for the entries that hit nothing. */
    explicit RuleAudit(RuleSet rules);

    /** The CSV lines of the schedule that were not events. */
    void SetIgnoredLines(int lines) { m_counts.ignoredLines = lines; }
    /** Room for the events of a table of count events, taken before the pass. */
    void ReserveEvents(int count) { m_events.reserve(static_cast<std::size_t>(count)); }

    void EventSkipped(int record) override;
    void EventRead(int record, const ScheduleRecord& event) override;
    void EventDeleted(int record, const ScheduleRecord& event) override;
    void EventWritten(int record, int outputCount, const ScheduleRecord& event,
                      std::string_view line) override;
    void Deleted(const RuleId& rule) override;
    void Changed(const RuleId& rule, EventField field, std::string_view before,
                 std::string_view after) override;

    const std::vector<AuditEvent>& Events() const { return m_events; }
    const JobCounts& Counts() const { return m_counts; }
    const RuleSet& Rules() const { return m_rules; }
    /** Every rule that deleted or changed events, with the number of events, in rule order. */
    std::vector<std::pair<RuleId, int>> RuleHits() const;
    /** The entries that hold a rule (a text not blank, a switch on) and hit no event. */
    std::vector<RuleId> UnusedRules() const;

  private:
    void Finish(AuditOutcome outcome);

    RuleSet m_rules;
    std::vector<AuditEvent> m_events;
    AuditEvent m_current;
    bool m_reading = false;
    JobCounts m_counts;
    std::vector<int> m_hits;
};

/** The event as written: the event as read with the listed changes applied in order. */
ScheduleRecord WrittenEvent(const AuditEvent& event);

/** The rule by its SK.ini section and the first key of its entry: "Delete/Call_Letter_3". */
std::string RuleName(const RuleId& rule);
/** The rule in the words of its settings dialog, with its texts for the delete entries. */
std::string RuleCaption(const RuleId& rule, const RuleSet& rules);
/** The CP2 column of the field: "tochnm_hd", "fchnm_hd", "co", "on_time" or "off_time". */
std::string_view FieldColumnName(EventField field);
/** The bytes as a JSON string: read as Windows-1252, in UTF-8, quoted and escaped. */
std::string JsonString(std::string_view bytes);

/** One JSON object per event, then the summary, each on its own line. */
void WriteAuditJsonLines(const RuleAudit& audit, std::ostream& out);
/** For people: a line per deleted or changed event, then the counts and the unused rules. */
void WriteAuditText(const RuleAudit& audit, std::ostream& out);

}  // namespace skedora
