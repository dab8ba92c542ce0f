#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ports.h"
#include "engine/conversion_pass.h"
#include "input/schedule_reader.h"
#include "model/error.h"
#include "model/rule_set.h"
#include "os/clock.h"
#include "os/file_system.h"
#include "watch/watch_folder.h"

namespace skedora {

/** What the application reaches the program around it through; every member outlives it. */
struct Ports {
    Timer& conversionTimer;
    Timer& watchTimer;
    FileSystem& files;
    Clock& clock;
    JobObserver& observer;
};

/**
 * The converter as the window and the command-line program use it: the rule set and its home
 * folder (SK.ini, FileList.txt), the conversion pass and the watch folder. Every handler runs on
 * one thread and to its end; the program calls RunConversionBurst while the conversion timer is
 * enabled and PollWatchFolder at each tick of the watch timer.
 */
class Application : private PassObserver {
  public:
    static constexpr int kConversionInterval = 1;  // ms
    static constexpr int kWatchInterval = 10000;   // ms

    Application(std::filesystem::path home, const Ports& ports);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /**
     * Settings (the older file imported when there is no current one), the converted-file list
     * loaded, temporary files left by a killed save removed; the conversion timer off, the watch
     * timer on. The error when SK.ini exists but cannot be read: the program must not convert
     * with rules other than the user's. Lesser problems go to the observer.
     */
    MaybeError StartUp();

    /** A flag that, once set (by a stop signal), ends a running read promptly. */
    void SetStopFlag(const std::atomic<bool>* stopRequested) { m_stopRequested = stopRequested; }

    /**
     * Converts a file picked by hand, its output beside it unless outputPath is given. The
     * error when no job could start, or when its output cannot be created (the pass then runs
     * and reports the failure at its end).
     */
    MaybeError ConvertChosenFile(const ChosenFile& chosen,
                                 const std::optional<std::string>& outputPath = std::nullopt);

    /** Handles events for about budget while a job runs; the number of ticks. */
    int RunConversionBurst(std::chrono::milliseconds budget);
    /** One event of the running job. */
    void ConversionTick();

    /**
     * One look into the watch folder: at most one file taken. True when one was (its job runs
     * or its set-up failed): the program then looks again as soon as no job runs, so a backlog
     * drains without waiting for the watch timer.
     */
    bool PollWatchFolder();
    /** A listing of the watch folder split by kind (dBASE, CSV) and sifted for a poll. */
    struct PreparedPoll {
        std::string folder;
        std::array<SiftedListing, 2> byKind;
    };
    /**
     * The part of a poll that may run off the program's thread, while this one goes on: deleteOn
     * is the Delete setting, read on the program's thread.
     */
    PreparedPoll PreparePoll(const std::string& folder, std::vector<FolderName> listing,
                             bool deleteOn) const;
    /**
     * PollWatchFolder on a prepared listing. One that no longer fits (the folder, the Delete
     * setting or the converted-file list changed meanwhile) is made again first.
     */
    bool PollWatchFolderPrepared(PreparedPoll poll);
    /** The folder a poll lists now, as FileSystem takes it; empty when nothing is watched. */
    std::string WatchFolderToList() const;

    bool IsJobRunning() const { return m_pass.IsRunning(); }
    RuleSet& Rules() { return m_rules; }
    const RuleSet& Rules() const { return m_rules; }
    const ConversionJob& Job() const { return m_pass.Job(); }
    const WatchFolder& Watch() const { return m_watch; }
    const std::filesystem::path& Home() const { return m_home; }

    /** Rewrites SK.ini from the rule set. */
    MaybeError SaveSettings();
    /** At exit: a running job stops, keeping its source. */
    void CloseOpenFiles();

  private:
    /** Sets up a job for a watch-folder file; true when its pass runs. */
    bool LoadAutomatic(const WatchedFile& file, ScheduleKind kind);
    void ReportProblem(const MaybeError& problem);
    MaybeError StartJob(const std::string& input, const std::string& name,
                        const std::string& output);
    void EndJob();
    void AfterTicks();
    void ReportWatchStatus();
    void SweepStaleOutputTemporaries();

    // PassObserver
    void EventRead(int record, const ScheduleRecord& event) override;
    void EventWritten(int record, int outputCount, const ScheduleRecord& event,
                      std::string_view line) override;

    std::filesystem::path m_home;
    Ports m_ports;
    RuleSet m_rules;
    ConversionPass m_pass{m_rules, *this};
    WatchFolder m_watch;

    // The running job, for its report.
    std::string m_inputPath;
    std::string m_outputPath;
    SourceIdentity m_readIdentity;
    const std::atomic<bool>* m_stopRequested = nullptr;
    WatchStatus m_watchStatus;
    /** The outputs automatic jobs wrote in this run, with the source each came from. */
    std::map<std::string, std::string> m_automaticOutputs;
    /** When the output folder was last cleared of temporaries that killed jobs left. */
    std::chrono::system_clock::time_point m_outputsSweptAt{};
};

}  // namespace skedora
