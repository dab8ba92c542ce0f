#include "support/schedule_files.h"

#include <cstdint>
#include <cstring>

#include "input/csv_reader.h"
#include "support/temp_dir.h"

namespace skedora::test {

std::string CsvSchedule(const std::vector<TestEvent>& events) {
    std::string text(CsvHeaderText());
    text += "\r\n";
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

namespace {
struct DbfColumn {
    const char* name;
    char type;
    int width;
};

constexpr DbfColumn kColumns[] = {
    {"DAY", 'N', 4},        {"CUR_DATE", 'C', 10}, {"WEEK_DAY", 'C', 3},  {"ON_TIME", 'C', 8},
    {"OFF_TIME", 'C', 8},   {"PGM", 'C', 30},      {"MON_BEG", 'C', 4},   {"TOCH", 'N', 5},
    {"TOCHNM_HD", 'C', 10}, {"FCH", 'N', 5},       {"FCHNM_HD", 'C', 10}, {"CO", 'C', 6},
    {"SYSTEMNAM", 'C', 10},
};

void PutLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::string Cell(const std::string& text, const DbfColumn& column) {
    std::string cell = text.substr(0, static_cast<std::size_t>(column.width));
    if (column.type == 'N') {
        return std::string(static_cast<std::size_t>(column.width) - cell.size(), ' ') + cell;
    }
    return cell + std::string(static_cast<std::size_t>(column.width) - cell.size(), ' ');
}
}  // namespace

void WriteDbfSchedule(const std::filesystem::path& path, const std::vector<TestEvent>& events) {
    const std::size_t columnCount = std::size(kColumns);
    const std::size_t headerLength = 32 + 32 * columnCount + 1;
    std::size_t recordLength = 1;
    for (const auto& column : kColumns) {
        recordLength += static_cast<std::size_t>(column.width);
    }
    std::string bytes(headerLength, '\0');
    bytes[0] = 0x03;
    bytes[1] = 124;
    bytes[2] = 3;
    bytes[3] = 5;
    PutLittleEndian(bytes, 4, static_cast<std::uint32_t>(events.size()), 4);
    PutLittleEndian(bytes, 8, static_cast<std::uint32_t>(headerLength), 2);
    PutLittleEndian(bytes, 10, static_cast<std::uint32_t>(recordLength), 2);
    for (std::size_t i = 0; i < columnCount; ++i) {
        const std::size_t at = 32 + 32 * i;
        std::memcpy(&bytes[at], kColumns[i].name, std::strlen(kColumns[i].name));
        bytes[at + 11] = kColumns[i].type;
        bytes[at + 16] = static_cast<char>(kColumns[i].width);
    }
    bytes[headerLength - 1] = 0x0D;
    int day = 1;
    for (const auto& e : events) {
        const std::string values[] = {
            std::to_string(day++), "03/05/2024", "TUE",      "10:00:00", "11:00:00", e.pgm, "", "7",
            e.tochnm_hd,           "5",          e.fchnm_hd, e.co,       "SYS"};
        bytes += ' ';
        for (std::size_t i = 0; i < columnCount; ++i) {
            bytes += Cell(values[i], kColumns[i]);
        }
    }
    bytes += '\x1A';
    WriteFile(path, bytes);
}

std::vector<std::string> FileLines(const std::filesystem::path& path) {
    const std::string bytes = ReadFile(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace skedora::test
