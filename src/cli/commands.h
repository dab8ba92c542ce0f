#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace skedora::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct ConvertOptions {
    std::filesystem::path home;
    std::optional<std::string> output;
    std::string schedule;
};

struct WatchOptions {
    std::filesystem::path home;
    double intervalSeconds = 10;
    std::optional<long> polls;
};

int RunConvert(const ConvertOptions& options);
int RunWatch(const WatchOptions& options);

/** SIGINT and SIGTERM end the commands' loops between two handlers. */
void InstallStopSignals();
/** The signal that asked to stop, 0 while none did. */
int StopSignal();
/** Sleeps up to seconds; returns early when a stop signal arrives. */
void SleepFor(double seconds);

}  // namespace skedora::cli
