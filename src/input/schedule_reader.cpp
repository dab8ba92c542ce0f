#include "input/schedule_reader.h"

#include "input/csv_reader.h"
#include "input/dbase_reader.h"
#include "model/text.h"

namespace skedora {

std::optional<ScheduleKind> ScheduleKindOf(std::string_view path) {
    const std::string kind = UpperCase1252(path.size() >= 3 ? path.substr(path.size() - 3) : path);
    if (kind == "DBF") {
        return ScheduleKind::Dbase;
    }
    if (kind == "CSV") {
        return ScheduleKind::Csv;
    }
    return std::nullopt;
}

MaybeError ReadSchedule(ScheduleKind kind, const std::string& path, const std::string& name,
                        EventTable& table, SourceIdentity* read,
                        const std::atomic<bool>* stopRequested) {
    table.ResetEventTable();
    if (kind == ScheduleKind::Csv) {
        return ReadCsvSchedule(path, table, read, stopRequested);
    }
    // The folder is the path without the bare name at its end, separator kept.
    std::string folder;
    if (EndsWith(path, name)) {
        folder = path.substr(0, path.size() - name.size());
    } else if (const auto at = path.find(name); at != std::string::npos) {
        folder = path.substr(0, at);
    }
    return ReadDbaseSchedule(folder, name, table, read, stopRequested);
}

}  // namespace skedora
