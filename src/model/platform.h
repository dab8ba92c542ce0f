#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"

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

/** One file of a folder listing. */
struct FolderEntry {
    std::string name;
    std::chrono::system_clock::time_point modified;
};

/** Folder listing and the file operations of the watch-folder poll. */
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    /**
     * The files of folder (a folder text; the caller passes it as stored) whose names end with
     * extension (".DBF"; letter case ignored), in ascending name order, hidden files left out.
     * A folder that cannot be listed gives no entries.
     */
    virtual std::vector<FolderEntry> ListFiles(const std::string& folder,
                                               std::string_view extension) const = 0;
    virtual MaybeError DeleteFile(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) const = 0;
};

/** A local date and time, as the output name prefix writes it. */
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

/** The clock: the local date and time for output names, and "now" to age files by. */
class Clock {
  public:
    virtual ~Clock() = default;
    virtual LocalDateTime LocalNow() const = 0;
    virtual std::chrono::system_clock::time_point Now() const = 0;
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

/** "yyyymmddhhnnss": the 14-digit prefix of automatic output names. */
std::string FormatDatePrefix(const LocalDateTime& time);

}  // namespace skedora
