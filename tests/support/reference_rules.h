#pragma once

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rule_trace.h"
#include "model/rule_set.h"
#include "model/schedule_record.h"

namespace skedora::test {

/** One field an entry assigned, as a trace reports it. */
struct FieldChange {
    RuleId rule;
    EventField field = EventField::CO;
    std::string before;
    std::string after;

    bool operator==(const FieldChange&) const = default;
};

// The rules read literally from the RuleSet, entry by entry: what the prepared rules must match.
/** The first delete rule that removes the event, in the order the rules are tried. */
std::optional<RuleId> ReferenceDeleteRule(const ScheduleRecord& event, const RuleSet& rules);
/** Applies the change rules in place; one item per entry and field the entry assigned. */
std::vector<FieldChange> ReferenceApplyChanges(ScheduleRecord& event, const RuleSet& rules);

/** A trace that keeps everything it hears. */
class RecordingTrace : public RuleTrace {
  public:
    void Deleted(const RuleId& rule) override { deleted.push_back(rule); }
    void Changed(const RuleId& rule, EventField field, std::string_view before,
                 std::string_view after) override {
        changes.push_back({rule, field, std::string(before), std::string(after)});
    }

    std::vector<RuleId> deleted;
    std::vector<FieldChange> changes;
};

/** A few texts one random round is made of, so they often meet; now and then nothing. */
std::function<std::string()> RandomWords(std::mt19937& random);
/** Every change entry filled from words; one delete entry in deleteEvery, and a few switches. */
RuleSet RandomRules(std::mt19937& random, const std::function<std::string()>& word,
                    unsigned deleteEvery);
/** An event on day 3 from 10:00 to 11:30 between the call letters, with the CO and program. */
ScheduleRecord Event(std::string to, std::string from, std::string co, std::string pgm = "NEWS");

}  // namespace skedora::test
