#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "model/error.h"
#include "model/event_table.h"

namespace skedora {

/** hh:mm:ss from the short forms, chosen by the text's length alone (4, 5 or 7 characters). */
std::string NormalizeTimeText(std::string_view text);

/**
 * Appends one event per accepted data line of the CSV file to the table, which the caller has
 * reset. Fails when the file cannot be opened (53, 75) or holds more events than the table
 * can take (6); the table may then hold the rows read so far.
 */
MaybeError ReadCsvSchedule(const std::string& path, EventTable& table);

/**
 * The same from a stream already open for reading, read readSize bytes at a time (lines may
 * span reads); path names the file in errors.
 */
MaybeError ReadCsvScheduleFrom(std::FILE* file, const std::string& path, EventTable& table,
                               std::size_t readSize = 64 * 1024);

}  // namespace skedora
