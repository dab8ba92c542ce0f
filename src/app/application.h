#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/output_file.h"
#include "engine/rule_application.h"
#include "model/conversion_job.h"
#include "model/error.h"
#include "app/ports.h"
#include "model/rule_set.h"
#include "watch/converted_file_list.h"

namespace skedora {

/** What the application reaches the platform through; every member must outlive it. */
struct Platform {
    Timer& conversionTimer;  // timeCONV
    Timer& watchTimer;       // timeWatch
    StatusDisplay& status;
    FileChooser& chooser;
    MessageBox& messages;
    FileSystem& files;
    Clock& clock;
    JobListener& listener;
};

/**
 * The program-wide state and its handlers: the rule set, the job with its event table and
 * output file, the converted-file list and the home folder (where SK.ini and FileList.txt lie).
 * Every handler runs on one thread and to its end; the timers' owner calls ConversionTick and
 * PollWatchFolder while the respective timer is enabled.
 */
class Application {
  public:
    static constexpr int kConversionInterval = 1;  // ms
    static constexpr int kWatchInterval = 10000;   // ms
    static constexpr std::chrono::seconds kQuietPeriod{2};
    static constexpr std::string_view kErrorTitle = "Error.";
    static constexpr std::string_view kOpenFilter = "Skedora (*.dbf;*.csv)|*.dbf;*.csv";

    Application(std::filesystem::path home, const Platform& platform);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /**
     * Settings (the older file imported when there is no current one), the event table reset,
     * the converted-file list created and loaded; timeCONV off, timeWatch on.
     */
    void StartUp();

    // Job set-up.

    /** The File, Open command: nothing while a job runs; the dialog; errors in the error box. */
    void OpenScheduleCommand();
    /**
     * The Open command after its dialog: converts the chosen file, its output beside it unless
     * outputPath is given. Errors go to the error box. True when the job started.
     */
    bool OpenScheduleFile(const ChosenFile& chosen,
                          const std::optional<std::string>& outputPath = std::nullopt);
    /** Automatic loaders for a bare name in the watch folder; true when the job started. */
    bool LoadDbaseSchedule(const std::string& name);
    bool LoadCsvSchedule(const std::string& name);
    /**
     * Counters reset, timeCONV on, the output created with its header line. The error of a
     * failed creation; the pass then runs without output.
     */
    MaybeError StartConversionJob(const std::string& outputPath);

    // The pass.

    /** One tick of timeCONV: at most one event. */
    void ConversionTick();
    /**
     * Ticks while timeCONV is on, for about budget: nothing else runs in between, so the rules
     * are looked at once for the whole burst. The number of ticks.
     */
    int RunConversionBurst(std::chrono::milliseconds budget);
    /** The end of a job: timeCONV off, output closed, status cleared, the job reported. */
    void EndConversionPass();

    // The watch folder.

    /** One tick of timeWatch: at most one job started. */
    void PollWatchFolder();

    // For the window and the command-line program.

    bool IsJobRunning() const { return m_platform.conversionTimer.IsEnabled(); }
    RuleSet& rules() { return m_rules; }
    const RuleSet& rules() const { return m_rules; }
    const ConversionJob& job() const { return m_job; }
    ConvertedFileList& fileList() { return m_fileList; }
    const ConvertedFileList& fileList() const { return m_fileList; }
    const std::filesystem::path& home() const { return m_home; }
    /** Rewrites SK.ini from the rule set. */
    MaybeError SaveSettings();
    /** At exit: closes a running job's output file with the lines written so far. */
    void CloseOpenFiles();

    /** The output path of a manual pick: the bare name's extension replaced by ".CP2". */
    static std::optional<std::string> ManualOutputPath(const ChosenFile& chosen);
    /** The output path of an automatic job for the bare name. */
    std::optional<std::string> AutomaticOutputPath(std::string_view name) const;

  private:
    /** Works the rules out afresh when they changed since the last tick. */
    void RefreshPreparedRules();
    /** ConversionTick with the prepared rules current. */
    void Tick();
    bool LoadAutomatic(const std::string& name, bool dbase);
    void ShowError(const Error& error);
    void SetCaption(StatusLabel label, int index, std::string_view caption);
    /** One kind's pass of the poll; true when it ends the poll. */
    bool PollPass(std::string_view extension, bool dbase);
    /** Drops held-back names of the kind that left the folder or were copied in anew. */
    void ReleaseHeldBack(std::string_view extension, const std::vector<FolderEntry>& listing);
    void DeleteSourceAfterJob(const MaybeError& failure);
    MaybeError ReadChosenFile(const ChosenFile& chosen, bool dbase);

    std::filesystem::path m_home;
    Platform m_platform;
    RuleSet m_rules;
    /** m_rules worked out for the pass, and the rules they were worked out from. */
    std::optional<PreparedRules> m_prepared;
    RuleSet m_preparedFrom;
    ConversionJob m_job;
    OutputFile m_output;
    ConvertedFileList m_fileList;

    // The running job, for its report.
    std::string m_inputPath;
    std::string m_outputPath;
    MaybeError m_jobFailure;

    /** A watch-folder source, with its modification time when listed. */
    struct WatchedSource {
        std::string path;
        std::string name;
        std::chrono::system_clock::time_point modified;
    };
    /** With Delete on: the source of the running job, deleted once its output is complete. */
    std::optional<WatchedSource> m_sourceToDelete;
    /**
     * Watch-folder files not to convert again while they stay (set-up or deletion failed), with
     * their modification time: a file copied in anew under the same name is tried again.
     */
    std::map<std::string, std::chrono::system_clock::time_point> m_heldBack;
};

}  // namespace skedora
