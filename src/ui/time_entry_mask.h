#pragma once

#include <string>
#include <string_view>

namespace skedora {

/** A time box's text and caret after one typed key. */
struct TimeKeyResult {
    std::string text;
    int caret = 0;
    bool operator==(const TimeKeyResult&) const = default;
};

inline constexpr char32_t kBackspace = 8;

/**
 * The time-entry mask of the hh:mm:ss boxes: what the text and caret become when character is
 * typed with the caret at caret (characters before it) and selectionLength characters selected.
 * A digit overwrites the digit after the caret and the caret jumps over colons; Backspace writes
 * "0" before the caret and moves back. Hours above 23 and minutes or seconds above 59 are refused
 * as typed; a selection typed over with "0", "1" or "2" fills every selected digit without checks.
 * A refused key leaves the text as it was with the caret at caret. The length never changes, and
 * the caret returned lies within the text.
 */
TimeKeyResult ApplyTimeKey(std::string_view text, char32_t character, int caret,
                           int selectionLength);

}  // namespace skedora
