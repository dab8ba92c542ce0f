#pragma once

#include <chrono>

#include "model/local_date_time.h"

namespace skedora {

/** The clock: the local date and time for output names, and "now" to age files by. */
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime LocalNow() const = 0;
    virtual std::chrono::system_clock::time_point Now() const = 0;
};

}  // namespace skedora
