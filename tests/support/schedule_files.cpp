#include "support/schedule_files.h"

#include "engine/cp2_line.h"
#include "support/temp_dir.h"

namespace skedora::test {

std::string CsvSchedule(const std::vector<TestEvent>& events) {
    std::string text = std::string(CsvHeaderText()) + "\r\n";
    int day = 1;
    for (const auto& e : events) {
        text += std::to_string(day++) + ",03/05/2024,TUE,10:00:00,11:00:00," + e.pgm + ",,,,,7," +
                e.tochnm_hd + ",5," + e.fchnm_hd + "," + e.co + ",SYS,,\r\n";
    }
    return text;
}

void WriteCsvSchedule(const std::filesystem::path& path, const std::vector<TestEvent>& events) {
    WriteFile(path, CsvSchedule(events));
}

std::string DbfBytes(const std::vector<DbfColumn>& columns,
                     const std::vector<std::vector<std::string>>& rows,
                     const std::set<int>& deleted) {
    std::string bytes(32 + 32 * columns.size() + 1, '\0');
    std::size_t recordLength = 1;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        bytes.replace(32 + 32 * i, columns[i].name.size(), columns[i].name);
        bytes[32 + 32 * i + 11] = columns[i].type;
        bytes[32 + 32 * i + 16] = static_cast<char>(columns[i].width);
        recordLength += static_cast<std::size_t>(columns[i].width);
    }
    const auto put = [&](std::size_t at, std::size_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
        }
    };
    put(0, 0x03, 1);      // dBASE III
    put(1, 0x05037C, 3);  // last changed 2024-03-05
    put(4, rows.size(), 4);
    put(8, bytes.size(), 2);
    put(10, recordLength, 2);
    bytes.back() = 0x0D;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        bytes += deleted.contains(static_cast<int>(r)) ? '*' : ' ';
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const std::string cell =
                rows[r][i].substr(0, static_cast<std::size_t>(columns[i].width));
            const std::string pad(static_cast<std::size_t>(columns[i].width) - cell.size(), ' ');
            bytes += columns[i].type == 'N' || columns[i].type == 'F' ? pad + cell : cell + pad;
        }
    }
    return bytes + '\x1A';
}

void WriteDbfSchedule(const std::filesystem::path& path, const std::vector<TestEvent>& events) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& e : events) {
        rows.push_back({std::to_string(rows.size() + 1), "03/05/2024", "TUE", "10:00:00",
                        "11:00:00", e.pgm, "", "7", e.tochnm_hd, "5", e.fchnm_hd, e.co, "SYS"});
    }
    const std::vector<DbfColumn> columns = {
        {"DAY", 'N', 4},        {"CUR_DATE", 'C', 10}, {"WEEK_DAY", 'C', 3},  {"ON_TIME", 'C', 8},
        {"OFF_TIME", 'C', 8},   {"PGM", 'C', 30},      {"MON_BEG", 'C', 4},   {"TOCH", 'N', 5},
        {"TOCHNM_HD", 'C', 10}, {"FCH", 'N', 5},       {"FCHNM_HD", 'C', 10}, {"CO", 'C', 6},
        {"SYSTEMNAM", 'C', 10}};
    WriteFile(path, DbfBytes(columns, rows));
}

std::vector<std::string> FileLines(const std::filesystem::path& path) {
    const std::string bytes = ReadFile(path);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
        end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

}  // namespace skedora::test
