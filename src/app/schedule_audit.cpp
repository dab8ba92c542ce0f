#include "app/schedule_audit.h"

#include <chrono>
#include <memory>
#include <optional>

#include "app/chosen_file_check.h"
#include "engine/conversion_pass.h"
#include "input/schedule_reader.h"

namespace skedora {

MaybeError AuditSchedule(const RuleSet& rules, const std::string& path, const std::string& name,
                         RuleAudit& audit) {
    const ChosenFileCheck check = ValidateChosenFile(path, name);
    if (check.error) {
        return check.error;
    }
    // The pass holds a whole event table: kept off the stack.
    auto pass = std::make_unique<ConversionPass>(rules, audit);
    pass->SetRuleTrace(&audit);
    if (auto error = ReadSchedule(check.kind, path, name, pass->Job().Events)) {
        return error;
    }
    audit.SetIgnoredLines(pass->Job().Events.IgnoredLines);
    audit.ReserveEvents(pass->Job().Events.Count());
    if (auto error = pass->Begin(name, std::nullopt)) {
        return error;
    }
    while (pass->IsRunning()) {
        pass->RunBurst(std::chrono::seconds(1));
    }
    return pass->Result().failure;
}

}  // namespace skedora
