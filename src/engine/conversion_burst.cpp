#include "engine/conversion_burst.h"

#include "engine/application.h"

namespace skedora {

int RunConversionBurst(Application& app, std::chrono::milliseconds budget) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + budget;
    int ticks = 0;
    while (app.IsJobRunning()) {
        app.ConversionTick();
        ++ticks;
        // Reading the clock costs little next to a tick, but need not happen on every one.
        if (ticks % 16 == 0 && Clock::now() >= deadline) {
            break;
        }
    }
    return ticks;
}

}  // namespace skedora
