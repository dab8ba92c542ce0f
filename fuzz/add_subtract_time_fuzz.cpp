// AddSubtractTime on arbitrary bytes: never crashes, always gives a time of day, and on plain
// digit times agrees with second-by-second arithmetic within the day.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "engine/time_arithmetic.h"

namespace {
bool IsTimeOfDay(const std::string& t) {
    auto two = [&](std::size_t at, int max) {
        return t[at] >= '0' && t[at] <= '9' && t[at + 1] >= '0' && t[at + 1] <= '9' &&
               (t[at] - '0') * 10 + (t[at + 1] - '0') <= max;
    };
    return t.size() == 8 && t[2] == ':' && t[5] == ':' && two(0, 23) && two(3, 59) && two(6, 59);
}

/** Seconds of hh?mm?ss or hh?mm (any separators, fields of two digits, not range-checked). */
std::optional<long> PlainSeconds(std::string_view t) {
    if (t.size() != 5 && t.size() != 8) {
        return std::nullopt;
    }
    long total = 0;
    const long scale[] = {3600, 60, 1};
    for (std::size_t field = 0; field * 3 < t.size(); ++field) {
        const char a = t[field * 3];
        const char b = t[field * 3 + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9') {
            return std::nullopt;
        }
        total += ((a - '0') * 10 + (b - '0')) * scale[field];
    }
    return total;
}

std::string TimeText(long seconds) {
    auto two = [](long v) { return std::string{char('0' + v / 10), char('0' + v % 10)}; };
    return two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}
}  // namespace

// Input: time, amount and operation, separated by the first two 0xFF bytes (operation "+" when
// there is no second separator).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto first = bytes.find('\xFF');
    const auto second = first == std::string_view::npos ? first : bytes.find('\xFF', first + 1);
    const auto time = bytes.substr(0, first);
    const auto amount = first == std::string_view::npos
                            ? std::string_view{}
                            : bytes.substr(first + 1, second - first - 1);
    const auto operation =
        second == std::string_view::npos ? std::string_view{"+"} : bytes.substr(second + 1);

    const std::string result = skedora::AddSubtractTime(time, amount, operation);
    if (!IsTimeOfDay(result)) {
        std::abort();
    }
    const auto t1 = PlainSeconds(time);
    const auto t2 = PlainSeconds(amount);
    if (t1 && t2 && (operation == "+" || operation == "-")) {
        const long t = operation == "+" ? *t1 + *t2 : *t1 - *t2;
        const std::string expected = t < 0 || t >= 24 * 3600 ? "00:00:00" : TimeText(t);
        if (result != expected) {
            std::abort();
        }
    }
    return 0;
}
