#include "input/dbase_reader.h"

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>

#include "input/dbf_table.h"
#include "input/source_file.h"
#include "model/text.h"

namespace skedora {

namespace {

/** Where each of the first thirteen columns goes: a text field or a 16-bit integer field. */
struct ScheduleColumn {
    std::string ScheduleRecord::*text;
    std::int16_t ScheduleRecord::*number;
};

constexpr ScheduleColumn kScheduleColumns[] = {
    {nullptr, &ScheduleRecord::day},        {&ScheduleRecord::cur_date, nullptr},
    {&ScheduleRecord::week_day, nullptr},   {&ScheduleRecord::on_time, nullptr},
    {&ScheduleRecord::off_time, nullptr},   {&ScheduleRecord::pgm, nullptr},
    {&ScheduleRecord::mon_beg, nullptr},    {nullptr, &ScheduleRecord::toch},
    {&ScheduleRecord::tochnm_hd, nullptr},  {nullptr, &ScheduleRecord::fch},
    {&ScheduleRecord::fchnm_hd, nullptr},   {&ScheduleRecord::co, nullptr},
    {&ScheduleRecord::systemname, nullptr},
};
constexpr int kScheduleColumnCount = static_cast<int>(std::size(kScheduleColumns));
constexpr int kRowsBetweenStopChecks = 1024;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/** True when the whole text is one decimal number: sign, digits, point, digits, exponent. */
bool IsWholeNumber(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return false;
        }
    }
    return i == text.size();
}

MaybeError StoreNumber(std::string_view text, std::int16_t& field) {
    const std::string_view number = TrimSpaces(text);
    if (!IsWholeNumber(number)) {
        return errors::TypeMismatch();
    }
    const auto value = RoundToInt16(LeadingNumber(number));
    if (!value) {
        return errors::Overflow();
    }
    field = *value;
    return std::nullopt;
}

bool IsReadableType(char type) {
    return type == 'C' || type == 'N' || type == 'F' || type == 'D' || type == 'L';
}

/** The table's shape must fit a schedule before any row is taken from it. */
MaybeError CheckScheduleColumns(const DbfTable& dbf, const std::string& fileName) {
    if (dbf.FieldCount() < kScheduleColumnCount) {
        return Error{errors::kBadTable, fileName + " has " + std::to_string(dbf.FieldCount()) +
                                            " columns; a schedule table needs at least " +
                                            std::to_string(kScheduleColumnCount)};
    }
    for (int i = 0; i < kScheduleColumnCount; ++i) {
        const char type = dbf.Field(i).type;
        if (!IsReadableType(type)) {
            // Memo and binary columns hold no text of their own in the row.
            return Error{errors::kBadTable, fileName + " column " + std::to_string(i + 1) +
                                                " is of type " + std::string(1, type) +
                                                "; a schedule column must be C, N, F, D or L"};
        }
    }
    return std::nullopt;
}

/** Checks the table's columns, then appends its rows to the event table. */
MaybeError ReadRows(DbfTable& dbf, const std::string& fileName, EventTable& table,
                    const std::atomic<bool>* stopRequested) {
    if (auto error = CheckScheduleColumns(dbf, fileName)) {
        return error;
    }

    for (int row = 0; row < dbf.RowCount(); ++row) {
        if (row % kRowsBetweenStopChecks == 0 && IsStopRequested(stopRequested)) {
            return ReadInterrupted(fileName);
        }
        if (auto error = dbf.ReadRow(row)) {
            return error;
        }
        if (dbf.IsDeleted()) {
            continue;
        }
        if (table.IsFull()) {
            return errors::Overflow(errors::kEventTableFull);
        }
        ScheduleRecord& record = table.Append();
        for (int column = 0; column < kScheduleColumnCount; ++column) {
            if (dbf.IsNull(column)) {
                continue;
            }
            std::string value = dbf.ValueText(column);
            if (TrimSpaces(value).empty()) {
                continue;
            }
            const ScheduleColumn& target = kScheduleColumns[column];
            if (target.text != nullptr) {
                record.*target.text = std::move(value);
            } else if (auto error = StoreNumber(value, record.*target.number)) {
                return error;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

MaybeError ReadDbaseSchedule(const std::string& folder, const std::string& fileName,
                             EventTable& table, SourceIdentity* read,
                             const std::atomic<bool>* stopRequested) {
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) {
        return errors::PathNotFound();
    }
    std::FILE* file = nullptr;
    FileIdentity identity;
    if (auto error = OpenScheduleFile(folder + fileName, file, identity)) {
        return error;
    }
    DbfTable dbf;  // closes the file
    if (auto error = dbf.Open(file, fileName)) {
        return error;
    }
    MaybeError error = ReadRows(dbf, fileName, table, stopRequested);
    RecordRead(file, identity, read);
    return error;
}

MaybeError ReadDbaseScheduleFrom(std::FILE* file, const std::string& fileName, EventTable& table) {
    DbfTable dbf;
    if (auto error = dbf.Open(file, fileName)) {
        return error;
    }
    return ReadRows(dbf, fileName, table, nullptr);
}

}  // namespace skedora
