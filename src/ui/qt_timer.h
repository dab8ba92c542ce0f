#pragma once

#include <QTimer>

#include "app/ports.h"

namespace skedora {

/** The core's timer on a QTimer: enabled is active; ticks are the QTimer's timeouts. */
class QtTimer : public Timer {
  public:
    explicit QtTimer(QTimer& timer) : m_timer(timer) {}

    bool IsEnabled() const override { return m_timer.isActive(); }
    void SetEnabled(bool enabled) override;
    int Interval() const override { return m_timer.interval(); }
    void SetInterval(int milliseconds) override { m_timer.setInterval(milliseconds); }

  private:
    QTimer& m_timer;
};

}  // namespace skedora
