#include "engine/time_arithmetic.h"

#include <cmath>
#include <cstdint>

#include "model/text.h"

namespace skedora {

namespace {

constexpr const char* kFailure = "00:00:00";
constexpr std::int64_t kFramesPerHour = 108000;
constexpr std::int64_t kFramesPerMinute = 1800;
constexpr std::int64_t kFramesPerSecond = 30;

/**
 * The two characters at the position, read as a leading number and rounded half to even.
 * Positions past the end of the text (the frames of an eight-character time) read as 0.
 */
std::int64_t TwoCharacterField(std::string_view text, std::size_t position) {
    if (position >= text.size()) {
        return 0;
    }
    return static_cast<std::int64_t>(std::nearbyint(LeadingNumber(text.substr(position, 2))));
}

/** The time as a count of frames; the fields are not range-checked, so 75 minutes count. */
std::int64_t Frames(std::string_view text) {
    return kFramesPerHour * TwoCharacterField(text, 0) +
           kFramesPerMinute * TwoCharacterField(text, 3) +
           kFramesPerSecond * TwoCharacterField(text, 6) + TwoCharacterField(text, 9);
}

void AppendTwoDigits(std::string& out, std::int64_t value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string AddSubtractTime(std::string_view time, std::string_view amount,
                            std::string_view operation) {
    std::string fullTime(time);
    std::string fullAmount(amount);
    if (fullTime.size() == 5) {
        fullTime += ":00";
    }
    if (fullAmount.size() == 5) {
        fullAmount += ":00";
    }
    if (fullTime.size() != 8 || fullAmount.size() != 8 || operation.size() != 1) {
        return kFailure;
    }
    const std::int64_t first = Frames(fullTime);
    const std::int64_t second = Frames(fullAmount);
    std::int64_t total = 0;
    const std::string_view op = TrimSpaces(operation);
    if (op == "-") {
        if (first < second) {
            return kFailure;
        }
        total = first - second;
    } else if (op == "+") {
        total = first + second;
    } else {
        return kFailure;
    }
    // Only negative fields can make the total negative; such a time reads as midnight.
    if (total < 0) {
        total = 0;
    }
    const std::int64_t hours = total / kFramesPerHour;
    const std::int64_t minutes = total % kFramesPerHour / kFramesPerMinute;
    const std::int64_t seconds = total % kFramesPerMinute / kFramesPerSecond;
    if (hours > 23) {
        return kFailure;
    }
    std::string result;
    result.reserve(8);
    AppendTwoDigits(result, hours);
    result += ':';
    AppendTwoDigits(result, minutes);
    result += ':';
    AppendTwoDigits(result, seconds);
    return result;
}

}  // namespace skedora
