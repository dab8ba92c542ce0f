#include "model/text_1252.h"

#include <gtest/gtest.h>

#include <set>

namespace skedora {
namespace {

// The one table both the window and the audit read bytes through (the audit's UTF-8 is checked
// in tests/app/rule_audit_test.cpp).
TEST(Text1252, EveryByteIsItsOwnCharacter) {
    std::set<char32_t> seen;
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t c = UnicodeOf1252(static_cast<unsigned char>(byte));
        EXPECT_TRUE(seen.insert(c).second) << "byte " << byte << " shares its character";
        if (byte < 0x80 || byte >= 0xA0) {
            EXPECT_EQ(c, static_cast<char32_t>(byte));
        }
    }
    const std::pair<unsigned char, char32_t> high[] = {
        {0x80, U'\u20AC'}, {0x81, U'\u0081'}, {0x8A, U'\u0160'}, {0x8D, U'\u008D'},
        {0x8F, U'\u008F'}, {0x90, U'\u0090'}, {0x93, U'\u201C'}, {0x94, U'\u201D'},
        {0x96, U'\u2013'}, {0x99, U'\u2122'}, {0x9D, U'\u009D'}, {0x9F, U'\u0178'}};
    for (const auto& [byte, character] : high) {
        EXPECT_EQ(UnicodeOf1252(byte), character) << static_cast<int>(byte);
    }
}

}  // namespace
}  // namespace skedora
