#include <signal.h>

#include <atomic>

#include "cli/commands.h"

namespace skedora::cli {

namespace {
// The one place signal handlers can reach: the program's stop request.
volatile sig_atomic_t g_stopSignal = 0;
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void OnStopSignal(int signal) {
    g_stopSignal = signal;
    g_stopRequested.store(true);
}
}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: a sleep ends at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int StopSignal() {
    return g_stopSignal;
}

const std::atomic<bool>* StopFlag() {
    return &g_stopRequested;
}

}  // namespace skedora::cli
