#pragma once

#include <optional>
#include <string>

#include "model/error.h"
#include "model/job_counts.h"
#include "model/local_date_time.h"
#include "model/schedule_record.h"

namespace skedora {

/**
 * A timer with a millisecond interval. Its owner (the window, or the command-line program's
 * loop) delivers its ticks by calling the application's handler (RunConversionBurst,
 * PollWatchFolder) while it is enabled, never in the middle of another handler.
 */
class Timer {
  public:
    virtual ~Timer() = default;
    virtual bool IsEnabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual int Interval() const = 0;
    virtual void SetInterval(int milliseconds) = 0;
};

/** What the end of a job reports. */
struct JobReport : JobCounts {
    /** The paths as the job showed them. */
    std::string input;
    std::string output;
    /** Set when the output is not complete: it could not be created, written or closed. */
    MaybeError failure;
    /** Why a watch-folder source stays where it was, when it does after a complete job. */
    std::string sourceKept;
};

/** What the status bar's watch line shows. */
struct WatchStatus {
    enum class State {
        Off,       // no watch folder set
        Watching,  // this program watches folder
    };
    State state = State::Off;
    std::string folder;
    /** Which kinds are watched. */
    bool dbf = false;
    bool csv = false;
    /** The local time of the last poll, once there was one. */
    std::optional<LocalDateTime> lastPoll;
};

/**
 * Hears what the application does with jobs: for the window's status frames and status line and
 * the command-line program's report. Every member does nothing unless overridden.
 */
class JobObserver {
  public:
    virtual ~JobObserver() = default;
    /** A job is being set up: its input and output paths, before the input is read. */
    virtual void JobPreparing(const std::string& /*input*/, const std::string& /*output*/) {}
    /** Set-up failed; no job runs. */
    virtual void JobSetUpFailed(const std::string& /*input*/, const Error& /*error*/) {}
    /** The input is read and the pass begins. */
    virtual void JobStarted(const std::string& /*input*/, const std::string& /*output*/,
                            int /*events*/) {}
    /** An event that the rules are about to be applied to, as read. */
    virtual void EventRead(int /*record*/, const ScheduleRecord& /*event*/) {}
    /** An event written to the output as output line outputCount, after the change rules. */
    virtual void EventWritten(int /*outputCount*/, const ScheduleRecord& /*event*/) {}
    /** The pass has ended and closed its output. */
    virtual void JobEnded(const JobReport& /*report*/) {}
    /**
     * Something the user must know that belongs to no one job: a converted-file list that
     * cannot be read or saved, a name the list cannot hold, leftovers that cannot be removed.
     */
    virtual void ProblemReported(const Error& /*problem*/) {}
    /** The watch folder's state changed or it was polled. */
    virtual void WatchStatusChanged(const WatchStatus& /*status*/) {}
};

/** A schedule file picked by hand: the full path and the bare file name without its folder. */
struct ChosenFile {
    std::string path;
    std::string name;
};

}  // namespace skedora
