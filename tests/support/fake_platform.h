#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/application.h"
#include "support/temp_dir.h"
#include "os/posix_file_system.h"

namespace skedora::test {

class FakeTimer : public Timer {
  public:
    bool IsEnabled() const override { return m_enabled; }
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    int Interval() const override { return m_interval; }
    void SetInterval(int milliseconds) override { m_interval = milliseconds; }

  private:
    bool m_enabled = false;
    int m_interval = 0;
};

/** Records every caption change in order, as "lblCO(1)=12". */
class CaptionRecorder : public StatusDisplay {
  public:
    void SetCaption(StatusLabel label, int index, std::string_view caption) override;
    std::vector<std::string> changes;
};

/** Answers the file dialog with a prepared choice; can run something while "on screen". */
class FakeChooser : public FileChooser {
  public:
    std::optional<ChosenFile> ChooseFile(std::string_view) override {
        ++shown;
        if (whileShown) {
            whileShown();
        }
        return answer;
    }
    std::optional<ChosenFile> answer;
    std::function<void()> whileShown;
    int shown = 0;
};

/** Records the error boxes as "title|text". */
class RecordingMessageBox : public MessageBox {
  public:
    void ShowError(std::string_view title, std::string_view text) override {
        boxes.push_back(std::string(title) + "|" + std::string(text));
    }
    std::vector<std::string> boxes;
};

/** The local file system, with deletions that fail and files that vanish once listed. */
class TestFileSystem : public PosixFileSystem {
  public:
    std::vector<FolderEntry> ListFiles(const std::string& folder,
                                       std::string_view extension) const override;
    MaybeError DeleteFile(const std::string& path) override;
    std::set<std::string> failingDeletes;  // paths
    std::set<std::string> vanishing;       // bare names
};

/** "now" an hour ahead of the real time, so files just written are past the quiet period. */
class FakeClock : public Clock {
  public:
    LocalDateTime LocalNow() const override { return local; }
    std::chrono::system_clock::time_point Now() const override { return now; }
    LocalDateTime local{2024, 3, 5, 14, 7, 9};
    std::chrono::system_clock::time_point now =
        std::chrono::system_clock::now() + std::chrono::hours(1);
};

/** Records the job reports, and set-up failures as "input: number". */
class RecordingListener : public JobListener {
  public:
    void JobEnded(const JobReport& report) override { reports.push_back(report); }
    void JobSetUpFailed(const std::string& input, const Error& error) override {
        setUpFailures.push_back(input + ": " + std::to_string(error.number));
    }
    std::vector<JobReport> reports;
    std::vector<std::string> setUpFailures;
};

struct FakePlatform {
    FakeTimer conversionTimer, watchTimer;
    CaptionRecorder status;
    FakeChooser chooser;
    RecordingMessageBox messages;
    TestFileSystem files;
    FakeClock clock;
    RecordingListener listener;
};

/** Delivers conversion ticks until the job ends; the number of ticks. */
int RunJob(Application& app);

/**
 * An application on fakes, started up in its own home folder, watching the folder watch for both
 * kinds into the folder out, Delete and the date prefix off; data holds manual picks.
 */
class TestApp {
  public:
    TestApp() { Restart(); }
    /** A fresh application and platform on the same folders, as after a program restart. */
    void Restart();
    /** One poll, then the job it started run to its end: the input's bare name, or "". */
    std::string PollAndConvert();
    AutoLoadSettingsGroup& Settings() { return app->rules().AutoLoadSettings; }
    bool InWatch(const std::string& name) const { return exists(watch.file(name)); }
    const std::vector<JobReport>& Reports() const { return platform->listener.reports; }

    TempDir home, data, watch, out;
    std::unique_ptr<FakePlatform> platform;
    std::unique_ptr<Application> app;
};

}  // namespace skedora::test
