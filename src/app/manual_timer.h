#pragma once

#include "app/ports.h"

namespace skedora {

/** A timer without an event loop: its owner's own loop reads its state and delivers the ticks. */
class ManualTimer : public Timer {
  public:
    bool IsEnabled() const override { return m_enabled; }
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    int Interval() const override { return m_interval; }
    void SetInterval(int milliseconds) override { m_interval = milliseconds; }

  private:
    bool m_enabled = false;
    int m_interval = 0;
};

}  // namespace skedora
