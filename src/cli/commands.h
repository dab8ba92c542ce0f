#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/application.h"
#include "app/manual_timer.h"
#include "os/posix_file_system.h"
#include "os/system_clock.h"

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

/** What the application needs around it, without a window. */
struct HeadlessPorts {
    ManualTimer conversionTimer;
    ManualTimer watchTimer;
    PosixFileSystem files;
    SystemClock clock;

    Ports For(JobObserver& observer) {
        return {conversionTimer, watchTimer, files, clock, observer};
    }
};

/** SIGINT and SIGTERM end the commands' loops between two handlers. */
void InstallStopSignals();
/** The signal that asked to stop, 0 while none did. */
int StopSignal();
/** Set once a stop signal arrived: a running read ends promptly. */
const std::atomic<bool>* StopFlag();

/** A problem that belongs to no job, as one line on standard error. */
void PrintProblem(const Error& problem);
/** The warning for lines of a CSV schedule that were not events; nothing for none. */
void PrintIgnoredLinesWarning(std::string_view file, int lines);

}  // namespace skedora::cli
