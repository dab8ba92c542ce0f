#pragma once

#include <string>

namespace skedora {

/** A local date and time, as the output name prefix writes it. */
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalDateTime&) const = default;
};

/** "yyyymmddhhnnss": the 14-digit prefix of automatic output names. */
std::string FormatDatePrefix(const LocalDateTime& time);

}  // namespace skedora
