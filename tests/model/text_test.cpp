#include "model/text.h"

#include <gtest/gtest.h>

namespace skedora {
namespace {

TEST(TextKey, TrimsSpacesAndUpperCasesAsWindows1252) {
    EXPECT_EQ(TextKey(" wabc-hd "), "WABC-HD");
    EXPECT_EQ(TextKey("\t\xE9t\xE9"), "\t\xC9T\xC9");  // été; tabs are not trimmed
    EXPECT_EQ(TextKey("\xF7\xDF\x9A\x9C\x9E\xFF"), "\xF7\xDF\x8A\x8C\x8E\x9F");  // ÷ ß: no capital
}

TEST(LeadingNumber, TakesTheLongestLeadingDecimalNumber) {
    const std::pair<const char*, double> cases[] = {
        {"  12  ", 12}, {"12abc", 12}, {"abc", 0}, {"", 0},      {"-7", -7},      {"+3", 3},
        {".5", 0.5},    {"1e3", 1000}, {"1e", 1},  {"1e+x", 1},  {"- 5", 0},      {"40,000", 40},
        {"\t9", 9},     {"12 34", 12}, {"-", 0},   {"0042", 42}, {"1.5E-1", 0.15}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(LeadingNumber(text), value) << text;
    }
}

}  // namespace
}  // namespace skedora
