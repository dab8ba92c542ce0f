#pragma once

#include <chrono>

namespace skedora {

class Application;

/**
 * Delivers conversion ticks while the conversion timer is on, for about budget, then returns so
 * the event loop can turn. Every tick is one complete ConversionTick. The number of ticks run.
 */
int RunConversionBurst(Application& app, std::chrono::milliseconds budget);

}  // namespace skedora
