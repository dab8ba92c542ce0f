#pragma once

#include <atomic>
#include <cstdio>
#include <string>

#include "model/error.h"
#include "os/file_identity.h"

namespace skedora {

/**
 * Opens a schedule file for reading. Only a regular file is taken: a FIFO, a device or a folder
 * would block the read or never end it, and is refused with 75 naming what it is; a missing
 * file is 53. The identity is taken from the open file before any of it is read.
 */
MaybeError OpenScheduleFile(const std::string& path, std::FILE*& file, FileIdentity& identity);

/** Tells read (when given) which file a finished read read and whether it changed meanwhile. */
void RecordRead(std::FILE* file, const FileIdentity& atStart, SourceIdentity* read);

/** True once a stop has been asked for. */
inline bool IsStopRequested(const std::atomic<bool>* stopRequested) {
    return stopRequested != nullptr && stopRequested->load(std::memory_order_relaxed);
}

/** The error of a read ended by a stop request: 75, "<name>: read interrupted". */
Error ReadInterrupted(const std::string& name);

}  // namespace skedora
