#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "model/schedule_record.h"

namespace skedora::test {

/** The fields of a test event that rules and the status frames look at. */
struct TestEvent {
    std::string tochnm_hd = "WABC";
    std::string fchnm_hd = "WXYZ";
    std::string co = "12";
    std::string pgm = "News";
};

/** A CSV schedule: the header line and one CR LF line per event. */
std::string CsvSchedule(const std::vector<TestEvent>& events);
void WriteCsvSchedule(const std::filesystem::path& path, const std::vector<TestEvent>& events);

struct DbfColumn {
    std::string name;
    char type;
    int width;
};

/** A dBASE III table of the cells as stored (N and F right-aligned); deleted numbers rows. */
std::string DbfBytes(const std::vector<DbfColumn>& columns,
                     const std::vector<std::vector<std::string>>& rows,
                     const std::set<int>& deleted = {});
/** A table with the thirteen schedule columns, one row per event. */
void WriteDbfSchedule(const std::filesystem::path& path, const std::vector<TestEvent>& events);

/** The lines of a file, CR LF ends removed; a last line without CR LF is marked. */
std::vector<std::string> FileLines(const std::filesystem::path& path);

}  // namespace skedora::test
