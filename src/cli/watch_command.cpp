#include <poll.h>
#include <signal.h>

#include <iostream>
#include <variant>

#include "app/ignored_lines.h"
#include "cli/commands.h"
#include "model/error.h"
#include "model/folder_text.h"
#include "model/text.h"
#include "os/folder_monitor.h"
#include "os/home_lock.h"

namespace skedora::cli {

namespace {
using Clock = std::chrono::steady_clock;

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
        // Standard output keeps its lines as scripts know them; the warning goes to stderr.
        PrintIgnoredLinesWarning(report.input, report.ignoredLines);
    }
    void ProblemReported(const Error& problem) override { PrintProblem(problem); }
    void JobSetUpFailed(const std::string& input, const Error& error) override {
        std::cout << "failed " << input << ": " << ErrorBoxText(error) << std::endl;
    }
};

constexpr auto kBurst = std::chrono::milliseconds(10);

/**
 * The watch folder's change notifications for the loop: which folder to watch follows the
 * rules, and a change sets the time of the poll that can take the new file.
 */
class Pickup {
  public:
    /** Watches the rules' folder when it changed or went away; says once why it cannot. */
    void Follow(const std::string& typedFolder) {
        if (TrimSpaces(typedFolder).empty()) {
            m_monitor.Stop();
            return;
        }
        if (const auto error = m_monitor.Watch(FolderText(typedFolder))) {
            if (error->description != m_said) {
                m_said = error->description;
                std::cerr << "skedora-cli: " << m_said << std::endl;
            }
        }
    }

    /** Takes pending changes; a change moves the pickup poll to a quiet period from now. */
    void TakeChanges() {
        if (m_monitor.TakeChanges()) {
            m_pollAt = Clock::now() + WatchFolder::kPickupDelay;
        }
    }

    /** Waits until deadline, a change in the folder or a stop signal. */
    void WaitUntil(Clock::time_point deadline) {
        if (m_pollAt && *m_pollAt < deadline) {
            deadline = *m_pollAt;
        }
        const auto rest = deadline - Clock::now();
        if (rest <= Clock::duration::zero()) {
            return;
        }
        timespec timeout{};
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(rest);
        timeout.tv_sec = static_cast<time_t>(seconds.count());
        timeout.tv_nsec = static_cast<long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(rest - seconds).count());
        pollfd watched{m_monitor.FileDescriptor(), POLLIN, 0};
        // The stop signals stay blocked from the check to the wait, so one that arrives between
        // them still ends the wait at once.
        sigset_t stops;
        sigset_t before;
        sigemptyset(&stops);
        sigaddset(&stops, SIGINT);
        sigaddset(&stops, SIGTERM);
        sigprocmask(SIG_BLOCK, &stops, &before);
        if (StopSignal() == 0) {
            const int ready = ::ppoll(&watched, watched.fd >= 0 ? 1 : 0, &timeout, &before);
            if (ready > 0) {
                sigprocmask(SIG_SETMASK, &before, nullptr);
                TakeChanges();
                return;
            }
        }
        sigprocmask(SIG_SETMASK, &before, nullptr);
    }

    /** True once the pickup poll is due; it is then forgotten. */
    bool Due() {
        if (!m_pollAt || Clock::now() < *m_pollAt) {
            return false;
        }
        m_pollAt.reset();
        return true;
    }

  private:
    FolderMonitor m_monitor;
    std::optional<Clock::time_point> m_pollAt;
    std::string m_said;
};

std::string HolderText(const LockHolder& holder) {
    if (holder.program.empty()) {
        return "another process";
    }
    return holder.program + " (process " + std::to_string(holder.pid) + ")";
}
}  // namespace

int RunWatch(const WatchOptions& options) {
    // One watcher per home: the kernel frees the lock when this process ends, however it ends.
    auto lock = HomeLock::TryAcquire(options.home, "skedora-cli");
    if (const auto* holder = std::get_if<LockHolder>(&lock)) {
        std::cerr << "skedora-cli: " << HolderText(*holder) << " already watches the folder of "
                  << options.home.string() << std::endl;
        return kExitFailure;
    }
    if (const auto* error = std::get_if<Error>(&lock)) {
        PrintProblem(*error);
        return kExitFailure;
    }

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
    Pickup pickup;
    pickup.Follow(app.Rules().AutoLoadSettings.Path);

    long polls = 0;
    // A poll that took a file: the next one comes as soon as its job ends, so a backlog drains
    // without waiting an interval per file. The first poll comes at once for the same reason.
    bool pollNext = true;
    auto nextPoll = Clock::now() + interval;
    while (StopSignal() == 0) {
        const bool limitReached = options.polls && polls >= *options.polls;
        if (limitReached && !app.IsJobRunning()) {
            return kExitSuccess;
        }
        if (app.IsJobRunning()) {
            app.RunConversionBurst(kBurst);
            pickup.TakeChanges();
            continue;
        }
        // With no interval, the next poll waits only for the running job to end.
        const bool due =
            pollNext || pickup.Due() || interval.count() == 0 || Clock::now() >= nextPoll;
        if (due && !limitReached && ports.watchTimer.IsEnabled()) {
            pollNext = app.PollWatchFolder();
            ++polls;
            nextPoll = Clock::now() + interval;
            pickup.Follow(app.Rules().AutoLoadSettings.Path);
            continue;
        }
        pickup.WaitUntil(nextPoll);
    }
    // Stopped by a signal: a running job keeps the lines written so far.
    app.CloseOpenFiles();
    return kExitSuccess;
}

}  // namespace skedora::cli
