// AddSubtractTime and NormalizeTimeText on arbitrary bytes: never crash, and every result of
// AddSubtractTime is a valid time of day.
#include <cstdlib>
#include <string_view>

#include "engine/time_arithmetic.h"
#include "input/csv_reader.h"

namespace {
bool IsTimeOfDay(const std::string& t) {
    auto two = [&](std::size_t at, int max) {
        return t[at] >= '0' && t[at] <= '9' && t[at + 1] >= '0' && t[at + 1] <= '9' &&
               (t[at] - '0') * 10 + (t[at + 1] - '0') <= max;
    };
    return t.size() == 8 && t[2] == ':' && t[5] == ':' && two(0, 23) && two(3, 59) && two(6, 59);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Split into time | amount | operation at the first two 0xFF bytes.
    const auto first = bytes.find('\xFF');
    const auto second = first == std::string_view::npos ? first : bytes.find('\xFF', first + 1);
    const auto time = bytes.substr(0, first);
    const auto amount = first == std::string_view::npos
                            ? std::string_view{}
                            : bytes.substr(first + 1, second - first - 1);
    const auto operation =
        second == std::string_view::npos ? std::string_view{"+"} : bytes.substr(second + 1);

    if (!IsTimeOfDay(skedora::AddSubtractTime(time, amount, operation))) {
        std::abort();
    }
    const std::string normalized = skedora::NormalizeTimeText(bytes);
    if (normalized.size() < bytes.size()) {
        std::abort();
    }
    return 0;
}
