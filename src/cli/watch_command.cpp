#include <iostream>

#include "cli/commands.h"
#include "model/error.h"

namespace skedora::cli {

namespace {
/** One line on standard output per job started, finished or failed. */
class JobPrinter : public JobObserver {
  public:
    void JobStarted(const std::string& input, const std::string& output, int /*events*/) override {
        std::cout << "started " << input << " -> " << output << std::endl;
    }
    void JobEnded(const JobReport& report) override {
        if (report.failure) {
            std::cout << "failed " << report.input << " -> " << report.output << ": "
                      << ErrorBoxText(*report.failure) << std::endl;
            return;
        }
        std::cout << "finished " << report.input << " -> " << report.output << ": " << report.read
                  << " read, " << report.skipped << " skipped, " << report.deleted << " deleted, "
                  << report.written << " written" << std::endl;
        if (!report.sourceKept.empty()) {
            std::cout << "kept " << report.input << ": " << report.sourceKept << std::endl;
        }
    }
    void ProblemReported(const Error& problem) override { PrintProblem(problem); }
    void JobSetUpFailed(const std::string& input, const Error& error) override {
        std::cout << "failed " << input << ": " << ErrorBoxText(error) << std::endl;
    }
};

constexpr auto kBurst = std::chrono::milliseconds(10);
}  // namespace

int RunWatch(const WatchOptions& options) {
    using Clock = std::chrono::steady_clock;
    HeadlessPorts ports;
    JobPrinter printer;
    Application app(options.home, ports.For(printer));
    app.SetStopFlag(StopFlag());
    if (const auto error = app.StartUp()) {
        std::cerr << ErrorBoxText(*error) << std::endl;
        return kExitFailure;
    }
    const auto interval = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(options.intervalSeconds));
    ports.watchTimer.SetInterval(
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(interval).count()));

    long polls = 0;
    auto nextPoll = Clock::now() + interval;
    while (StopSignal() == 0) {
        const bool limitReached = options.polls && polls >= *options.polls;
        if (limitReached && !app.IsJobRunning()) {
            return kExitSuccess;
        }
        if (app.IsJobRunning()) {
            app.RunConversionBurst(kBurst);
        }
        // With no interval, the next poll waits only for the running job to end.
        const bool due = interval.count() == 0 ? !app.IsJobRunning() : Clock::now() >= nextPoll;
        if (due && !limitReached && ports.watchTimer.IsEnabled()) {
            app.PollWatchFolder();
            ++polls;
            nextPoll = Clock::now() + interval;
            continue;
        }
        if (!app.IsJobRunning()) {
            SleepFor(std::chrono::duration<double>(nextPoll - Clock::now()).count());
        }
    }
    // Stopped by a signal: a running job keeps the lines written so far.
    app.CloseOpenFiles();
    return kExitSuccess;
}

}  // namespace skedora::cli
