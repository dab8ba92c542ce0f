#pragma once

#include <filesystem>
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

/** A dBASE III table with the thirteen schedule columns, one row per event. */
void WriteDbfSchedule(const std::filesystem::path& path, const std::vector<TestEvent>& events);

/** The lines of a file, CR LF ends removed; fails the test on a line without CR. */
std::vector<std::string> FileLines(const std::filesystem::path& path);

}  // namespace skedora::test
