#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"
#include "os/clock.h"
#include "os/file_system.h"

namespace skedora {

/**
 * The operations the application core needs from the program around it. The window implements
 * the timers, status display, file chooser and message box with its toolkit; the command-line
 * program implements them without a screen. Folder listing, file operations and the clock have
 * ready implementations in the core (PosixFileSystem, SystemClock).
 */

/**
 * A timer with a millisecond interval. The owner delivers its ticks by calling the application's
 * handler (ConversionTick, PollWatchFolder) while the timer is enabled, never in the middle of
 * another handler; enabling it inside a handler delivers the first tick after that handler.
 */
class Timer {
  public:
    virtual ~Timer() = default;
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;
};

/** The value labels of the two status frames; each exists with index 1 (input) and 2 (output). */
enum class StatusLabel { lblRECNUM, lblCLTO, lblCLFROM, lblCO, lblDESC, lblFILE };

/** The twelve status captions of the main window. */
class StatusDisplay {
  public:
    virtual ~StatusDisplay() = default;
    /** index is 1 for the input frame, 2 for the output frame. */
    virtual void SetCaption(StatusLabel label, int index, std::string_view caption) = 0;
};

/** The file the user picked: the full path and the bare file name without its folder. */
struct ChosenFile {
    std::string path;
    std::string name;
};

/** The file-open dialog of the Open command. */
class FileChooser {
  public:
    virtual ~FileChooser() = default;
    /**
     * Shows the dialog modally with the filter ("Skedora (*.dbf;*.csv)|*.dbf;*.csv"); no value
     * when the user cancels.
     */
    virtual std::optional<ChosenFile> ChooseFile(std::string_view filter) = 0;
};

/** The modal error box: critical icon, OK button. */
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void ShowError(std::string_view title, std::string_view text) = 0;
};

/** What the end of a job reports. */
struct JobReport {
    /** The paths as lblFILE shows them during the job. */
    std::string input;
    std::string output;
    /** Events in the table, skipped for blank From call letters, deleted by rules, lines written.
     */
    int read = 0;
    int skipped = 0;
    int deleted = 0;
    int written = 0;
    /** Set when the output is not complete: it could not be created, written or closed. */
    MaybeError failure;
};

/**
 * Hears of jobs starting and ending, for the window's status line and the command-line
 * program's report. Every member does nothing unless overridden.
 */
class JobListener {
  public:
    virtual ~JobListener() = default;
    /** A job's pass is about to begin (its timer is on). */
    virtual void JobStarted(const std::string& /*input*/, const std::string& /*output*/) {}
    /** The pass has ended and closed its output. */
    virtual void JobEnded(const JobReport& /*report*/) {}
    /** Set-up failed before the pass could begin; no job runs. */
    virtual void JobSetUpFailed(const std::string& /*input*/, const Error& /*error*/) {}
};

}  // namespace skedora
