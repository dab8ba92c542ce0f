#include "input/dbase_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::DbfColumn;
using Row = std::vector<std::string>;

std::vector<DbfColumn> ScheduleColumns() {
    return {{"DAY", 'N', 4},       {"CUR_DATE", 'C', 10}, {"WEEK_DAY", 'C', 10},
            {"ON_TIME", 'C', 10},  {"OFF_TIME", 'C', 8},  {"PGM", 'C', 30},
            {"MON_BEG", 'C', 4},   {"TOCH", 'N', 6, 1},   {"TOCHNM_HD", 'C', 10},
            {"FCH", 'N', 6},       {"FCHNM_HD", 'C', 10}, {"CO", 'C', 8},
            {"SYSTEMNAM", 'C', 12}};
}

Row ScheduleRow(const std::string& day, const std::string& pgm) {
    return {day,   "01/31/2024", "Wed", "08:00:00", "08:30:00", pgm,   "Y",
            "2.0", "WABC",       "7",   "KXYZ-HD",  "0042",     "Main"};
}

class DbaseReader : public ::testing::Test {
  protected:
    DbaseReader() { m_table.Append().pgm = "earlier job"; }

    MaybeError Read(const std::string& bytes, const std::string& name = "WEEK1.DBF") {
        test::WriteFile(m_dir.file(name), bytes);
        return ReadDbaseSchedule(m_dir.folderText(), name, m_table);
    }
    /** Reads a one-row schedule whose column index has the given shape and stored text. */
    MaybeError ReadOneCell(std::size_t index, const DbfColumn& column, const std::string& cell) {
        auto columns = ScheduleColumns();
        columns[index] = column;
        Row row = ScheduleRow("1", "News");
        row[index] = cell;
        return Read(test::DbfBytes(columns, {row}));
    }
    void ExpectTableUntouched() const {
        ASSERT_EQ(m_table.Count(), 1);
        EXPECT_EQ(m_table[1].pgm, "earlier job");
    }

    test::TempDir m_dir;
    EventTable m_table;
};

TEST_F(DbaseReader, ReadsTheFirstThirteenColumnsByPositionSkippingDeletedRows) {
    auto columns = ScheduleColumns();
    columns.push_back({"EXTRA", 'C', 6});
    columns.push_back({"MORE", 'N', 4});
    Row first = ScheduleRow("3", "  Morning News");
    first.insert(first.end(), {"ignore", "9"});
    Row gone = ScheduleRow("4", "Deleted");
    gone.insert(gone.end(), {"x", "1"});
    Row last = ScheduleRow("5", "Late Show");
    last.insert(last.end(), {"x", "1"});
    ASSERT_EQ(Read(test::DbfBytes(columns, {first, gone, last}, {1}), "Week1.Dbf"), std::nullopt);

    ASSERT_EQ(m_table.Count(), 2);
    EXPECT_EQ(m_table[0], ScheduleRecord{});
    ScheduleRecord expected;
    expected.day = 3;
    expected.cur_date = "01/31/2024";
    expected.week_day = "Wed";
    expected.on_time = "08:00:00";  // the pad blanks of the wider column removed
    expected.off_time = "08:30:00";
    expected.pgm = "  Morning News";  // leading blanks stay
    expected.mon_beg = "Y";
    expected.toch = 2;
    expected.tochnm_hd = "WABC";
    expected.fch = 7;
    expected.fchnm_hd = "KXYZ-HD";
    expected.co = "0042";
    expected.systemname = "Main";
    EXPECT_EQ(m_table[1], expected);
    EXPECT_EQ(m_table[2].pgm, "Late Show");
}

TEST_F(DbaseReader, GivesEachColumnTypeItsTextFormAndBlanksKeepTheDefaults) {
    const struct {
        DbfColumn column;
        const char* cell;
        const char* text;
    } cases[] = {
        {{"C", 'C', 10}, " X ", " X"},
        {{"N", 'N', 8, 2}, "2.50", "2.50"},
        {{"F", 'F', 10, 3}, "-1.250", "-1.250"},
        {{"D", 'D', 8}, "20240131", "01/31/2024"},
        {{"L", 'L', 1}, "T", "True"},
        {{"L", 'L', 1}, "f", "False"},
        {{"L", 'L', 1}, "y", "True"},
        {{"L", 'L', 1}, "?", ""},
        {{"C", 'C', 10}, "   ", ""},
        {{"N", 'N', 8}, "********", ""},
        {{"D", 'D', 8}, "        ", ""},
        {{"C", 'C', 10}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        ASSERT_EQ(ReadOneCell(1, c.column, c.cell), std::nullopt);
        EXPECT_EQ(m_table[1].cur_date, c.text);
    }
    for (const char* blank : {"", "    ", "****"}) {
        ASSERT_EQ(ReadOneCell(0, {"DAY", 'N', 4}, blank), std::nullopt);
        EXPECT_EQ(m_table[1].day, 0) << '"' << blank << '"';
    }
}

TEST_F(DbaseReader, ConvertsIntegerColumnsWithHalfToEvenRoundingAndRefusesTheRest) {
    const struct {
        DbfColumn column;
        const char* cell;
        std::int16_t value;
        int error;
    } cases[] = {
        {{"N", 'N', 6, 1}, "2.5", 2, 0},
        {{"N", 'N', 6, 1}, "3.5", 4, 0},
        {{"N", 'N', 6, 1}, "-2.5", -2, 0},
        {{"N", 'N', 7}, "-32768", -32768, 0},
        {{"F", 'F', 8, 2}, "32767.40", 32767, 0},
        {{"C", 'C', 8}, " 17 ", 17, 0},
        {{"C", 'C', 8}, "1e3", 1000, 0},
        {{"C", 'C', 8}, "12abc", 0, errors::kTypeMismatch},
        {{"C", 'C', 8}, "1 2", 0, errors::kTypeMismatch},
        {{"C", 'C', 8}, "0x10", 0, errors::kTypeMismatch},
        {{"L", 'L', 1}, "T", 0, errors::kTypeMismatch},
        {{"D", 'D', 8}, "20240131", 0, errors::kTypeMismatch},
        {{"N", 'N', 8}, "32768", 0, errors::kOverflow},
        {{"F", 'F', 8, 1}, "32767.5", 0, errors::kOverflow},
        {{"C", 'C', 8}, "-40000", 0, errors::kOverflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        const MaybeError error = ReadOneCell(7, c.column, c.cell);
        if (c.error == 0) {
            ASSERT_EQ(error, std::nullopt);
            EXPECT_EQ(m_table[1].toch, c.value);
        } else {
            ASSERT_TRUE(error.has_value());
            EXPECT_EQ(error->number, c.error);
        }
    }
}

TEST_F(DbaseReader, ReportsMissingFilesAndFoldersAndTablesTooSmallOrTooLarge) {
    EXPECT_EQ(ReadDbaseSchedule(m_dir.folderText(), "NONE.DBF", m_table), errors::FileNotFound());
    EXPECT_EQ(ReadDbaseSchedule(m_dir.folderText() + "gone/", "WEEK1.DBF", m_table),
              errors::PathNotFound());
    std::filesystem::create_directory(m_dir.file("DIR.DBF"));
    EXPECT_EQ(ReadDbaseSchedule(m_dir.folderText(), "DIR.DBF", m_table).value().number,
              errors::kPathFileAccess);
    auto columns = ScheduleColumns();
    columns.resize(11);
    Row row = ScheduleRow("1", "News");
    row.resize(11);
    EXPECT_EQ(
        Read(test::DbfBytes(columns, {row})),
        (Error{errors::kBadTable, "WEEK1.DBF has 11 columns; a schedule table needs at least 13"}));
    ExpectTableUntouched();

    columns = std::vector<DbfColumn>(13, {"C", 'C', 1});
    std::vector<Row> rows(32768, Row(13, "1"));
    EXPECT_EQ(Read(test::DbfBytes(columns, rows, {5})), std::nullopt);  // exactly the limit
    EXPECT_EQ(m_table.Count(), 32767);
    rows.push_back(Row(13, "1"));
    EXPECT_EQ(Read(test::DbfBytes(columns, rows, {5})), errors::Overflow());
    EXPECT_EQ(Read(test::DbfBytes(columns, {})), std::nullopt);
    EXPECT_EQ(m_table.Count(), 0);
}

TEST_F(DbaseReader, RefusesDamagedAndForeignFilesWithAClearError) {
    auto columns = ScheduleColumns();
    const std::string good = test::DbfBytes(
        columns, {ScheduleRow("1", "A"), ScheduleRow("2", "B"), ScheduleRow("3", "C")});
    const std::size_t headerLength = 32 + 32 * 13 + 1,
                      recordLength = static_cast<unsigned char>(good[10]) |
                                     static_cast<unsigned char>(good[11]) << 8;
    auto patched = [&](std::size_t at, std::string bytes) {
        return std::string(good).replace(at, bytes.size(), bytes);
    };
    columns[5].type = 'M';
    const struct {
        std::string bytes;
        const char* says;
    } cases[] = {
        {"", "is not a dBASE table"},
        {good.substr(0, 31), "is not a dBASE table"},
        {"day,cur_date,week_day,on_time,off_time,pgm\r\n1,01/31/2024,Wed\r\n",
         "is not a dBASE table"},
        {patched(0, "\x04"), "is not a dBASE table"},  // dBASE 7 lays out its columns otherwise
        {good.substr(0, headerLength + recordLength + recordLength / 2),
         "is shorter than its header says"},
        {patched(4, std::string("\x09\0\0\0", 4)), "is shorter than its header says"},
        {patched(8, "\xFF\xFF"), "is shorter than its header says"},
        {patched(8, std::string("\x40\0", 2)), "has a damaged header"},
        {patched(10, std::string("\x10\0", 2)), "has a damaged header"},
        {patched(10, std::string("\0\0", 2)), "has a damaged header"},
        {patched(32 + 5 * 32 + 16, "\x01"), "has a damaged header"},  // a column narrower
        {test::DbfBytes(columns, {}), "column 6 is of type M"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const MaybeError error = Read(c.bytes, "BAD.DBF");
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number, errors::kBadTable);
        EXPECT_EQ(error->description.rfind("BAD.DBF ", 0), 0u) << error->description;
        EXPECT_NE(error->description.find(c.says), std::string::npos) << error->description;
        ExpectTableUntouched();
    }
}

}  // namespace
}  // namespace skedora
