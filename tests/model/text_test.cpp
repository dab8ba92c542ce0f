#include "model/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "model/error.h"

namespace skedora {
namespace {

TEST(TrimSpaces, RemovesSpacesOnlyNotTabs) {
    EXPECT_EQ(TrimSpaces("  KABC  "), "KABC");
    EXPECT_EQ(TrimSpaces("\tKABC\t"), "\tKABC\t");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces(""), "");
}

TEST(TextKey, UpperCasesAsWindows1252) {
    EXPECT_EQ(TextKey(" wabc-hd "), "WABC-HD");
    EXPECT_EQ(TextKey("\xE9t\xE9"), "\xC9T\xC9");  // été
    EXPECT_EQ(TextKey("\xF7\xDF"), "\xF7\xDF");    // ÷ and ß have no capital
    EXPECT_EQ(TextKey("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
}

TEST(LeadingNumber, TakesTheLongestLeadingDecimalNumber) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"12", 12},   {"  12  ", 12}, {"12abc", 12},   {"abc", 0},
                          {"", 0},      {"0042", 42},   {"-7", -7},      {"+3", 3},
                          {"2.5", 2.5}, {".5", 0.5},    {"1e3", 1000},   {"1e", 1},
                          {"1e+x", 1},  {"-", 0},       {"- 5", 0},      {"40,000", 40},
                          {"\t9", 9},   {"12 34", 12},  {"1.5E-1", 0.15}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumber(c.text), c.value) << c.text;
    }
}

TEST(LeadingNumber, GivesExactlyTheValueStrtodGives) {
    std::vector<std::string> texts = {"0.1",
                                      "0.3",
                                      "-0",
                                      "-0.0",
                                      "123456789012345",
                                      "1234567890123456",
                                      "9007199254740993",
                                      "0.000000000000001",
                                      "99999.99999",
                                      "3.14159265358979",
                                      "1.7976931348623157e308",
                                      "2.5e-3",
                                      "000000000000000000001"};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text = random() % 2 ? "-" : "";
        const std::size_t length = 1 + random() % 20;
        const std::size_t point = random() % (length + 1);
        for (std::size_t d = 0; d < length; ++d) {
            text += d == point ? '.' : static_cast<char>('0' + random() % 10);
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        const double expected = std::strtod(text.c_str(), nullptr);
        const double value = LeadingNumber(text);
        EXPECT_EQ(value, expected) << text;
        EXPECT_EQ(std::signbit(value), std::signbit(expected)) << text;
    }
}

TEST(RoundToInt16, RoundsHalfToEvenWithinSixteenBits) {
    EXPECT_EQ(RoundToInt16(2.5), 2);
    EXPECT_EQ(RoundToInt16(3.5), 4);
    EXPECT_EQ(RoundToInt16(-2.5), -2);
    EXPECT_EQ(RoundToInt16(2.6), 3);
    EXPECT_EQ(RoundToInt16(32767.4), 32767);
    EXPECT_EQ(RoundToInt16(-32768), -32768);
    EXPECT_EQ(RoundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(RoundToInt16(40000), std::nullopt);
    EXPECT_EQ(RoundToInt16(std::numeric_limits<double>::infinity()), std::nullopt);
}

TEST(HasExtension, IgnoresLetterCase) {
    EXPECT_TRUE(HasExtension("week1.Csv", ".CSV"));
    EXPECT_TRUE(HasExtension("WEEK1.DBF", ".dbf"));
    EXPECT_FALSE(HasExtension("week1.csv.bak", ".CSV"));
    EXPECT_FALSE(HasExtension("SV", ".CSV"));
}

TEST(ErrorBoxText, PutsABlankInThePlaceOfThePlusSign) {
    EXPECT_EQ(ErrorBoxText(errors::FileNotFound()),
              "Error! (File not found).  Error number =  53.  Error Source = Skedora");
    EXPECT_EQ(ErrorBoxText(Error{-5, "Odd", "Other"}),
              "Error! (Odd).  Error number = -5.  Error Source = Other");
}

}  // namespace
}  // namespace skedora
