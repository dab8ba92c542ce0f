#include "model/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace skedora {
namespace {

TEST(TextKey, TrimsSpacesAndUpperCasesAsWindows1252) {
    EXPECT_EQ(TextKey(" wabc-hd "), "WABC-HD");
    EXPECT_EQ(TextKey("\t\xE9t\xE9"), "\t\xC9T\xC9");  // été; tabs are not trimmed
    EXPECT_EQ(TextKey("\xF7\xDF\x9A\x9C\x9E\xFF"), "\xF7\xDF\x8A\x8C\x8E\x9F");  // ÷ ß: no capital
}

TEST(LeadingNumber, TakesTheLongestLeadingDecimalNumberExactlyAsStrtod) {
    const std::pair<const char*, double> cases[] = {
        {"  12  ", 12}, {"12abc", 12}, {"abc", 0}, {"", 0},      {"-7", -7},      {"+3", 3},
        {".5", 0.5},    {"1e3", 1000}, {"1e", 1},  {"1e+x", 1},  {"- 5", 0},      {"40,000", 40},
        {"\t9", 9},     {"12 34", 12}, {"-", 0},   {"0042", 42}, {"1.5E-1", 0.15}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(LeadingNumber(text), value) << text;
    }
    // The number reading is hand-made for speed; it must round exactly as strtod does.
    std::vector<std::string> texts = {"-0", "0.1", "2.5e-3", "1.7976931348623157e308"};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        const std::size_t length = 1 + random() % 20, point = random() % (length + 1);
        for (std::size_t d = 0; d < length; ++d) {
            text += d == point ? '.' : static_cast<char>('0' + random() % 10);
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(LeadingNumber(text), expected) << text;
        ASSERT_EQ(std::signbit(LeadingNumber(text)), std::signbit(expected)) << text;
    }
}

}  // namespace
}  // namespace skedora
