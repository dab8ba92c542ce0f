// The hh:mm:ss mask of the time boxes is plain code; the window only feeds it keys.
#include "ui/time_entry_mask.h"

#include <gtest/gtest.h>

namespace skedora {
namespace {

TEST(TimeEntryMask, TypedKeysKeepAValidTime) {
    // The text, caret and selection length, the key typed: the new text and caret.
    const std::tuple<const char*, int, int, char32_t, const char*, int> cases[] = {
        // 1, 2, 3, 0, 4, 5 typed into 00:00:00: the caret jumps over both colons, then stays.
        {"00:00:00", 0, 0, '1', "10:00:00", 1},
        {"10:00:00", 1, 0, '2', "12:00:00", 3},
        {"12:00:00", 3, 0, '3', "12:30:00", 4},
        {"12:30:00", 4, 0, '0', "12:30:00", 6},
        {"12:30:40", 7, 0, '5', "12:30:45", 8},
        {"12:30:45", 8, 0, '7', "12:30:47", 8},
        // Hours above 23, minutes and seconds above 59 are refused.
        {"05:00:00", 0, 0, '2', "05:00:00", 0},
        {"20:00:00", 1, 0, '4', "20:00:00", 1},
        {"20:00:00", 1, 0, '3', "23:00:00", 3},
        {"12:34:56", 3, 0, '6', "12:34:56", 3},
        {"12:34:56", 2, 0, '5', "12:54:56", 4},
        // Backspace writes 0 before the caret, also from behind a colon; a selection is ignored.
        {"12:34:56", 8, 0, kBackspace, "12:34:50", 7},
        {"12:34:56", 3, 0, kBackspace, "12:04:56", 2},
        {"12:34:56", 0, 0, kBackspace, "02:34:56", 0},
        {"12:34:56", 0, 8, kBackspace, "02:34:56", 0},
        // 0, 1 or 2 over a selection fills it unchecked; another digit is a single key.
        {"12:34:56", 0, 8, '2', "22:22:22", 0},
        {"12:34:56", 0, 8, '5', "12:34:56", 0},
        {"05:00:00", 0, 1, '2', "25:00:00", 0},
        {"12:34:56", 2, 3, '1', "12:11:56", 3},
        {"12:34:56", 5, 3, '0', "12:34:00", 6},
        {"12:34:56", 3, 2, '4', "12:44:56", 4},
        // Refused: letters, blanks, clipboard keys, other scripts' digits; a selection is dropped.
        {"12:34:56", 4, 0, 'a', "12:34:56", 4},
        {"12:34:56", 4, 0, 22, "12:34:56", 4},
        {"12:34:56", 1, 4, 24, "12:34:56", 1},
        {"12:34:56", 0, 0, 0x661, "12:34:56", 0},
        // Odd texts and carets: the length never changes, the caret stays within the text.
        {"1:00:00", 7, 0, '5', "1:00:00", 7},
        {"", 0, 0, '1', "", 0},
        {"12:34:56", 40, 0, '1', "12:34:51", 8},
    };
    for (const auto& [text, caret, selection, key, newText, newCaret] : cases) {
        const TimeKeyResult result = ApplyTimeKey(text, key, caret, selection);
        EXPECT_EQ(result, (TimeKeyResult{newText, newCaret}))
            << text << " caret " << caret << " selection " << selection << " key "
            << static_cast<unsigned>(key) << " gave " << result.text << " caret " << result.caret;
    }
}

}  // namespace
}  // namespace skedora
