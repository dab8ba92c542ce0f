#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "model/error.h"
#include "model/event_table.h"
#include "os/file_identity.h"

namespace skedora {

enum class ScheduleKind { Dbase, Csv };

/** The kind a schedule file's name says by its last three letters (DBF, CSV; any case). */
std::optional<ScheduleKind> ScheduleKindOf(std::string_view path);

/**
 * Empties the table, then reads the schedule at path, whose bare file name is name, into it.
 * A dBASE table is opened as name in the folder that path names before it. Only a regular file
 * is read; read receives which file that was; a stop request ends the read with an error.
 */
MaybeError ReadSchedule(ScheduleKind kind, const std::string& path, const std::string& name,
                        EventTable& table, SourceIdentity* read = nullptr,
                        const std::atomic<bool>* stopRequested = nullptr);

}  // namespace skedora
