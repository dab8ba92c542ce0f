#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "model/error.h"
#include "model/event_table.h"
#include "os/file_identity.h"

namespace skedora {

/**
 * Reads the dBASE table fileName in folder (a folder text ending with its separator) into the
 * table, which the caller has emptied, row by row.
 * Only a regular file is read (75 otherwise); a stop request ends the read with 75, "read
 * interrupted". When read is given it receives the file's identity as the read began and
 * whether the file changed before it ended.
 */
MaybeError ReadDbaseSchedule(const std::string& folder, const std::string& fileName,
                             EventTable& table, SourceIdentity* read = nullptr,
                             const std::atomic<bool>* stopRequested = nullptr);

/** The same for the table fileName from a stream open for reading, which it closes. */
MaybeError ReadDbaseScheduleFrom(std::FILE* file, const std::string& fileName, EventTable& table);

}  // namespace skedora
