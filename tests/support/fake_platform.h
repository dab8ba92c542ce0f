#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/manual_timer.h"
#include "os/posix_file_system.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora::test {

/**
 * The local file system, with deletions that fail and files that vanish once looked at (by
 * ModificationTime), between a poll's listing and its read. Folders list backwards by name, so
 * the order files are taken in is the program's own doing.
 */
class TestFileSystem : public PosixFileSystem {
  public:
    std::vector<FolderName> ListScheduleNames(const std::string& folder) const override;
    std::optional<std::chrono::system_clock::time_point> ModificationTime(
        const std::string& folder, const std::string& name) const override;
    MaybeError DeleteFile(const std::string& path) override;
    std::set<std::string> failingDeletes;  // paths
    std::set<std::string> vanishing;       // bare names
};

/** "now" an hour ahead of the real time, so files just written are past the quiet period. */
class FakeClock : public Clock {
  public:
    LocalDateTime LocalNow() const override { return {2024, 3, 5, 14, 7, 9}; }
    std::chrono::system_clock::time_point Now() const override { return now; }
    std::chrono::system_clock::time_point now =
        std::chrono::system_clock::now() + std::chrono::hours(1);
};

/** Records what the application reports: job reports, set-up failures as "input: number". */
class RecordingObserver : public JobObserver {
  public:
    void JobPreparing(const std::string& input, const std::string& output) override {
        prepared.push_back(input + " -> " + output);
    }
    void JobEnded(const JobReport& report) override { reports.push_back(report); }
    void JobSetUpFailed(const std::string& input, const Error& error) override {
        setUpFailures.push_back(input + ": " + std::to_string(error.number));
    }
    void ProblemReported(const Error& problem) override { problems.push_back(problem.description); }
    std::vector<std::string> prepared;
    std::vector<JobReport> reports;
    std::vector<std::string> problems;
    std::vector<std::string> setUpFailures;
};

struct FakePorts {
    ManualTimer conversionTimer, watchTimer;
    TestFileSystem files;
    FakeClock clock;
    RecordingObserver observer;
};

/** Delivers conversion ticks until the job ends. */
void RunJob(Application& app);

/**
 * An application on fakes, started up in its own home folder, watching the folder watch for both
 * kinds into the folder out, Delete and the date prefix off; data holds manual picks.
 */
class TestApp {
  public:
    TestApp() { Restart(); }
    /** A fresh application and ports on the same folders, as after a program restart. */
    void Restart();
    /** One poll, then the job it started run to its end: the input's bare name, or "". */
    std::string PollAndConvert();
    AutoLoadSettingsGroup& Settings() { return app->Rules().AutoLoadSettings; }
    /** Writes a schedule of so many events into the watch folder. */
    void AddCsv(const std::string& name, int events = 1) const {
        WriteCsvSchedule(watch.file(name), std::vector<TestEvent>(events));
    }
    void AddDbf(const std::string& name, int events = 1) const {
        WriteDbfSchedule(watch.file(name), std::vector<TestEvent>(events));
    }
    bool InWatch(const std::string& name) const { return exists(watch.file(name)); }
    std::string FileList() const { return ReadFile(home.file("FileList.txt")); }
    const std::vector<JobReport>& Reports() const { return ports->observer.reports; }

    TempDir home, data, watch, out;
    std::unique_ptr<FakePorts> ports;
    std::unique_ptr<Application> app;
};

}  // namespace skedora::test
