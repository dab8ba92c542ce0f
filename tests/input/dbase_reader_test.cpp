#include "input/dbase_reader.h"

#include <gtest/gtest.h>

#include "support/expect_error.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::DbfBytes;
using test::DbfColumn;
using Row = std::vector<std::string>;

const std::vector<DbfColumn> kColumns = {
    {"DAY", 'N', 4},        {"CUR_DATE", 'C', 10}, {"WEEK_DAY", 'C', 10}, {"ON_TIME", 'C', 10},
    {"OFF_TIME", 'C', 8},   {"PGM", 'C', 30},      {"MON_BEG", 'C', 4},   {"TOCH", 'N', 6},
    {"TOCHNM_HD", 'C', 10}, {"FCH", 'N', 6},       {"FCHNM_HD", 'C', 10}, {"CO", 'C', 8},
    {"SYSTEMNAM", 'C', 12}};

Row ScheduleRow(const std::string& pgm) {
    return {"3",   "01/31/2024", "Wed", "08:00:00", "08:30:00", pgm,   "Y",
            "2.0", "WABC",       "7",   "KXYZ-HD",  "0042",     "Main"};
}

class DbaseReader : public ::testing::Test {
  protected:
    MaybeError Read(const std::string& bytes, const std::string& name = "WEEK1.DBF") {
        test::WriteFile(m_dir.file(name), bytes);
        m_table.ResetEventTable();
        return ReadDbaseSchedule(m_dir.folderText(), name, m_table);
    }
    MaybeError ReadOneCell(std::size_t index, const DbfColumn& column, const std::string& cell) {
        auto columns = kColumns;
        columns[index] = column;
        Row row = ScheduleRow("News");
        row[index] = cell;
        return Read(DbfBytes(columns, {row}));
    }

    test::TempDir m_dir;
    EventTable m_table;
};

TEST_F(DbaseReader, ReadsTheFirstThirteenColumnsByPositionSkippingDeletedRows) {
    auto columns = kColumns;
    columns.insert(columns.end(), {{"EXTRA", 'C', 6}, {"MORE", 'N', 4}});
    std::vector<Row> rows = {ScheduleRow("  Morning News"), ScheduleRow("Gone"), ScheduleRow("B")};
    for (Row& row : rows) {
        row.insert(row.end(), {"ignore", "9"});
    }
    ASSERT_EQ(Read(DbfBytes(columns, rows, {1}), "Week1.Dbf"), std::nullopt);
    ASSERT_EQ(m_table.Count(), 2);
    EXPECT_EQ(m_table[1],
              (ScheduleRecord{3, "01/31/2024", "Wed", "08:00:00", "08:30:00", "  Morning News", "Y",
                              "", "", "", 7, "KXYZ-HD", 2, "WABC", "0042", "Main", "", ""}));
    EXPECT_EQ(m_table[2].pgm, "B");
}

TEST_F(DbaseReader, GivesEachColumnTypeItsTextForm) {
    const std::tuple<DbfColumn, const char*, const char*> cases[] = {
        {{"C", 'C', 10}, " X ", " X"},        {{"N", 'N', 8}, "2.50", "2.50"},
        {{"F", 'F', 10}, "-1.250", "-1.250"}, {{"D", 'D', 8}, "20240131", "01/31/2024"},
        {{"L", 'L', 1}, "T", "True"},         {{"L", 'L', 1}, "f", "False"},
        {{"L", 'L', 1}, "y", "True"},         {{"L", 'L', 1}, "?", ""},
        {{"C", 'C', 10}, "   ", ""},          {{"N", 'N', 8}, "********", ""},
        {{"D", 'D', 8}, "        ", ""},
    };
    for (const auto& [column, cell, text] : cases) {
        ASSERT_EQ(ReadOneCell(1, column, cell), std::nullopt) << cell;
        EXPECT_EQ(m_table[1].cur_date, text) << cell;
    }
}

TEST_F(DbaseReader, ConvertsIntegerColumnsWithHalfToEvenRoundingAndRefusesTheRest) {
    // The value read, or the error: 13 "Type mismatch", 6 "Overflow".
    const std::tuple<DbfColumn, const char*, int> cases[] = {
        {{"N", 'N', 6}, "2.5", 2},          {{"N", 'N', 6}, "3.5", 4},
        {{"N", 'N', 6}, "-2.5", -2},        {{"N", 'N', 7}, "-32768", -32768},
        {{"F", 'F', 8}, "32767.40", 32767}, {{"C", 'C', 8}, " 17 ", 17},
        {{"N", 'N', 6}, "      ", 0},       {{"N", 'N', 6}, "******", 0},
        {{"C", 'C', 8}, "1e3", 1000},       {{"C", 'C', 8}, "12abc", 13},
        {{"C", 'C', 8}, "0x10", 13},        {{"L", 'L', 1}, "T", 13},
        {{"D", 'D', 8}, "20240131", 13},    {{"N", 'N', 8}, "32768", 6},
        {{"F", 'F', 8}, "32767.5", 6},      {{"C", 'C', 8}, "-40000", 6},
    };
    for (const auto& [column, cell, valueOrError] : cases) {
        const MaybeError error = ReadOneCell(7, column, cell);
        EXPECT_EQ(error ? error->number : m_table[1].toch, valueOrError) << cell;
    }
}

TEST_F(DbaseReader, ReportsAMissingFolderAndTooManyRows) {
    EXPECT_EQ(ReadDbaseSchedule(m_dir.folderText() + "gone/", "WEEK1.DBF", m_table),
              errors::PathNotFound());
    const std::vector<DbfColumn> narrow(13, {"C", 'C', 1});
    std::vector<Row> rows(32768, Row(13, "1"));
    EXPECT_EQ(Read(DbfBytes(narrow, rows, {5})), std::nullopt);  // one deleted: the limit
    EXPECT_EQ(m_table.Count(), 32767);
    rows.push_back(Row(13, "1"));
    EXPECT_EQ(Read(DbfBytes(narrow, rows, {5})), errors::Overflow(errors::kEventTableFull));
    EXPECT_EQ(Read(DbfBytes(narrow, {})), std::nullopt);
    EXPECT_EQ(m_table.Count(), 0);
}

TEST_F(DbaseReader, RefusesDamagedAndForeignFilesWithAClearError) {
    const std::string good = DbfBytes(kColumns, std::vector<Row>(3, ScheduleRow("A")));
    const std::size_t headerLength = 32 + 32 * 13 + 1,
                      recordLength = (good.size() - 1 - headerLength) / 3;
    auto patched = [&](std::size_t at, std::string bytes) {
        return std::string(good).replace(at, bytes.size(), bytes);
    };
    auto memo = kColumns;
    memo[5].type = 'M';
    const std::pair<std::string, const char*> cases[] = {
        {"", "is not a dBASE table"},
        {good.substr(0, 31), "is not a dBASE table"},
        {"day,cur_date,week_day,on_time\r\n1,01/31/2024,Wed\r\n", "is not a dBASE table"},
        {patched(0, "\x04"), "is not a dBASE table"},  // dBASE 7 lays out its columns otherwise
        {good.substr(0, headerLength + recordLength * 3 / 2), "is shorter than its header says"},
        {patched(4, std::string("\x09\0\0\0", 4)), "is shorter than its header says"},
        {patched(8, "\xFF\xFF"), "is shorter than its header says"},
        {patched(8, std::string("\x40\0", 2)), "has a damaged header"},
        {patched(10, std::string("\x10\0", 2)), "has a damaged header"},
        {patched(10, std::string("\0\0", 2)), "has a damaged header"},
        {patched(32 + 5 * 32 + 16, "\x01"), "has a damaged header"},  // a column narrower
        {DbfBytes(memo, {}), "column 6 is of type M"},
        {DbfBytes(std::vector<DbfColumn>(kColumns.begin(), kColumns.begin() + 11), {}),
         "has 11 columns; a schedule table needs at least 13"},
    };
    for (const auto& [bytes, says] : cases) {
        EXPECT_TRUE(test::IsError(Read(bytes, "BAD.DBF"), errors::kBadTable, {"BAD.DBF ", says}));
    }
}

}  // namespace
}  // namespace skedora
