#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "app/application.h"
#include "os/posix_file_system.h"
#include "os/system_clock.h"
#include "ui/qt_file_chooser.h"
#include "ui/qt_timer.h"

class QAction;
class QLabel;
class QMenu;
class QProgressBar;

namespace skedora {

class AboutDialog;
class AutoLoadDialog;
class ChangeCallLettersDialog;
class ChangeCODialog;
class ChangeTimeDialog;
class DeleteEventsDialog;
class HelpWindow;
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
    void RunConversionBurst();
    void ShowProgress();

    // JobObserver
    void JobPreparing(const std::string& input, const std::string& output) override;
    void JobSetUpFailed(const std::string& input, const Error& error) override;
    void JobStarted(const std::string& input, const std::string& output, int events) override;
    void EventRead(int record, const ScheduleRecord& event) override;
    void EventWritten(int outputCount, const ScheduleRecord& event) override;
    void JobEnded(const JobReport& report) override;

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
    QLabel* m_statusLine = nullptr;
    QProgressBar* m_progress = nullptr;

    std::chrono::milliseconds m_burstBudget = kBurstBudget;

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
};

}  // namespace skedora
