#include "model/local_date_time.h"

#include <cstdio>

namespace skedora {

std::string FormatDatePrefix(const LocalDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", time.year, time.month, time.day,
                  time.hour, time.minute, time.second);
    return text;
}

}  // namespace skedora
