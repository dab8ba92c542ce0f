#include "app/ignored_lines.h"

namespace skedora {

std::string GroupedCount(long long count) {
    const bool negative = count < 0;
    std::string digits = std::to_string(negative ? -count : count);
    for (auto at = static_cast<long long>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return negative ? "-" + digits : digits;
}

std::string IgnoredLinesWarning(std::string_view file, int lines) {
    if (lines <= 0) {
        return {};
    }
    return GroupedCount(lines) + (lines == 1 ? " line of " : " lines of ") + std::string(file) +
           (lines == 1 ? " was" : " were") + " ignored: fewer than 18 fields";
}

std::string IgnoredLinesNote(int lines) {
    if (lines <= 0) {
        return {};
    }
    return GroupedCount(lines) + (lines == 1 ? " line" : " lines") +
           " ignored: fewer than 18 fields";
}

}  // namespace skedora
