#include "ui/time_entry_mask.h"

#include <algorithm>

namespace skedora {

namespace {
// Positions count from 1, as in the template hh:mm:ss; the colons are at 3 and 6.
bool IsDigitPosition(int position) {
    return position >= 1 && position <= 8 && position != 3 && position != 6;
}

bool IsDigit(char32_t character) {
    return character >= U'0' && character <= U'9';
}

// The value of the character at a position: 0 when it is not a digit or lies beyond the text.
int DigitAt(std::string_view text, int position) {
    if (position < 1 || static_cast<std::size_t>(position) > text.size()) {
        return 0;
    }
    const char c = text[static_cast<std::size_t>(position - 1)];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

void SetAt(std::string& text, int position, char32_t digit) {
    if (position >= 1 && static_cast<std::size_t>(position) <= text.size()) {
        text[static_cast<std::size_t>(position - 1)] = static_cast<char>(digit);
    }
}

bool RefusedAt(std::string_view text, int position, char32_t digit) {
    switch (position) {
        case 1:
            return digit > U'2' || (DigitAt(text, 2) > 3 && digit > U'1');
        case 2:
            return DigitAt(text, 1) == 2 && digit > U'3';
        case 4:
        case 7:
            return digit > U'5';
        default:
            return false;
    }
}

TimeKeyResult Result(std::string text, int caret) {
    const int length = static_cast<int>(text.size());
    return {std::move(text), std::clamp(caret, 0, length)};
}
}  // namespace

TimeKeyResult ApplyTimeKey(std::string_view text, char32_t character, int caret,
                           int selectionLength) {
    std::string result(text);
    // A caret or selection outside the text (never given by a text box) is taken at its edge.
    const int length = static_cast<int>(result.size());
    caret = std::clamp(caret, 0, length);
    selectionLength = std::clamp(selectionLength, 0, length - caret);

    if (selectionLength > 0 && character >= U'0' && character <= U'2') {
        const int last = std::min(caret + selectionLength, 8);
        for (int position = std::max(caret + 1, 1); position <= last; ++position) {
            if (IsDigitPosition(position)) {
                SetAt(result, position, character);
            }
        }
        int newCaret = caret;
        if (newCaret == 2 || newCaret == 5) {
            ++newCaret;
        }
        return Result(std::move(result), newCaret);
    }

    const bool backwards = character == kBackspace;
    int position = backwards ? caret : caret + 1;
    const char32_t digit = backwards ? U'0' : character;
    position = std::clamp(position, 1, 8);
    if (position == 3 || position == 6) {
        ++position;
    }
    if (!IsDigit(digit) || RefusedAt(result, position, digit)) {
        return Result(std::move(result), caret);
    }
    SetAt(result, position, digit);

    int newCaret = position;
    if (backwards) {
        newCaret = position - 1;
        if (newCaret == 3 || newCaret == 6) {
            --newCaret;
        }
    } else if (newCaret == 2 || newCaret == 5) {
        ++newCaret;
    }
    return Result(std::move(result), newCaret);
}

}  // namespace skedora
