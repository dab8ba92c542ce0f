#pragma once

#include <string>

#include "app/rule_audit.h"
#include "model/error.h"
#include "model/rule_set.h"

namespace skedora {

/**
 * Runs the conversion pass over the schedule at path (bare name name) under rules with audit as
 * its observer and trace, writing nothing. The schedule is checked and read as a conversion by
 * hand does it, with the same errors.
 */
MaybeError AuditSchedule(const RuleSet& rules, const std::string& path, const std::string& name,
                         RuleAudit& audit);

}  // namespace skedora
