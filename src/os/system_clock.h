#pragma once

#include "os/clock.h"

namespace skedora {

/** The machine's clock, in local time. */
class SystemClock : public Clock {
  public:
    LocalDateTime LocalNow() const override;
    std::chrono::system_clock::time_point Now() const override;
};

}  // namespace skedora
