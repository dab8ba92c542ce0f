#include "app/chosen_file_check.h"

#include "input/output_naming.h"

namespace skedora {

ChosenFileCheck ValidateChosenFile(const std::string& path, const std::string& name,
                                   const std::optional<std::string>& outputPath) {
    ChosenFileCheck check;
    const auto output = outputPath ? outputPath : ManualOutputPath(path, name);
    if (!output) {
        check.error = errors::InvalidCall();
        return check;
    }
    check.output = *output;
    const auto kind = ScheduleKindOf(path);
    if (!kind) {
        check.error = errors::InvalidCall(kOnlyScheduleFilesText);
        return check;
    }
    check.kind = *kind;
    return check;
}

}  // namespace skedora
