#pragma once

#include <string>
#include <string_view>

#include "model/schedule_record.h"

namespace skedora {

/** The 18 column names: the first line of every CSV schedule and of every CP2 output. */
std::string_view CsvHeaderText();

/** The event's CP2 line without its line end: 18 columns, each followed by a comma. */
std::string FormatEventLine(const ScheduleRecord& event, std::string_view inputFileTitle);

}  // namespace skedora
