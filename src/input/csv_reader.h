#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>

#include "model/error.h"
#include "model/event_table.h"
#include "os/file_identity.h"

namespace skedora {

/** hh:mm:ss from the short forms, chosen by the text's length alone (4, 5 or 7 characters). */
std::string NormalizeTimeText(std::string_view text);

/**
 * Appends one event per accepted data line of the CSV file to the table, which the caller has
 * reset. Fails when the file is missing (53), cannot be opened or is no regular file (75),
 * holds more events than the table can take (6) or a stop was asked for (75, "read
 * interrupted"); the table may then hold the rows read so far. When read is given it receives
 * the file's identity as the read began and whether the file changed before it ended.
 */
MaybeError ReadCsvSchedule(const std::string& path, EventTable& table,
                           SourceIdentity* read = nullptr,
                           const std::atomic<bool>* stopRequested = nullptr);

/**
 * The same from a stream already open for reading, read readSize bytes at a time (lines may
 * span reads); path names the file in errors. A stop request is seen between reads.
 */
MaybeError ReadCsvScheduleFrom(std::FILE* file, const std::string& path, EventTable& table,
                               std::size_t readSize = 64 * 1024,
                               const std::atomic<bool>* stopRequested = nullptr);

}  // namespace skedora
