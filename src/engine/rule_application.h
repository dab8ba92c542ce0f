#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "model/schedule_record.h"
#include "model/rule_set.h"

namespace skedora {

/** True when a delete rule matches the event as read. Changes nothing. */
bool IsDeletedByRules(const ScheduleRecord& event, const RuleSet& rules);

/** Applies the change rules to the event in place, family by family, changes chaining. */
void ApplyChangeRules(ScheduleRecord& event, const RuleSet& rules);

/** True when one of the set delete switches fits the To or the From call letters (as keys). */
bool MatchesDeleteAllFlags(const DeleteAllFlagsGroup& flags, std::string_view toKey,
                           std::string_view fromKey);

/** A Change Time rule's operation: math 0 to 3 moves the start or the end; others do nothing. */
void ApplyTimeChange(ScheduleRecord& event, std::int16_t math, std::string_view amount);

/**
 * The rules turned into lookup tables once, for converting many events under rules that do not
 * change meanwhile: every text key and CO value that the rules hold is numbered, so an event
 * looks up the few entries that can match it instead of testing every one. The results are
 * exactly those of IsDeletedByRules and ApplyChangeRules over the RuleSet; a change to the
 * rules needs a new PreparedRules.
 */
class PreparedRules {
  public:
    explicit PreparedRules(const RuleSet& rules);
    ~PreparedRules();
    PreparedRules(PreparedRules&&) noexcept;
    PreparedRules& operator=(PreparedRules&&) noexcept;

    bool IsDeleted(const ScheduleRecord& event) const;
    void ApplyChanges(ScheduleRecord& event) const;

  private:
    struct Tables;
    std::unique_ptr<const Tables> m_tables;
};

inline bool IsDeletedByRules(const ScheduleRecord& event, const PreparedRules& rules) {
    return rules.IsDeleted(event);
}

inline void ApplyChangeRules(ScheduleRecord& event, const PreparedRules& rules) {
    rules.ApplyChanges(event);
}

}  // namespace skedora
