#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/local_date_time.h"
#include "model/rule_set.h"

namespace skedora {

/**
 * The output of a file picked by hand: the path with the bare name's extension replaced by
 * ".CP2". None when the name has no extension.
 */
std::optional<std::string> ManualOutputPath(std::string_view path, std::string_view name);

/**
 * The folder automatic outputs go to, with its separator: the output folder, or the watch
 * folder when none is set; empty when neither is.
 */
std::string AutomaticOutputFolder(const AutoLoadSettingsGroup& settings);

/**
 * The output of a watch-folder file: the output folder (the watch folder when none is set), the
 * date and time prefix when it is on, then the bare name with its last three letters replaced
 * by "CP2".
 */
std::optional<std::string> AutomaticOutputPath(const AutoLoadSettingsGroup& settings,
                                               std::string_view name, const LocalDateTime& now);

}  // namespace skedora
