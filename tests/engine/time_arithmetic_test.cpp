#include "engine/time_arithmetic.h"

#include <gtest/gtest.h>

namespace skedora {
namespace {

struct TimeCase {
    const char* time;
    const char* amount;
    const char* operation;
    const char* result;
};

void ExpectAll(std::initializer_list<TimeCase> cases) {
    for (const TimeCase& c : cases) {
        EXPECT_EQ(AddSubtractTime(c.time, c.amount, c.operation), c.result)
            << '"' << c.time << "\" " << c.operation << " \"" << c.amount << '"';
    }
}

TEST(AddSubtractTime, AddsAndSubtractsWithinTheDay) {
    ExpectAll({{"10:00:00", "00:30:00", "+", "10:30:00"},
               {"10:00:00", "00:30:00", "-", "09:30:00"},
               {"23:59:59", "00:00:00", "+", "23:59:59"},
               {"23:59:30", "00:00:29", "+", "23:59:59"},
               {"00:59:59", "00:00:01", "+", "01:00:00"},
               {"01:02:03", "00:00:00", "-", "01:02:03"},
               {"12:00:00", "11:59:59", "-", "00:00:01"},
               {"00:30:00", "00:30:00", "-", "00:00:00"}});
}

TEST(AddSubtractTime, AcceptsTheShortFormOfEitherText) {
    ExpectAll({{"10:30", "01:00:00", "+", "11:30:00"},
               {"10:30:00", "01:00", "-", "09:30:00"},
               {"10:30", "01:00", "+", "11:30:00"}});
}

TEST(AddSubtractTime, CarriesFieldsOutsideTheirUsualRange) {
    ExpectAll({{"00:75:90", "00:00:00", "+", "01:16:30"},
               {"00:00:99", "00:99:00", "+", "01:40:39"},
               {"10-30-00", "00 30 00", "+", "11:00:00"},    // separators are not examined
               {" 9: 5: 1", "00:00:00", "+", "09:05:01"},    // a blank before a digit is ignored
               {"1a:2b:3c", "00:00:00", "+", "01:02:03"},    // reading stops at the first letter
               {"ab:cd:ef", "01:00:00", "+", "01:00:00"},    // no digits read as 0
               {".5:.5:.5", "00:00:00", "+", "00:00:00"},    // a half rounds to the even 0
               {"-1:90:00", "00:00:00", "+", "00:30:00"}});  // minus one hour plus 90 minutes
}

TEST(AddSubtractTime, GivesMidnightForEveryFailure) {
    ExpectAll({{"23:30:00", "01:00:00", "+", "00:00:00"},  // past midnight: no wrap-around
               {"99:00:00", "00:00:00", "+", "00:00:00"},
               {"00:10:00", "00:30:00", "-", "00:00:00"},  // below zero
               {"-1:00:00", "00:00:00", "+", "00:00:00"},  // a negative total
               {"9:30", "00:30:00", "+", "00:00:00"},      // four characters
               {"9:30:00", "00:30:00", "+", "00:00:00"},   // seven characters
               {"", "00:30:00", "+", "00:00:00"},
               {"10:00:00 ", "00:30:00", "+", "00:00:00"},  // trailing blank: nine characters
               {"10:00:00", "0:30:00", "+", "00:00:00"},
               {"10:00:00", "", "-", "00:00:00"},
               {"10:00:00", "00:30:00", "*", "00:00:00"},
               {"10:00:00", "00:30:00", "", "00:00:00"},
               {"10:00:00", "00:30:00", " ", "00:00:00"},
               {"10:00:00", "00:30:00", "++", "00:00:00"},
               {"10:00:00", "00:30:00", " +", "00:00:00"}});
}

}  // namespace
}  // namespace skedora
