#include "cli/explain_command.h"

#include <iostream>

#include "app/ignored_lines.h"
#include "app/rule_audit.h"
#include "app/schedule_audit.h"
#include "cli/commands.h"

namespace skedora::cli {

int RunExplain(const ExplainOptions& options) {
    // The rules as a conversion loads them, the older settings file imported when needed.
    HeadlessPorts ports;
    JobObserver quiet;
    Application app(options.home, ports.For(quiet));
    if (const auto error = app.StartUp()) {
        std::cerr << ErrorBoxText(*error) << std::endl;
        return kExitFailure;
    }

    RuleAudit audit(app.Rules());
    const std::string name = std::filesystem::path(options.schedule).filename().string();
    if (const auto error = AuditSchedule(app.Rules(), options.schedule, name, audit)) {
        std::cerr << ErrorBoxText(*error) << std::endl;
        return kExitFailure;
    }
    if (options.format == "jsonl") {
        WriteAuditJsonLines(audit, std::cout);
    } else {
        WriteAuditText(audit, std::cout);
    }
    std::cout.flush();
    PrintIgnoredLinesWarning(options.schedule, audit.Counts().ignoredLines);
    return std::cout ? kExitSuccess : kExitFailure;
}

}  // namespace skedora::cli
