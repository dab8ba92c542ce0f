// The time-entry mask on arbitrary texts and key sequences: the length never changes, the caret
// stays within the text, colons and characters past the eighth are never touched, and a single
// key typed into a valid time of day keeps it valid.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/time_entry_mask.h"

namespace {
bool IsDigitPosition(std::size_t index) {  // index counts from 0
    return index < 8 && index != 2 && index != 5;
}

bool IsValidTime(const std::string& t) {
    auto two = [&](std::size_t at, int max) {
        return t[at] >= '0' && t[at] <= '9' && t[at + 1] >= '0' && t[at + 1] <= '9' &&
               (t[at] - '0') * 10 + (t[at + 1] - '0') <= max;
    };
    return t.size() == 8 && t[2] == ':' && t[5] == ':' && two(0, 23) && two(3, 59) && two(6, 59);
}

/** A byte as the typed character: bytes from 0xF0 on stand for characters beyond 8 bits. */
char32_t KeyOf(std::uint8_t byte) {
    return byte >= 0xF0 ? static_cast<char32_t>(0x100 + byte * 97) : byte;
}
}  // namespace

// Input: one byte for the text's length (0..15), the text, then keys of three bytes each:
// character, caret, selection length (both signed, so out-of-range values are tried as well).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::size_t length = data[0] % 16;
    std::size_t at = 1;
    length = std::min(length, size - at);
    std::string text(reinterpret_cast<const char*>(data + at), length);
    at += length;

    for (; at + 3 <= size; at += 3) {
        const char32_t key = KeyOf(data[at]);
        const int caret = static_cast<std::int8_t>(data[at + 1]);
        const int selection = static_cast<std::int8_t>(data[at + 2]);
        const skedora::TimeKeyResult result = skedora::ApplyTimeKey(text, key, caret, selection);

        if (result.text.size() != text.size() || result.caret < 0 ||
            static_cast<std::size_t>(result.caret) > text.size()) {
            std::abort();
        }
        std::size_t changed = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (result.text[i] == text[i]) {
                continue;
            }
            ++changed;
            if (!IsDigitPosition(i) || result.text[i] < '0' || result.text[i] > '9') {
                std::abort();
            }
        }
        const bool typedDigit = key >= U'0' && key <= U'9';
        if (!typedDigit && key != skedora::kBackspace && changed != 0) {
            std::abort();
        }
        // The fill: a selection typed over with 0, 1 or 2; it alone may change several digits.
        const int start = std::clamp(caret, 0, static_cast<int>(text.size()));
        const bool fill = std::clamp(selection, 0, static_cast<int>(text.size()) - start) > 0 &&
                          key >= U'0' && key <= U'2';
        if (!fill && changed > 1) {
            std::abort();
        }
        if (!fill && IsValidTime(text) && !IsValidTime(result.text)) {
            std::abort();
        }
        text = result.text;
    }
    return 0;
}
