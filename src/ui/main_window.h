#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <array>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/job_log.h"
#include "app/recent_files.h"
#include "engine/rule_trace.h"
#include "os/folder_monitor.h"
#include "os/home_lock.h"
#include "os/posix_file_system.h"
#include "os/system_clock.h"
#include "ui/qt_file_chooser.h"
#include "ui/qt_timer.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QSocketNotifier;

namespace skedora {

class AboutDialog;
class AutoLoadDialog;
class ChangeCallLettersDialog;
class ChangeCODialog;
class ChangeTimeDialog;
class DeleteEventsDialog;
class ElidedLabel;
class HelpWindow;
class JobHistoryWindow;
class StatusFrame;

/**
 * frmMain: the menus, the two status frames, the timers timeWatch and timeCONV, and the
 * application core they drive. Beyond the status frames it shows a progress bar while a job
 * runs and a status line that reports the last job.
 */
class MainWindow : public QMainWindow, private JobObserver {
    Q_OBJECT

  public:
    /** The conversion runs in bursts of ticks of about this length between event-loop turns. */
    static constexpr std::chrono::milliseconds kBurstBudget{10};
    /** How often a window that another process keeps from watching asks for the watch again. */
    static constexpr std::chrono::milliseconds kLockRetryInterval{3000};

    /**
     * Runs the start-up sequence from home (where SK.ini and FileList.txt lie). The Open
     * command asks chooser for the file; without one it shows a QFileDialog.
     */
    explicit MainWindow(std::filesystem::path home, std::unique_ptr<FileChooser> chooser = nullptr,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    /** "Skedora Converter Version " and the version. */
    static QString CaptionText();

    Application& application() { return m_app; }

    /** The length of a burst; a test sets 0 to stop a job after its first few events. */
    void SetBurstBudget(std::chrono::milliseconds budget) { m_burstBudget = budget; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildMenus();
    void BuildStatusBar();
    void ShowAbout();
    void ShowHelp();
    template <typename Dialog>
    void ShowSettingsDialog(QPointer<Dialog>& dialog);
    void OpenScheduleCommand();
    /** File, Preview: the audit of a schedule picked like Open, in the one preview window. */
    void PreviewScheduleCommand();
    /** Opens the settings dialog of the rule family on the entry's page. */
    void OpenRuleEntry(RuleFamily family, int entry);
    void RunConversionBurst();
    void ShowProgress();

    // The watch: one watcher per home, backlogs drained, new files picked up on notification.
    void SetUpWatch();
    /** Takes the home's lock; without it the timed polls stop and the lock is asked again. */
    void TakeWatch();
    /** One poll, when this window watches; a poll that took a file asks for the next at once. */
    void PollWatch();
    /** The poll once the watch folder is listed (off this thread): at most one file taken. */
    void FinishPoll(Application::PreparedPoll poll);
    /** After a burst: the job a poll started has ended, so the backlog's next file is polled. */
    void DrainBacklog();
    /** Watches the rules' watch folder for changes when it is not watched already. */
    void FollowWatchFolder();
    void FolderChanged();
    void StopWatch();
    /**
     * Shows on the watch line that another process watches this home instead: holder is the
     * whole line ("Watched by another process (skedora-cli, process 1234)"), empty when this
     * window watches, details its tooltip.
     */
    void SetWatchedElsewhere(const QString& holder, const QString& details = {});
    /** Why new files are only seen at the timed polls, shown with the watch line; empty clears. */
    void SetWatchNote(const QString& note);
    /** The one watch line: who watches, which folder, the last poll, and the note. */
    void ShowWatchLine();
    /** After the rules are saved: a changed watch folder is followed and polled at once. */
    void RulesSaved();

    // JobObserver
    void JobPreparing(const std::string& input, const std::string& output) override;
    void JobSetUpFailed(const std::string& input, const Error& error) override;
    void JobStarted(const std::string& input, const std::string& output, int events) override;
    void EventRead(int record, const ScheduleRecord& event) override;
    void EventWritten(int outputCount, const ScheduleRecord& event) override;
    void JobEnded(const JobReport& report) override;
    void ProblemReported(const Error& problem) override;
    void WatchStatusChanged(const WatchStatus& status) override;

    /** Sets the status line's text; its tooltip holds the full text and the details. */
    void ShowStatus(const QString& text, const QString& details = {});

    // The job history: the log in the home and its window.
    void BuildViewMenu(QMenu* view);
    void LogJob(JobLogEntry entry);
    void ShowJobHistory();
    void ConvertAgain(const JobLogEntry& entry);

    // Schedule files dropped on the window, converted one after another.
    void StartNextDropped();

    // File, Open Recent and the Open dialog's start folder.
    void BuildRecentMenu(QMenu* file);
    void FillRecentMenu();
    void RememberOpened(const std::string& path);
    void OpenRecent(const std::string& path);

    /** The value labels of a status frame, in the order the frames are cleared. */
    enum class Caption { RecordNumber, CallLettersTo, CallLettersFrom, CO, Description, File };
    static constexpr int kCaptionsPerFrame = 6;
    /** Shows the text (bytes) in a frame's label; during a burst only its last value is shown. */
    void SetCaption(int frame, Caption caption, std::string_view text);
    void ShowEvent(int frame, int number, const ScheduleRecord& event);
    void FlushCaptions();
    QLabel* CaptionLabel(int frame, Caption caption) const;

    QTimer m_timeWatch;
    QTimer m_timeCONV;
    QtTimer m_watchTimer{m_timeWatch};
    QtTimer m_conversionTimer{m_timeCONV};
    std::unique_ptr<FileChooser> m_chooser;
    PosixFileSystem m_files;
    SystemClock m_clock;
    Application m_app;

    std::array<StatusFrame*, 2> m_frames{};
    ElidedLabel* m_statusLine = nullptr;
    ElidedLabel* m_watchLine = nullptr;
    QProgressBar* m_progress = nullptr;

    std::chrono::milliseconds m_burstBudget = kBurstBudget;

    std::optional<HomeLock> m_homeLock;
    QTimer m_lockRetry;
    FolderMonitor m_monitor;
    QSocketNotifier* m_monitorNotifier = nullptr;
    QTimer m_pickup;
    bool m_drainPending = false;
    WatchStatus m_watchStatus;
    bool m_watchStatusKnown = false;
    QString m_watchedElsewhere;
    QString m_watchedElsewhereDetails;
    QString m_monitorNote;
    /** A listing of the watch folder is being made; a poll asked meanwhile comes after it. */
    bool m_listing = false;
    bool m_pollAfterListing = false;

    // During a burst the captions are kept here and shown once at its end.
    static constexpr int kCaptionCount = 2 * kCaptionsPerFrame;
    bool m_inBurst = false;
    std::array<std::string, kCaptionCount> m_pendingCaptions;
    std::array<bool, kCaptionCount> m_captionPending{};

    // One instance of each dialog at most; each deletes itself when it closes.
    QPointer<AboutDialog> m_about;
    QPointer<HelpWindow> m_help;
    QPointer<DeleteEventsDialog> m_deleteDialog;
    QPointer<ChangeCODialog> m_coDialog;
    QPointer<ChangeCallLettersDialog> m_callDialog;
    QPointer<ChangeTimeDialog> m_timeDialog;
    QPointer<AutoLoadDialog> m_autoLoadDialog;
    QPointer<JobHistoryWindow> m_history;

    JobLog m_jobLog;
    std::string m_preparedOutput;  // the output of the job being set up
    std::deque<ChosenFile> m_dropped;
    bool m_startingDropped = false;
    RecentFiles m_recent;
    QMenu* m_recentMenu = nullptr;

    // Last, so it is destroyed first: it waits for a listing still running, which uses m_files.
    QThreadPool m_listingPool;
};

}  // namespace skedora
