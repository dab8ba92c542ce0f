#include "engine/time_arithmetic.h"

#include <gtest/gtest.h>

namespace skedora {
namespace {

TEST(AddSubtractTime, WorksWithinTheDayAndGivesMidnightForEveryFailure) {
    // Fields carry; separators are not examined, a blank before a digit is ignored, reading stops
    // at the first letter, a text without digits is 0, halves round to even. Failures: past
    // midnight, below zero, a text of another length, another operation.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"10:00:00", "+", "00:30:00", "10:30:00"},  {"10:00:00", "-", "00:30:00", "09:30:00"},
        {"23:59:30", "+", "00:00:29", "23:59:59"},  {"00:59:59", "+", "00:00:01", "01:00:00"},
        {"01:02:03", "-", "00:00:00", "01:02:03"},  {"00:30:00", "-", "00:30:00", "00:00:00"},
        {"10:30", "+", "01:00", "11:30:00"},        {"00:75:90", "+", "00:99:00", "02:55:30"},
        {"10-30-00", "+", "00 30 00", "11:00:00"},  {" 9: 5: 1", "+", "00:00:00", "09:05:01"},
        {"1a:2b:3c", "+", "00:00:00", "01:02:03"},  {"ab:cd:ef", "+", "01:00:00", "01:00:00"},
        {".5:.5:.5", "+", "00:00:00", "00:00:00"},  {"-1:90:00", "+", "00:00:00", "00:30:00"},
        {"23:30:00", "+", "01:00:00", "00:00:00"},  {"00:10:00", "-", "00:30:00", "00:00:00"},
        {"-1:00:00", "+", "00:00:00", "00:00:00"},  {"9:30", "+", "00:30:00", "00:00:00"},
        {"9:30:00", "+", "00:30:00", "00:00:00"},   {"", "+", "00:30:00", "00:00:00"},
        {"10:00:00 ", "+", "00:30:00", "00:00:00"}, {"10:00:00", "+", "0:30:00", "00:00:00"},
        {"10:00:00", "-", "", "00:00:00"},          {"10:00:00", "*", "00:30:00", "00:00:00"},
        {"10:00:00", "", "00:30:00", "00:00:00"},   {"10:00:00", "++", "00:30:00", "00:00:00"},
        {"10:00:00", " +", "00:30:00", "00:00:00"},
    };
    for (const auto& [time, operation, amount, result] : cases) {
        EXPECT_EQ(AddSubtractTime(time, amount, operation), result)
            << '"' << time << "\" " << operation << " \"" << amount << '"';
    }
}

}  // namespace
}  // namespace skedora
