#include "ui/qt_timer.h"

namespace skedora {

void QtTimer::SetEnabled(bool enabled) {
    // Enabling an enabled timer leaves its rhythm alone; QTimer::start would restart it.
    if (enabled && !m_timer.isActive()) {
        m_timer.start();
    } else if (!enabled) {
        m_timer.stop();
    }
}

}  // namespace skedora
