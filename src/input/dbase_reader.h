#pragma once

#include <cstdio>
#include <string>

#include "model/error.h"
#include "model/event_table.h"

namespace skedora {

/**
 * Reads the dBASE table fileName in folder (a folder text ending with its separator) into the
 * table, which the caller has emptied, row by row.
 */
MaybeError ReadDbaseSchedule(const std::string& folder, const std::string& fileName,
                             EventTable& table);

/** The same for the table fileName from a stream open for reading, which it closes. */
MaybeError ReadDbaseScheduleFrom(std::FILE* file, const std::string& fileName, EventTable& table);

}  // namespace skedora
