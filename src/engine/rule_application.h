#pragma once

#include <memory>

#include "model/schedule_record.h"
#include "settings/rule_set.h"

namespace skedora {

/** True when a delete rule matches the event as read. Changes nothing. */
bool IsDeletedByRules(const ScheduleRecord& event, const RuleSet& rules);

/** Applies the change rules to the event in place, family by family, changes chaining. */
void ApplyChangeRules(ScheduleRecord& event, const RuleSet& rules);

/**
 * A copy of the rules with every text key and number worked out once, for converting many
 * events with rules that do not change meanwhile. The results are exactly those of the RuleSet
 * forms above; a change to the rules needs a new PreparedRules.
 */
class PreparedRules {
  public:
    explicit PreparedRules(const RuleSet& rules);
    ~PreparedRules();
    PreparedRules(PreparedRules&&) noexcept;
    PreparedRules& operator=(PreparedRules&&) noexcept;

    struct Lists;
    const Lists& lists() const { return *m_lists; }

  private:
    std::unique_ptr<Lists> m_lists;
};

bool IsDeletedByRules(const ScheduleRecord& event, const PreparedRules& rules);
void ApplyChangeRules(ScheduleRecord& event, const PreparedRules& rules);

}  // namespace skedora
