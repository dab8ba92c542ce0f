#include "engine/cp2_line.h"

#include <gtest/gtest.h>

#include <functional>

namespace skedora {
namespace {

TEST(FormatEventLine, WritesTheWorkedExampleByteForByte) {
    // In the record's order, the From pair (5, WXYZ) before the To pair (12, WABC-HD).
    const ScheduleRecord event{3,   "03/05/2024", "TUE",  "10:00:00", "11:30:00", " NEWS AT TEN",
                               "X", "",           "Y",    "  ",       5,          "WXYZ ",
                               12,  "WABC-HD",    "0042", "NORTH",    "",         "add"};
    EXPECT_EQ(FormatEventLine(event, "WEEK1.CSV"),
              "3,03/05/2024,TUE,10:00:00,11:30:00,NEWS AT TEN,*,,*,ADD From: WEEK1.CSV,12,"
              "WABC-HD,5,WXYZ,0042,NORTH,,add,");
}

TEST(FormatEventLine, TrimsTextsMarksFieldsAndFallsBackToTheActionMarker) {
    using E = ScheduleRecord&;
    const struct {
        std::function<void(E)> set;
        const char* line;
    } cases[] = {
        {[](E e) { e.fchnm_hd = "WXYZ"; }, "0,,,,,,,,,,0,,0,WXYZ,,,,,"},
        {[](E e) { e.U2 = " Remv "; }, "0,,,,,,,,,REMV From: WEEK1.CSV,0,,0,,,,,Remv,"},
        {[](E e) { e.U2 = "ADD", e.comments = " note "; }, "0,,,,,,,,,note,0,,0,,,,,ADD,"},
        {[](E e) { e.U2 = "ADDED"; }, "0,,,,,,,,,,0,,0,,,,,ADDED,"},
        {[](E e) { e.U2 = "\tADD"; }, "0,,,,,,,,,,0,,0,,,,,\tADD,"},
        {[](E e) { e.mon_beg = "   ", e.mon_end = "\t", e.hidef = "a, b"; },
         "0,,,,,,,*,*,,0,,0,,,,,,"},
        {[](E e) { e.day = -1, e.toch = 32767, e.fch = -32768; },
         "-1,,,,,,,,,,32767,,-32768,,,,,,"},
        {[](E e) { e.pgm = "A, \"B\"", e.co = " 0042 ", e.U1 = "\xE9t\xE9"; },
         "0,,,,,A, \"B\",,,,,0,,0,,0042,,\xE9t\xE9,,"},
    };
    for (const auto& c : cases) {
        ScheduleRecord event;
        c.set(event);
        EXPECT_EQ(FormatEventLine(event, "WEEK1.CSV"), c.line);
    }
}

}  // namespace
}  // namespace skedora
