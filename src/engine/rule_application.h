#pragma once

#include "model/schedule_record.h"
#include "settings/rule_set.h"

namespace skedora {

/** True when a delete rule matches the event as read. Changes nothing. */
bool IsDeletedByRules(const ScheduleRecord& event, const RuleSet& rules);

/** Applies the change rules to the event in place, family by family, changes chaining. */
void ApplyChangeRules(ScheduleRecord& event, const RuleSet& rules);

}  // namespace skedora
