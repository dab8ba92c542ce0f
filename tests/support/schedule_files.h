#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

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
    int decimals = 0;
};

/**
 * A dBASE III table's bytes. Cells are the stored texts: N and F right-aligned, the others
 * left-aligned, blank-padded to the column's width. Rows numbered in deleted are marked deleted.
 */
std::string DbfBytes(const std::vector<DbfColumn>& columns,
                     const std::vector<std::vector<std::string>>& rows,
                     const std::set<int>& deleted = {});
/** A table with the thirteen schedule columns, one row per event. */
void WriteDbfSchedule(const std::filesystem::path& path, const std::vector<TestEvent>& events);

/** The lines of a file, CR LF ends removed; a last line without CR LF is marked. */
std::vector<std::string> FileLines(const std::filesystem::path& path);

}  // namespace skedora::test
