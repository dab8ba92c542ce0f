#include "input/dbase_reader.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <filesystem>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Column {
    std::string name;
    char type;
    int width;
    int decimals = 0;
};

/** A cell as written: null, text (raw bytes for non-character columns), number or logical. */
using Cell = std::variant<std::nullptr_t, std::string, double, bool>;
using Row = std::vector<Cell>;

std::vector<Column> ScheduleColumns() {
    return {{"DAY", 'N', 4},       {"CUR_DATE", 'C', 10}, {"WEEK_DAY", 'C', 10},
            {"ON_TIME", 'C', 10},  {"OFF_TIME", 'C', 8},  {"PGM", 'C', 30},
            {"MON_BEG", 'C', 4},   {"TOCH", 'N', 6, 1},   {"TOCHNM_HD", 'C', 10},
            {"FCH", 'N', 6},       {"FCHNM_HD", 'C', 10}, {"CO", 'C', 8},
            {"SYSTEMNAM", 'C', 12}};
}

Row ScheduleRow(double day, const std::string& pgm) {
    return {day,
            std::string("01/31/2024"),
            std::string("Wed"),
            std::string("08:00:00"),
            std::string("08:30:00"),
            pgm,
            std::string("Y"),
            2.0,
            std::string("WABC"),
            7.0,
            std::string("KXYZ-HD"),
            std::string("0042"),
            std::string("Main")};
}

/** Writes the table with the table library, then gives it its final name. */
void MakeTable(const std::filesystem::path& path, const std::vector<Column>& columns,
               const std::vector<Row>& rows, const std::set<int>& deleted = {}) {
    const auto scratch = path.parent_path() / "scratch.dbf";
    DBFHandle dbf = DBFCreate(scratch.c_str());
    ASSERT_NE(dbf, nullptr);
    for (const auto& c : columns) {
        ASSERT_GE(DBFAddNativeFieldType(dbf, c.name.c_str(), c.type, c.width, c.decimals), 0);
    }
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int f = 0; f < static_cast<int>(rows[r].size()); ++f) {
            const Cell& cell = rows[r][f];
            if (std::holds_alternative<std::nullptr_t>(cell)) {
                DBFWriteNULLAttribute(dbf, r, f);
            } else if (const auto* text = std::get_if<std::string>(&cell)) {
                if (columns[f].type == 'C') {
                    DBFWriteStringAttribute(dbf, r, f, text->c_str());
                } else {
                    DBFWriteAttributeDirectly(dbf, r, f, const_cast<char*>(text->c_str()));
                }
            } else if (const auto* number = std::get_if<double>(&cell)) {
                DBFWriteDoubleAttribute(dbf, r, f, *number);
            } else {
                DBFWriteLogicalAttribute(dbf, r, f, std::get<bool>(cell) ? 'T' : 'F');
            }
        }
        if (deleted.count(r) != 0) {
            DBFMarkRecordDeleted(dbf, r, 1);
        }
    }
    DBFClose(dbf);
    std::filesystem::rename(scratch, path);
}

class DbaseReader : public ::testing::Test {
  protected:
    DbaseReader() { m_table.Append().pgm = "earlier job"; }

    MaybeError Read(const std::string& name = "WEEK1.DBF") {
        return ReadDbaseSchedule(m_dir.folderText(), name, m_table);
    }
    std::filesystem::path File(const std::string& name = "WEEK1.DBF") const {
        return m_dir.file(name);
    }
    /** Reads a one-row schedule whose column `index` has the given shape and cell. */
    MaybeError ReadOneCell(int index, const Column& column, const Cell& cell) {
        auto columns = ScheduleColumns();
        columns[static_cast<std::size_t>(index)] = column;
        Row row = ScheduleRow(1, "News");
        row[static_cast<std::size_t>(index)] = cell;
        MakeTable(File(), columns, {row});
        return Read();
    }
    void ExpectTableUntouched() const {
        ASSERT_EQ(m_table.Count(), 1);
        EXPECT_EQ(m_table[1].pgm, "earlier job");
    }

    TempDir m_dir;
    EventTable m_table;
};

TEST_F(DbaseReader, ReadsTheFirstThirteenColumnsByPosition) {
    auto columns = ScheduleColumns();
    columns.push_back({"EXTRA", 'C', 6});
    columns.push_back({"MORE", 'N', 4});
    Row first = ScheduleRow(3, "  Morning News  ");
    first.insert(first.end(), {Cell(std::string("ignore")), Cell(9.0)});
    Row second = ScheduleRow(4, "Late Show");
    second.insert(second.end(), {Cell(std::string("x")), Cell(1.0)});
    MakeTable(File(), columns, {first, second});

    ASSERT_EQ(Read(), std::nullopt);
    ASSERT_EQ(m_table.Count(), 2);
    EXPECT_EQ(m_table[0], ScheduleRecord{});
    const ScheduleRecord& r = m_table[1];
    EXPECT_EQ(r.day, 3);
    EXPECT_EQ(r.cur_date, "01/31/2024");
    EXPECT_EQ(r.week_day, "Wed");
    EXPECT_EQ(r.on_time, "08:00:00");  // pad blanks of the wider column removed
    EXPECT_EQ(r.off_time, "08:30:00");
    EXPECT_EQ(r.pgm, "  Morning News");  // leading blanks stay
    EXPECT_EQ(r.mon_beg, "Y");
    EXPECT_EQ(r.toch, 2);
    EXPECT_EQ(r.tochnm_hd, "WABC");
    EXPECT_EQ(r.fch, 7);
    EXPECT_EQ(r.fchnm_hd, "KXYZ-HD");
    EXPECT_EQ(r.co, "0042");
    EXPECT_EQ(r.systemname, "Main");
    EXPECT_TRUE(r.mon_end.empty() && r.hidef.empty() && r.comments.empty() && r.U1.empty() &&
                r.U2.empty());
    EXPECT_EQ(m_table[2].pgm, "Late Show");
}

TEST_F(DbaseReader, GivesEachColumnTypeItsTextForm) {
    struct Case {
        Column column;
        Cell cell;
        std::string text;
    };
    const Case cases[] = {
        {{"C", 'C', 10}, std::string(" X "), " X"},
        {{"N", 'N', 8, 2}, 2.5, "2.50"},
        {{"N", 'N', 6}, -12.0, "-12"},
        {{"F", 'F', 10, 3}, 1.25, "1.250"},
        {{"D", 'D', 8}, std::string("20240131"), "01/31/2024"},
        {{"L", 'L', 1}, true, "True"},
        {{"L", 'L', 1}, false, "False"},
        {{"L", 'L', 1}, std::string("y"), "True"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(ReadOneCell(1, c.column, c.cell), std::nullopt);
        EXPECT_EQ(m_table[1].cur_date, c.text);
    }
}

TEST_F(DbaseReader, ConvertsIntegerColumnsWithHalfToEvenRounding) {
    struct Case {
        Column column;
        Cell cell;
        std::int16_t value;
    };
    const Case cases[] = {
        {{"N", 'N', 6, 1}, 2.5, 2},
        {{"N", 'N', 6, 1}, 3.5, 4},
        {{"N", 'N', 6, 1}, -2.5, -2},
        {{"N", 'N', 7}, -32768.0, -32768},
        {{"F", 'F', 8, 2}, 32767.4, 32767},
        {{"C", 'C', 8}, std::string(" 17 "), 17},
        {{"C", 'C', 8}, std::string("1e3"), 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_EQ(ReadOneCell(7, c.column, c.cell), std::nullopt);
        EXPECT_EQ(m_table[1].toch, c.value);
    }
}

TEST_F(DbaseReader, RefusesIntegerValuesThatAreNoNumberOrTooLarge) {
    struct Case {
        Column column;
        Cell cell;
        int error;
    };
    const Case cases[] = {
        {{"C", 'C', 8}, std::string("12abc"), errors::kTypeMismatch},
        {{"C", 'C', 8}, std::string("1 2"), errors::kTypeMismatch},
        {{"C", 'C', 8}, std::string("0x10"), errors::kTypeMismatch},
        {{"L", 'L', 1}, true, errors::kTypeMismatch},
        {{"D", 'D', 8}, std::string("20240131"), errors::kTypeMismatch},
        {{"N", 'N', 8}, 32768.0, errors::kOverflow},
        {{"F", 'F', 8, 1}, 32767.5, errors::kOverflow},
        {{"C", 'C', 8}, std::string("-40000"), errors::kOverflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const auto error = ReadOneCell(9, c.column, c.cell);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number, c.error);
        EXPECT_EQ(error->source, "Skedora");
    }
}

TEST_F(DbaseReader, NullsAndBlanksKeepTheDefaults) {
    auto columns = ScheduleColumns();
    columns[1] = {"CUR_DATE", 'D', 8};
    columns[2] = {"WEEK_DAY", 'L', 1};
    columns[9] = {"FCH", 'C', 6};
    Row nulls(13, nullptr);
    Row blanks = ScheduleRow(1, "   ");
    blanks[0] = std::string("    ");
    blanks[1] = std::string("        ");
    blanks[2] = std::string("?");
    blanks[9] = std::string("      ");
    blanks[10] = std::string("");
    MakeTable(File(), columns, {nulls, blanks});

    ASSERT_EQ(Read(), std::nullopt);
    ASSERT_EQ(m_table.Count(), 2);  // blank rows are still events
    EXPECT_EQ(m_table[1], ScheduleRecord{});
    const ScheduleRecord& r = m_table[2];
    EXPECT_EQ(r.day, 0);
    EXPECT_EQ(r.cur_date, "");
    EXPECT_EQ(r.week_day, "");
    EXPECT_EQ(r.pgm, "");
    EXPECT_EQ(r.fch, 0);
    EXPECT_EQ(r.fchnm_hd, "");
    EXPECT_EQ(r.tochnm_hd, "WABC");
}

TEST_F(DbaseReader, SkipsDeletedRowsAndReadsAnyFileNameSpelling) {
    MakeTable(File("Week1.Dbf"), ScheduleColumns(),
              {ScheduleRow(1, "A"), ScheduleRow(2, "B"), ScheduleRow(3, "C")}, {1});
    ASSERT_EQ(Read("Week1.Dbf"), std::nullopt);
    ASSERT_EQ(m_table.Count(), 2);
    EXPECT_EQ(m_table[1].pgm, "A");
    EXPECT_EQ(m_table[2].pgm, "C");
}

TEST_F(DbaseReader, ATableWithoutRowsEmptiesTheEventTable) {
    MakeTable(File(), ScheduleColumns(), {});
    ASSERT_EQ(Read(), std::nullopt);
    EXPECT_EQ(m_table.Count(), 0);
}

TEST_F(DbaseReader, ReportsMissingFileFolderAndUnreadableFile) {
    EXPECT_EQ(Read("NONE.DBF"), errors::FileNotFound());
    EXPECT_EQ(ReadDbaseSchedule(m_dir.folderText() + "gone/", "WEEK1.DBF", m_table),
              errors::PathNotFound());
    std::filesystem::create_directory(File("DIR.DBF"));
    EXPECT_EQ(Read("DIR.DBF").value().number, errors::kPathFileAccess);
    ExpectTableUntouched();
}

TEST_F(DbaseReader, RefusesATableWithFewerThanThirteenColumns) {
    auto columns = ScheduleColumns();
    columns.resize(11);
    Row row = ScheduleRow(1, "News");
    row.resize(11);
    MakeTable(File(), columns, {row});
    EXPECT_EQ(Read(), (Error{errors::kBadTable,
                             "WEEK1.DBF has 11 columns; a schedule table needs at least 13"}));
    ExpectTableUntouched();
}

/** Damaged and foreign files, made from a sound three-row table byte by byte. */
TEST_F(DbaseReader, RefusesDamagedAndForeignFilesWithAClearError) {
    auto columns = ScheduleColumns();
    MakeTable(File("GOOD.DBF"), columns,
              {ScheduleRow(1, "A"), ScheduleRow(2, "B"), ScheduleRow(3, "C")});
    const std::string good = ReadFile(File("GOOD.DBF"));
    const int headerLength = 32 + 32 * 13 + 1;
    const int recordLength =
        static_cast<unsigned char>(good[10]) | static_cast<unsigned char>(good[11]) << 8;
    auto patched = [&](std::size_t at, std::string bytes) {
        std::string file = good;
        file.replace(at, bytes.size(), bytes);
        return file;
    };
    columns[5].type = 'M';
    MakeTable(File("MEMO.DBF"), columns, {});
    const std::string memo = ReadFile(File("MEMO.DBF"));

    struct Case {
        std::string bytes;
        std::string says;
    };
    const Case cases[] = {
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
        {memo, "column 6 is of type M"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        WriteFile(File("BAD.DBF"), c.bytes);
        const auto error = Read("BAD.DBF");
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number, errors::kBadTable);
        EXPECT_EQ(error->description.rfind("BAD.DBF ", 0), 0u) << error->description;
        EXPECT_NE(error->description.find(c.says), std::string::npos) << error->description;
        ExpectTableUntouched();
    }
}

TEST_F(DbaseReader, MoreThan32767RowsOverflow) {
    const std::vector<Column> columns = {
        {"DAY", 'N', 1}, {"A", 'C', 1}, {"B", 'C', 1},    {"C", 'C', 1}, {"D", 'C', 1},
        {"PGM", 'C', 1}, {"E", 'C', 1}, {"TOCH", 'N', 1}, {"F", 'C', 1}, {"FCH", 'N', 1},
        {"G", 'C', 1},   {"H", 'C', 1}, {"I", 'C', 1}};
    const Row row(13, std::string("1"));
    std::vector<Row> rows(32768, row);
    MakeTable(File(), columns, rows, {5});
    EXPECT_EQ(Read(), std::nullopt);  // one of them deleted: exactly the limit
    EXPECT_EQ(m_table.Count(), 32767);

    rows.push_back(row);
    MakeTable(File(), columns, rows, {5});
    EXPECT_EQ(Read(), errors::Overflow());
}

}  // namespace
}  // namespace skedora
