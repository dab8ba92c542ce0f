#include "engine/cp2_line.h"

#include <gtest/gtest.h>

#include "model/text.h"

namespace skedora {
namespace {

ScheduleRecord WorkedExampleEvent() {
    ScheduleRecord event;
    event.day = 3;
    event.cur_date = "03/05/2024";
    event.week_day = "TUE";
    event.on_time = "10:00:00";
    event.off_time = "11:30:00";
    event.pgm = " NEWS AT TEN";
    event.mon_beg = "X";
    event.hidef = "Y";
    event.comments = "  ";
    event.toch = 12;
    event.tochnm_hd = "WABC-HD";
    event.fch = 5;
    event.fchnm_hd = "WXYZ ";
    event.co = "0042";
    event.systemname = "NORTH";
    event.U2 = "add";
    return event;
}

TEST(FormatEventLine, WritesTheWorkedExampleByteForByte) {
    ScheduleRecord event = WorkedExampleEvent();
    EXPECT_EQ(FormatEventLine(event, "WEEK1.CSV"),
              "3,03/05/2024,TUE,10:00:00,11:30:00,NEWS AT TEN,*,,*,ADD From: WEEK1.CSV,12,"
              "WABC-HD,5,WXYZ,0042,NORTH,,add,");
    event.comments = "late feed";
    EXPECT_EQ(FormatEventLine(event, "WEEK1.CSV"),
              "3,03/05/2024,TUE,10:00:00,11:30:00,NEWS AT TEN,*,,*,late feed,12,WABC-HD,5,WXYZ,"
              "0042,NORTH,,add,");
}

TEST(FormatEventLine, AnAlmostEmptyEventHasEighteenCommas) {
    ScheduleRecord event;
    event.fchnm_hd = "WXYZ";
    EXPECT_EQ(FormatEventLine(event, "WEEK1.CSV"), "0,,,,,,,,,,0,,0,WXYZ,,,,,");
}

TEST(FormatEventLine, CommentColumnFallsBackToTheActionMarker) {
    struct Case {
        const char* comments;
        const char* u2;
        const char* column10;
    };
    const Case cases[] = {{"", " Remv ", "REMV From: WEEK1.CSV"},
                          {"", "remv", "REMV From: WEEK1.CSV"},
                          {"", "ADD", "ADD From: WEEK1.CSV"},
                          {" note ", "ADD", "note"},
                          {"", "ADDED", ""},
                          {"", "\tADD", ""},
                          {"", "", ""}};
    for (const Case& c : cases) {
        ScheduleRecord event;
        event.comments = c.comments;
        event.U2 = c.u2;
        const std::string trimmedU2(TrimSpaces(c.u2));
        EXPECT_EQ(FormatEventLine(event, "WEEK1.CSV"),
                  "0,,,,,,,,," + std::string(c.column10) + ",0,,0,,,,," + trimmedU2 + ",")
            << c.u2;
    }
}

TEST(FormatEventLine, MarksOnlySayWhetherTheFieldHoldsAnything) {
    ScheduleRecord event;
    event.mon_beg = "   ";
    event.mon_end = "\t";
    event.hidef = "long text, with a comma";
    EXPECT_EQ(FormatEventLine(event, ""), "0,,,,,,,*,*,,0,,0,,,,,,");
}

TEST(FormatEventLine, WritesNumbersPlainAndTextsUnescaped) {
    ScheduleRecord event;
    event.day = -1;
    event.toch = 32767;
    event.fch = -32768;
    event.pgm = "A, \"B\"";
    event.co = " 0042 ";
    event.U1 = "\xE9t\xE9";
    EXPECT_EQ(FormatEventLine(event, ""), "-1,,,,,A, \"B\",,,,,32767,,-32768,,0042,,\xE9t\xE9,,");
}

}  // namespace
}  // namespace skedora
