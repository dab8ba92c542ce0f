#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/application.h"
#include "model/platform.h"
#include "watch/posix_file_system.h"

namespace skedora::test {

/** A timer whose ticks the test delivers by calling the handler itself. */
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

/** One caption change, as "lblCO(1)=12". */
std::string CaptionText(StatusLabel label, int index, std::string_view caption);

/** Records every caption change in order, and keeps the current twelve. */
class CaptionRecorder : public StatusDisplay {
  public:
    void SetCaption(StatusLabel label, int index, std::string_view caption) override;
    std::vector<std::string> changes;
    /** The current caption of the label. */
    std::string Caption(StatusLabel label, int index) const;

  private:
    std::string m_current[6][2];
};

/** Answers the file dialog with a prepared choice; can run something while "on screen". */
class FakeChooser : public FileChooser {
  public:
    std::optional<ChosenFile> ChooseFile(std::string_view filter) override;
    std::optional<ChosenFile> answer;
    std::function<void()> whileShown;
    int shown = 0;
    std::string lastFilter;
};

class RecordingMessageBox : public MessageBox {
  public:
    void ShowError(std::string_view title, std::string_view text) override {
        titles.emplace_back(title);
        texts.emplace_back(text);
    }
    std::vector<std::string> titles;
    std::vector<std::string> texts;
};

/** The local file system, with deletions that can be made to fail by name. */
class TestFileSystem : public PosixFileSystem {
  public:
    MaybeError DeleteFile(const std::string& path) override;
    std::set<std::string> failingDeletes;  // paths
    std::vector<std::string> deleted;
};

/** A clock that says what the test sets. By default "now" is an hour ahead of the real time, so
 * files the test has just written are well past the watch folder's quiet period. */
class FakeClock : public Clock {
  public:
    FakeClock();
    LocalDateTime LocalNow() const override { return local; }
    std::chrono::system_clock::time_point Now() const override { return now; }
    LocalDateTime local{2024, 3, 5, 14, 7, 9};
    std::chrono::system_clock::time_point now;
};

/** Records the job reports as lines. */
class RecordingListener : public JobListener {
  public:
    void JobStarted(const std::string& input, const std::string& output) override;
    void JobEnded(const JobReport& report) override;
    void JobSetUpFailed(const std::string& input, const Error& error) override;
    std::vector<std::string> lines;
    std::vector<JobReport> reports;
};

/** An application over fakes, with its home folder given by the test. */
struct FakePlatform {
    FakeTimer conversionTimer;
    FakeTimer watchTimer;
    CaptionRecorder status;
    FakeChooser chooser;
    RecordingMessageBox messages;
    TestFileSystem files;
    FakeClock clock;
    RecordingListener listener;

    Platform For() {
        return {conversionTimer, watchTimer, status, chooser, messages, files, clock, listener};
    }
};

/** Delivers conversion ticks until the job ends; the number of ticks (at most limit). */
int RunJob(Application& app, int limit = 1'000'000);

}  // namespace skedora::test
