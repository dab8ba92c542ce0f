#pragma once

#include <cstdio>

#include "app/application.h"
#include "os/system_clock.h"
#include "os/posix_file_system.h"

namespace skedora::cli {

/** A timer without an event loop: the command's own loop reads its state and delivers ticks. */
class PlainTimer : public Timer {
  public:
    bool IsEnabled() const override { return m_enabled; }
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    int Interval() const override { return m_interval; }
    void SetInterval(int milliseconds) override { m_interval = milliseconds; }

  private:
    bool m_enabled = false;
    int m_interval = 0;
};

/** Nothing to show the status captions on. */
class NoStatusDisplay : public StatusDisplay {
  public:
    void SetCaption(StatusLabel, int, std::string_view) override {}
};

/** No dialog: the schedule comes from the command line. */
class NoFileChooser : public FileChooser {
  public:
    std::optional<ChosenFile> ChooseFile(std::string_view) override { return std::nullopt; }
};

/** The error box's text, one line on standard error. */
class StderrMessageBox : public MessageBox {
  public:
    void ShowError(std::string_view title, std::string_view text) override;
    bool Shown() const { return m_shown; }

  private:
    bool m_shown = false;
};

/** Everything the application needs, without a window. */
struct HeadlessPlatform {
    PlainTimer conversionTimer;
    PlainTimer watchTimer;
    NoStatusDisplay status;
    NoFileChooser chooser;
    StderrMessageBox messages;
    PosixFileSystem files;
    SystemClock clock;

    Platform For(JobListener& listener) {
        return {conversionTimer, watchTimer, status, chooser, messages, files, clock, listener};
    }
};

}  // namespace skedora::cli
