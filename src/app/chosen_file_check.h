#pragma once

#include <optional>
#include <string>

#include "input/schedule_reader.h"
#include "model/error.h"

namespace skedora {

/** What a file picked by hand is before it is read: its kind and the output it would get. */
struct ChosenFileCheck {
    MaybeError error;
    ScheduleKind kind = ScheduleKind::Dbase;
    std::string output;
};

inline constexpr const char* kOnlyScheduleFilesText =
    "Only .DBF and .CSV schedule files can be converted";

/**
 * The checks of a file picked by hand, in the order a conversion makes them: a name without an
 * extension has no output (invalid call), then only .DBF and .CSV files are schedules. outputPath
 * replaces the output beside the file when given.
 */
ChosenFileCheck ValidateChosenFile(const std::string& path, const std::string& name,
                                   const std::optional<std::string>& outputPath = std::nullopt);

}  // namespace skedora
