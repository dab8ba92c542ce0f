#include "input/csv_reader.h"

#include <gtest/gtest.h>

#include "engine/cp2_line.h"
#include "support/expect_error.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

const std::string kHeader(CsvHeaderText());

std::string DataLine(const std::string& pgm, const std::string& extra = {}) {
    return "3,03/05/2024,TUE,10:00:00,11:30:00," + pgm + ",X,,Y,,12,WABC,5,WXYZ,0042,N,u1,ADD" +
           extra;
}

class CsvReaderTest : public ::testing::Test {
  protected:
    const EventTable& Read(const std::string& bytes) {
        test::WriteFile(m_dir.file("WEEK1.CSV"), bytes);
        m_table.ResetEventTable();
        const MaybeError error = ReadCsvSchedule(m_dir.file("WEEK1.CSV").string(), m_table);
        EXPECT_EQ(error, std::nullopt) << error->description;
        return m_table;
    }

    test::TempDir m_dir;
    EventTable m_table;
};

TEST(NormalizeTimeText, ChoosesByLengthAlone) {
    const std::pair<const char*, const char*> cases[] = {
        {"9:30", "09:30:00"},      {"09:30", "09:30:00"}, {"9:30:00", "09:30:00"},
        {"0930", "00930:00"},      {"930", "930"},        {"abcde", "abcde:00"},
        {"9:30:00.5", "9:30:00.5"}};
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(NormalizeTimeText(text), expected) << text;
    }
}

TEST_F(CsvReaderTest, FillsEveryColumnTrimmingSpacesOnlyWithToBeforeFromInTheFile) {
    const EventTable& table = Read(kHeader +
                                   "\r\n 7 , 03/05/2024 , TUE ,9:30, 11:30 , \tNEWS "
                                   "\"10\" ,X,,Y, late ,12, WABC-HD ,5, \xE9t\xE9 "
                                   "\xA0,0042,NORTH,u1, add \r\n");
    ASSERT_EQ(table.Count(), 1);
    // In the record's order: the From pair (5) before the To pair (12).
    EXPECT_EQ(table[1], (ScheduleRecord{7, "03/05/2024", "TUE", "09:30:00", "11:30:00",
                                        "\tNEWS \"10\"", "X", "", "Y", "late", 5, "\xE9t\xE9 \xA0",
                                        12, "WABC-HD", "0042", "NORTH", "u1", "add"}));
}

TEST_F(CsvReaderTest, EveryKindOfLineEndEndsALineAndTheFirstLineIsDropped) {
    const std::string a = DataLine("A"), b = DataLine("B"), c = DataLine("C");
    for (const std::string& bytes : {
             kHeader + "\r\n" + a + "\r\n" + b + "\r\n" + c + "\r\n",
             kHeader + "\n" + a + "\n" + b + "\n" + c + "\n",
             kHeader + "\r" + a + "\r" + b + "\r" + c + "\r",
             kHeader + "\r\n" + a + "\n" + b + "\r" + c,  // mixed, the last without an end
             kHeader + "\n\n" + a + "\r\n\r\n" + b + "\n\r   \r" + c + "\r\n\r\n",  // blank lines
             DataLine("X") + "\r\n" + a + "\r\n" + b + "\r\n" + c,  // the first line unread
         }) {
        const EventTable& table = Read(bytes);
        ASSERT_EQ(table.Count(), 3) << bytes;
        EXPECT_EQ(table[1].pgm + table[2].pgm + table[3].pgm + table[3].U2, "ABCADD");
    }
    for (const std::string& bytes : {kHeader + "\r\n", kHeader, std::string()}) {
        EXPECT_EQ(Read(bytes).Count(), 0);
    }
}

TEST_F(CsvReaderTest, SplitsAtEveryCommaAndUsesLinesOfEighteenFieldsOrMore) {
    const EventTable& table =
        Read(kHeader + "\n1,,,,,,,,,,,,,F18,,,,U2\n2,,,,,,,,,,,,,F17,,,\n" +
             "3,,,,,,,,,,,,,F25,,,,U2,x,x,x,x,x,x,x\n" +
             "4,d,w,10:00,11:00,\"ABC, Inc.\",,,,,1,WABC,5,WXYZ,42,N,U1,U2\n");
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table.IgnoredLines, 1);  // the line of 17 fields; the header is no event line
    EXPECT_EQ(table[1].fchnm_hd + table[2].fchnm_hd + table[2].U2, "F18F25U2");
    // Quotes are ordinary characters: the comma inside shifts every later column.
    EXPECT_EQ(table[3].pgm + table[3].mon_beg, "\"ABCInc.\"");
    EXPECT_EQ(table[3].tochnm_hd + table[3].fchnm_hd + table[3].U2, "15U1");
    EXPECT_EQ(table[3].fch, 0);  // WABC
    // Bytes that are no schedule: every line is counted, and a fresh read starts again at 0.
    const char binary[] =
        "\x7F"
        "ELF\x01\n\x00\x00\r\n,,\n\n";
    EXPECT_EQ(Read(std::string(binary, sizeof binary - 1)).IgnoredLines, 3);
    EXPECT_EQ(Read(kHeader + "\n").IgnoredLines, 0);
}

TEST_F(CsvReaderTest, NumberColumnsTakeTheLeadingNumberRoundedHalfToEven) {
    const std::pair<const char*, std::int16_t> cases[] = {
        {" 12 ", 12}, {"12abc", 12}, {"abc", 0},         {"2.5", 2},   {"3.5", 4},   {"-2.5", -2},
        {"", 0},      {"1e3", 1000}, {"-32768", -32768}, {"32768", 0}, {"40000", 0}, {"1e400", 0}};
    std::string bytes = kHeader + "\n";
    for (const auto& [text, value] : cases) {
        bytes += std::string(text) + ",,,,,,,,,," + text + ",," + text + ",,,,,\n";
    }
    const EventTable& table = Read(bytes);
    ASSERT_EQ(table.Count(), static_cast<int>(std::size(cases)));
    for (int i = 1; i <= table.Count(); ++i) {
        const auto& [text, value] = cases[i - 1];
        EXPECT_TRUE(table[i].day == value && table[i].toch == value && table[i].fch == value)
            << text;
    }
}

TEST_F(CsvReaderTest, ReadsLinesOfAnyLengthAcrossItsReadBuffers) {
    const std::size_t boundary = 64 * 1024, before = kHeader.size() + 2 + DataLine("").size();
    for (std::size_t cr = boundary - 2; cr <= boundary + 1; ++cr) {
        const std::string first = DataLine(std::string(cr - before, 'p'));
        const EventTable& table = Read(kHeader + "\r\n" + first + "\r\n" + DataLine("B") + "\r\n");
        ASSERT_EQ(table.Count(), 2) << cr;
        EXPECT_EQ(table[1].pgm.size(), cr - before);
        EXPECT_EQ(table[2].pgm + table[1].U2, "BADD");
    }
    const std::string megabyte(1 << 20, 'x');
    const EventTable& table = Read(megabyte + "\r\n" + DataLine(megabyte, "," + megabyte));
    ASSERT_EQ(table.Count(), 1);
    EXPECT_EQ(table[1].pgm, megabyte);
}

TEST_F(CsvReaderTest, ReportsOverflowPastTheLargestTableAndFilesThatCannotBeRead) {
    std::string bytes = kHeader + "\r\n";
    for (int i = 1; i <= EventTable::kMaxEvents; ++i) {
        bytes += "1,,,,,,,,,,,,,WXYZ,,,,\r\n";
    }
    EXPECT_EQ(Read(bytes + "\r\nshort line\r\n").Count(), EventTable::kMaxEvents);
    test::WriteFile(m_dir.file("BIG.CSV"), bytes + "1,,,,,,,,,,,,,LAST,,,,\r\n");
    // 6 "Overflow", 75 "Path/File access error".
    const std::pair<const char*, int> cases[] = {{"BIG.CSV", 6}, {"WEEK1.CSV/WEEK1.CSV", 75}};
    for (const auto& [name, number] : cases) {
        m_table.ResetEventTable();
        EXPECT_TRUE(test::IsError(ReadCsvSchedule(m_dir.file(name).string(), m_table), number));
        EXPECT_EQ(m_table.Count(), number == 6 ? EventTable::kMaxEvents : 0);
    }
}

}  // namespace
}  // namespace skedora
