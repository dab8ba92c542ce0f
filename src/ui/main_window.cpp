#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <utility>
#include <variant>

#include "app/ignored_lines.h"
#include "app/schedule_audit.h"
#include "input/schedule_reader.h"
#include "model/folder_text.h"
#include "model/text.h"
#include "model/version.h"
#include "ui/about_dialog.h"
#include "ui/auto_load_dialog.h"
#include "ui/byte_text.h"
#include "ui/change_call_letters_dialog.h"
#include "ui/change_co_dialog.h"
#include "ui/change_time_dialog.h"
#include "ui/delete_events_dialog.h"
#include "ui/elided_label.h"
#include "ui/error_box.h"
#include "ui/file_path_text.h"
#include "ui/help_window.h"
#include "ui/job_history_window.h"
#include "ui/preview_window.h"
#include "ui/program_logo.h"
#include "ui/qt_file_chooser.h"
#include "ui/status_frame.h"

namespace skedora {

namespace {

/** A number as the status frames show it: a blank in the place of a plus sign. */
std::string StatusNumber(int value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

QAction* MenuAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

/** The bare name of a path, for the status line. */
QString BareName(const std::string& path) {
    return QFileInfo(PathTextFromBytes(path)).fileName();
}

/** A source the job could not delete, or found changed, stays: the status line says why. */
QString KeptSourceText(const JobReport& report) {
    if (report.sourceKept.empty()) {
        return {};
    }
    return QStringLiteral("; %1 kept: %2")
        .arg(BareName(report.input), TextFromBytes(report.sourceKept));
}

QString ErrorSummary(const Error& error) {
    return QStringLiteral("%1 (error %2)").arg(TextFromBytes(error.description)).arg(error.number);
}

}  // namespace

QString MainWindow::CaptionText() {
    return QStringLiteral("Skedora Converter Version ") + TextFromBytes(VersionText());
}

MainWindow::MainWindow(std::filesystem::path home, std::unique_ptr<FileChooser> chooser,
                       QWidget* parent)
    : QMainWindow(parent),
      m_chooser(chooser ? std::move(chooser) : std::make_unique<QtFileChooser>(this)),
      m_app(std::move(home), Ports{m_conversionTimer, m_watchTimer, m_files, m_clock, *this}),
      m_jobLog(m_app.Home()),
      m_recent(m_app.Home()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(CaptionText());
    setWindowIcon(ProgramIcon());

    m_timeWatch.setParent(this);
    m_timeWatch.setObjectName(QStringLiteral("timeWatch"));
    m_timeCONV.setParent(this);
    m_timeCONV.setObjectName(QStringLiteral("timeCONV"));
    m_timeCONV.setTimerType(Qt::PreciseTimer);
    connect(&m_timeWatch, &QTimer::timeout, this, &MainWindow::PollWatch);
    connect(&m_timeCONV, &QTimer::timeout, this, &MainWindow::RunConversionBurst);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    for (int side = 0; side < 2; ++side) {
        m_frames[static_cast<std::size_t>(side)] = new StatusFrame(side, central);
        layout->addWidget(m_frames[static_cast<std::size_t>(side)]);
    }
    setCentralWidget(central);
    BuildMenus();
    BuildStatusBar();
    SetUpWatch();
    resize(760, 460);
    setAcceptDrops(true);

    if (const auto error = m_app.StartUp()) {
        // Without the user's rules nothing is converted automatically; the box says why.
        ProblemReported(*error);
        QTimer::singleShot(0, this, [this, error = *error] { ShowErrorBox(this, error); });
    } else {
        TakeWatch();
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("menuFile"));
    QAction* open = MenuAction(file, "menuFileOpen", QStringLiteral("&Open..."));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &MainWindow::OpenScheduleCommand);
    connect(MenuAction(file, "menuFilePreview", QStringLiteral("Pre&view...")), &QAction::triggered,
            this, &MainWindow::PreviewScheduleCommand);
    BuildRecentMenu(file);
    QAction* exit = MenuAction(file, "menuFileExit", QStringLiteral("E&xit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("&Settings"));
    settings->setObjectName(QStringLiteral("menuSet"));
    connect(MenuAction(settings, "menuSetDelete", QStringLiteral("&Delete Events")),
            &QAction::triggered, this, [this] { ShowSettingsDialog(m_deleteDialog); });
    connect(MenuAction(settings, "menuSetCO", QStringLiteral("Change &CO#'s")), &QAction::triggered,
            this, [this] { ShowSettingsDialog(m_coDialog); });
    connect(MenuAction(settings, "menuSetCall", QStringLiteral("Change Call &Letters")),
            &QAction::triggered, this, [this] { ShowSettingsDialog(m_callDialog); });
    connect(MenuAction(settings, "menuSetTime", QStringLiteral("Change &Time")),
            &QAction::triggered, this, [this] { ShowSettingsDialog(m_timeDialog); });
    connect(MenuAction(settings, "menuSetAutoLoad", QStringLiteral("Skedora &Auto Load")),
            &QAction::triggered, this, [this] { ShowSettingsDialog(m_autoLoadDialog); });

    BuildViewMenu(menuBar()->addMenu(QStringLiteral("&View")));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("menuHelp"));
    QAction* guide = MenuAction(help, "menuHelpGuide", QStringLiteral("User &Guide"));
    guide->setShortcut(QKeySequence::HelpContents);
    connect(guide, &QAction::triggered, this, &MainWindow::ShowHelp);

    QAction* about = menuBar()->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("menuAbout"));
    connect(about, &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::BuildStatusBar() {
    m_statusLine = new ElidedLabel(Qt::ElideRight, this);
    m_statusLine->setObjectName(QStringLiteral("lblStatusLine"));
    statusBar()->addWidget(m_statusLine, 3);
    m_watchLine = new ElidedLabel(Qt::ElideMiddle, this);
    m_watchLine->setObjectName(QStringLiteral("lblWatchLine"));
    statusBar()->addWidget(m_watchLine, 2);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgJob"));
    m_progress->setFormat(QStringLiteral("%v of %m"));
    m_progress->setFixedWidth(
        m_progress->fontMetrics().horizontalAdvance(QStringLiteral("32767 of 32767")) + 60);
    m_progress->hide();
    statusBar()->addPermanentWidget(m_progress);
}

void MainWindow::ShowAbout() {
    // A fresh instance every time: an open one closes (as on losing activation) and goes.
    delete m_about;
    m_about = new AboutDialog(m_app.Home().string(), this);
    m_about->show();
    m_about->activateWindow();
}

void MainWindow::ShowHelp() {
    if (!m_help) {
        m_help = new HelpWindow(this);
    }
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

template <typename Dialog>
void MainWindow::ShowSettingsDialog(QPointer<Dialog>& dialog) {
    if (dialog && dialog->HasUnsavedEdits()) {
        // Typed work is never thrown away: the edited dialog comes to the front.
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    // An unedited instance goes; the new one fills from the rule set as it is now.
    delete dialog;
    dialog = new Dialog(
        m_app.Rules(),
        [this] {
            MaybeError error = m_app.SaveSettings();
            if (!error) {
                RulesSaved();
            }
            return error;
        },
        this);
    dialog->show();
    dialog->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A settings dialog with unsaved edits asks first; going back keeps the program running.
    for (SettingsDialog* dialog : std::initializer_list<SettingsDialog*>{
             m_deleteDialog, m_coDialog, m_callDialog, m_timeDialog, m_autoLoadDialog}) {
        if (dialog && !dialog->ConfirmClose()) {
            event->ignore();
            return;
        }
    }
    m_app.CloseOpenFiles();
    m_timeCONV.stop();
    m_timeWatch.stop();
    StopWatch();
    delete m_about;
    delete m_help;
    delete m_deleteDialog;
    delete m_coDialog;
    delete m_callDialog;
    delete m_timeDialog;
    delete m_autoLoadDialog;
    delete m_history;
    m_dropped.clear();
    event->accept();
}

void MainWindow::OpenScheduleCommand() {
    if (m_app.IsJobRunning()) {
        return;
    }
    m_chooser->SetStartFolder(m_recent.LastFolder());
    const auto chosen = m_chooser->ChooseFile();
    if (!chosen) {
        return;
    }
    RememberOpened(chosen->path);
    // The watch folder may have started a job while the dialog was on screen: then it says so.
    if (const auto error = m_app.ConvertChosenFile(*chosen)) {
        ShowErrorBox(this, *error);
    }
}

void MainWindow::PreviewScheduleCommand() {
    const auto chosen = m_chooser->ChooseFile();
    if (!chosen) {
        return;
    }
    auto audit = std::make_unique<RuleAudit>(m_app.Rules());
    if (const auto error = AuditSchedule(m_app.Rules(), chosen->path, chosen->name, *audit)) {
        ShowErrorBox(this, *error);
        return;
    }
    auto* preview = findChild<PreviewWindow*>();
    if (!preview) {
        preview = new PreviewWindow(this);
        connect(preview, &PreviewWindow::OpenRuleRequested, this, &MainWindow::OpenRuleEntry);
    }
    preview->SetAudit(std::move(audit), TextFromBytes(chosen->name));
    preview->show();
    preview->raise();
    preview->activateWindow();
}

void MainWindow::OpenRuleEntry(RuleFamily family, int entry) {
    switch (family) {
        case RuleFamily::DeleteCallLetter:
        case RuleFamily::DeleteSource:
        case RuleFamily::DeleteAllHD:
        case RuleFamily::DeleteAllSD:
        case RuleFamily::DeleteAllDigital:
        case RuleFamily::DeleteAllNonDigital:
            ShowSettingsDialog(m_deleteDialog);
            m_deleteDialog->ShowEntry(family, entry);
            break;
        case RuleFamily::ChangeCallLetter:
            ShowSettingsDialog(m_callDialog);
            m_callDialog->ShowEntry(entry);
            break;
        case RuleFamily::ChangeCOFromCallLetter:
        case RuleFamily::ChangeCOFromDescription:
            ShowSettingsDialog(m_coDialog);
            m_coDialog->ShowEntry(family, entry);
            break;
        case RuleFamily::ChangeTime:
            ShowSettingsDialog(m_timeDialog);
            m_timeDialog->ShowEntry(entry);
            break;
    }
}

void MainWindow::RunConversionBurst() {
    m_inBurst = true;
    m_app.RunConversionBurst(m_burstBudget);
    m_inBurst = false;
    FlushCaptions();
    ShowProgress();
    DrainBacklog();  // a watched job that this burst ended brings the next poll
}

void MainWindow::ShowProgress() {
    if (!m_progress->isVisible() && !m_app.IsJobRunning()) {
        return;
    }
    const int count = m_app.Job().Events.Count();
    m_progress->setValue(std::clamp(m_app.Job().RecordIndex, 0, count));
}

void MainWindow::SetUpWatch() {
    m_lockRetry.setInterval(kLockRetryInterval);
    connect(&m_lockRetry, &QTimer::timeout, this, &MainWindow::TakeWatch);
    m_pickup.setSingleShot(true);
    m_pickup.setInterval(WatchFolder::kPickupDelay);
    connect(&m_pickup, &QTimer::timeout, this, &MainWindow::PollWatch);
}

void MainWindow::TakeWatch() {
    auto lock = HomeLock::TryAcquire(m_app.Home(), "skedora");
    if (auto* taken = std::get_if<HomeLock>(&lock)) {
        m_homeLock.emplace(std::move(*taken));
        m_lockRetry.stop();
        SetWatchedElsewhere({});
        m_timeWatch.start();
        // Files already waiting are taken now, not a whole interval later.
        QTimer::singleShot(0, this, &MainWindow::PollWatch);
        return;
    }
    // Another process watches this home: files are converted here by hand only.
    m_timeWatch.stop();
    m_pickup.stop();
    if (const auto* holder = std::get_if<LockHolder>(&lock)) {
        QString text = QStringLiteral("Watched by another process");
        if (!holder->program.empty()) {
            text += QStringLiteral(" (%1, process %2)")
                        .arg(TextFromBytes(holder->program))
                        .arg(holder->pid);
        }
        SetWatchedElsewhere(text, QStringLiteral("Another process watches the folder of this "
                                                 "home; files are converted here by hand only "
                                                 "until it ends."));
    } else {
        const QString why = TextFromBytes(std::get<Error>(lock).description);
        SetWatchedElsewhere(QStringLiteral("Not watching: %1").arg(why),
                            QStringLiteral("The watch of this home cannot be taken; it is asked "
                                           "again every few seconds."));
    }
    m_lockRetry.start();
}

void MainWindow::PollWatch() {
    if (!m_homeLock || !m_timeWatch.isActive()) {
        return;
    }
    if (m_app.IsJobRunning()) {
        m_drainPending = true;  // polled once the job ends
        return;
    }
    if (m_listing) {
        m_pollAfterListing = true;
        return;
    }
    const std::string folder = m_app.WatchFolderToList();
    if (folder.empty()) {
        FinishPoll({});
        return;
    }
    // A folder of many files takes a while to list and sift: the window goes on meanwhile.
    m_listing = true;
    const FileSystem* files = &m_files;
    const Application* app = &m_app;
    const bool deleteOn = m_app.Rules().AutoLoadSettings.Delete;
    m_listingPool.start([this, files, app, folder, deleteOn] {
        auto poll = std::make_shared<Application::PreparedPoll>(
            app->PreparePoll(folder, files->ListScheduleNames(folder), deleteOn));
        QMetaObject::invokeMethod(
            this, [this, poll] { FinishPoll(std::move(*poll)); }, Qt::QueuedConnection);
    });
}

void MainWindow::FinishPoll(Application::PreparedPoll poll) {
    m_listing = false;
    const bool pollAgain = std::exchange(m_pollAfterListing, false);
    if (!m_homeLock || !m_timeWatch.isActive()) {
        return;  // the watch was given up meanwhile
    }
    if (m_app.IsJobRunning()) {
        m_drainPending = true;  // a job by hand started meanwhile
        return;
    }
    const bool took = m_app.PollWatchFolderPrepared(std::move(poll));
    FollowWatchFolder();
    m_timeWatch.start();  // the interval counts from this poll
    if (took && m_app.IsJobRunning()) {
        m_drainPending = true;
    } else if (took || pollAgain) {
        // A set-up failed: the next file; or a change came while the folder was listed.
        QTimer::singleShot(0, this, &MainWindow::PollWatch);
    }
}

void MainWindow::DrainBacklog() {
    if (m_drainPending && !m_app.IsJobRunning()) {
        m_drainPending = false;
        QTimer::singleShot(0, this, &MainWindow::PollWatch);
    }
}

void MainWindow::FollowWatchFolder() {
    const std::string& typed = m_app.Rules().AutoLoadSettings.Path;
    if (TrimSpaces(typed).empty()) {
        m_monitor.Stop();
        SetWatchNote({});
        return;
    }
    const MaybeError error = m_monitor.Watch(FolderText(typed));
    SetWatchNote(error ? TextFromBytes(error->description) : QString());
    if (m_monitorNotifier == nullptr && m_monitor.FileDescriptor() >= 0) {
        // The descriptor stays the same for the monitor's life, whatever folder it watches.
        m_monitorNotifier =
            new QSocketNotifier(m_monitor.FileDescriptor(), QSocketNotifier::Read, this);
        connect(m_monitorNotifier, &QSocketNotifier::activated, this, &MainWindow::FolderChanged);
    }
}

void MainWindow::FolderChanged() {
    // Each change moves the poll on, so it comes once the last file written is quiet.
    if (m_monitor.TakeChanges() && m_homeLock && m_timeWatch.isActive()) {
        m_pickup.start();
    }
}

void MainWindow::StopWatch() {
    m_lockRetry.stop();
    m_pickup.stop();
    m_drainPending = false;
    m_monitor.Stop();
}

void MainWindow::SetWatchedElsewhere(const QString& holder, const QString& details) {
    m_watchedElsewhere = holder;
    m_watchedElsewhereDetails = details;
    ShowWatchLine();
}

void MainWindow::SetWatchNote(const QString& note) {
    m_monitorNote = note;
    ShowWatchLine();
}

void MainWindow::ShowWatchLine() {
    QString text;
    QStringList details;
    const WatchStatus& status = m_watchStatus;
    if (!m_watchedElsewhere.isEmpty()) {
        text = m_watchedElsewhere;
        details << m_watchedElsewhereDetails;
    } else if (!m_watchStatusKnown) {
        // No poll yet (the rules could not be read, or the first poll is still to come).
        text.clear();
    } else if (status.state == WatchStatus::State::Off) {
        text = QStringLiteral("Watch folder off: no folder set");
    } else {
        QString kinds;
        if (status.csv && status.dbf) {
            kinds = QStringLiteral("CSV and DBF files");
        } else if (status.csv || status.dbf) {
            kinds = status.csv ? QStringLiteral("CSV files") : QStringLiteral("DBF files");
        } else {
            kinds = QStringLiteral("no files (neither CSV nor DBF is chosen)");
        }
        text = QStringLiteral("Watching %1 for %2").arg(PathTextFromBytes(status.folder), kinds);
        if (status.lastPoll) {
            const LocalDateTime& poll = *status.lastPoll;
            text += QStringLiteral(", last poll at %1:%2:%3")
                        .arg(poll.hour, 2, 10, QLatin1Char('0'))
                        .arg(poll.minute, 2, 10, QLatin1Char('0'))
                        .arg(poll.second, 2, 10, QLatin1Char('0'));
        }
        if (!m_monitorNote.isEmpty()) {
            // New files are seen at the timed polls only; the reason goes in the tooltip.
            text += QStringLiteral(" (polling only)");
            details << m_monitorNote;
        }
    }
    m_watchLine->setText(text);
    details.prepend(text);
    details.removeAll(QString());
    m_watchLine->setToolTip(details.join(QLatin1Char('\n')));
}

void MainWindow::RulesSaved() {
    FollowWatchFolder();
    if (m_homeLock && m_timeWatch.isActive()) {
        // The watch line and the new folder's files follow now, not at the next timed poll.
        QTimer::singleShot(0, this, &MainWindow::PollWatch);
    }
}

QLabel* MainWindow::CaptionLabel(int frame, Caption caption) const {
    const StatusFrame* side = m_frames[static_cast<std::size_t>(frame)];
    switch (caption) {
        case Caption::RecordNumber:
            return side->RecordNumber();
        case Caption::CallLettersTo:
            return side->CallLettersTo();
        case Caption::CallLettersFrom:
            return side->CallLettersFrom();
        case Caption::CO:
            return side->CO();
        case Caption::Description:
            return side->Description();
        case Caption::File:
            return side->File();
    }
    return side->File();
}

void MainWindow::SetCaption(int frame, Caption caption, std::string_view text) {
    if (m_inBurst) {
        const auto slot =
            static_cast<std::size_t>(frame * kCaptionsPerFrame + static_cast<int>(caption));
        m_pendingCaptions[slot].assign(text);
        m_captionPending[slot] = true;
        return;
    }
    CaptionLabel(frame, caption)
        ->setText(caption == Caption::File ? PathTextFromBytes(text) : TextFromBytes(text));
}

void MainWindow::FlushCaptions() {
    for (int slot = 0; slot < kCaptionCount; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        if (!m_captionPending[i]) {
            continue;
        }
        m_captionPending[i] = false;
        const int frame = slot / kCaptionsPerFrame;
        const auto caption = static_cast<Caption>(slot % kCaptionsPerFrame);
        CaptionLabel(frame, caption)
            ->setText(caption == Caption::File ? PathTextFromBytes(m_pendingCaptions[i])
                                               : TextFromBytes(m_pendingCaptions[i]));
    }
}

void MainWindow::ShowEvent(int frame, int number, const ScheduleRecord& event) {
    SetCaption(frame, Caption::RecordNumber, StatusNumber(number));
    SetCaption(frame, Caption::CallLettersTo, event.tochnm_hd);
    SetCaption(frame, Caption::CallLettersFrom, event.fchnm_hd);
    SetCaption(frame, Caption::CO, event.co);
    SetCaption(frame, Caption::Description, event.pgm);
}

void MainWindow::JobPreparing(const std::string& input, const std::string& output) {
    m_preparedOutput = output;
    SetCaption(0, Caption::File, input);
    SetCaption(1, Caption::File, output);
}

void MainWindow::EventRead(int record, const ScheduleRecord& event) {
    ShowEvent(0, record, event);
}

void MainWindow::EventWritten(int outputCount, const ScheduleRecord& event) {
    ShowEvent(1, outputCount, event);
}

void MainWindow::ShowStatus(const QString& text, const QString& details) {
    m_statusLine->setText(text);
    m_statusLine->setToolTip(details.isEmpty() ? text : text + QLatin1Char('\n') + details);
}

void MainWindow::JobStarted(const std::string& input, const std::string& /*output*/, int events) {
    // A file held back before it is prepared (its output is another source's) records none.
    m_preparedOutput.clear();
    m_progress->setRange(0, std::max(events, 1));
    m_progress->setValue(0);
    m_progress->show();
    ShowStatus(QStringLiteral("Converting %1 ...").arg(BareName(input)), PathTextFromBytes(input));
}

namespace {
/** "; 0 events; 5,120 lines ignored: fewer than 18 fields" after a job's counts, or nothing. */
QString IgnoredLinesStatus(const JobReport& report) {
    const std::string note = IgnoredLinesNote(report.ignoredLines);
    if (note.empty()) {
        return {};
    }
    return QStringLiteral("; %1 %2; %3")
        .arg(QString::fromLatin1(GroupedCount(report.read)),
             report.read == 1 ? QStringLiteral("event") : QStringLiteral("events"),
             QString::fromLatin1(note));
}
}  // namespace

void MainWindow::JobEnded(const JobReport& report) {
    for (int frame = 0; frame < 2; ++frame) {
        for (int caption = 0; caption < kCaptionsPerFrame; ++caption) {
            SetCaption(frame, static_cast<Caption>(caption), "");
        }
    }
    m_progress->hide();
    const QString names =
        QStringLiteral("%1 -> %2").arg(BareName(report.input), BareName(report.output));
    const QString paths = QStringLiteral("%1\n%2").arg(PathTextFromBytes(report.input),
                                                       PathTextFromBytes(report.output));
    if (report.failure) {
        ShowStatus(QStringLiteral("Last job: %1 failed, no new output: %2")
                       .arg(names, ErrorSummary(*report.failure)),
                   paths);
    } else {
        ShowStatus(QStringLiteral("Last job: %1: %2 written, %3 deleted, %4 skipped%5")
                           .arg(names)
                           .arg(report.written)
                           .arg(report.deleted)
                           .arg(report.skipped)
                           .arg(KeptSourceText(report)) +
                       IgnoredLinesStatus(report),
                   paths);
    }
    JobLogEntry entry;
    entry.source = report.input;
    entry.output = report.output;
    static_cast<JobCounts&>(entry) = report;
    if (report.failure) {
        entry.outcome = JobLogEntry::Outcome::Failed;
        entry.error =
            report.failure->description + " (error " + std::to_string(report.failure->number) + ")";
    } else if (!report.sourceKept.empty()) {
        // A watch-folder file held back after a complete output: marked so it can be redone.
        entry.outcome = JobLogEntry::Outcome::Failed;
        entry.error = "the output is complete, but the source is kept: " + report.sourceKept;
    }
    LogJob(std::move(entry));
    if (!m_dropped.empty()) {
        // After this handler: the next dropped file starts once the application is idle.
        QTimer::singleShot(0, this, &MainWindow::StartNextDropped);
    }
}

void MainWindow::ProblemReported(const Error& problem) {
    m_statusLine->setText(TextFromBytes(problem.description));
    m_statusLine->setToolTip(TextFromBytes(problem.description));
}

void MainWindow::JobSetUpFailed(const std::string& input, const Error& error) {
    m_progress->hide();
    if (error.cause == errors::kEventTableFull) {
        ShowStatus(QStringLiteral("%1 has more than 32,767 events; nothing was converted")
                       .arg(BareName(input)),
                   PathTextFromBytes(input));
    } else {
        ShowStatus(
            QStringLiteral("Could not convert %1: %2").arg(BareName(input), ErrorSummary(error)),
            PathTextFromBytes(input));
    }
    JobLogEntry entry;
    entry.source = input;
    entry.output = std::exchange(m_preparedOutput, std::string());
    entry.outcome = JobLogEntry::Outcome::SetUpFailed;
    entry.error = error.description + " (error " + std::to_string(error.number) + ")";
    LogJob(std::move(entry));
}

void MainWindow::WatchStatusChanged(const WatchStatus& status) {
    m_watchStatus = status;
    m_watchStatusKnown = true;
    ShowWatchLine();
}

void MainWindow::BuildViewMenu(QMenu* view) {
    view->setObjectName(QStringLiteral("menuView"));
    connect(MenuAction(view, "menuViewHistory", QStringLiteral("Job &History")),
            &QAction::triggered, this, &MainWindow::ShowJobHistory);
    // Earlier runs' jobs; a log that cannot be read is said, and this run's jobs still kept.
    if (const auto error = m_jobLog.Load()) {
        ShowStatus(QStringLiteral("The job history cannot be read: %1").arg(ErrorSummary(*error)));
    }
}

void MainWindow::LogJob(JobLogEntry entry) {
    entry.time = m_clock.LocalNow();
    if (const auto error = m_jobLog.Append(entry)) {
        ShowStatus(
            m_statusLine->text() +
                QStringLiteral("; the job history was not saved: %1").arg(ErrorSummary(*error)),
            PathTextFromBytes(m_jobLog.File().string()));
    }
    if (m_history) {
        m_history->SetEntries(m_jobLog.Entries());
    }
}

void MainWindow::ShowJobHistory() {
    if (!m_history) {
        m_history =
            new JobHistoryWindow([this](const JobLogEntry& entry) { ConvertAgain(entry); }, this);
        m_history->SetEntries(m_jobLog.Entries());
    }
    m_history->show();
    m_history->raise();
    m_history->activateWindow();
}

void MainWindow::ConvertAgain(const JobLogEntry& entry) {
    if (m_app.IsJobRunning()) {
        ShowStatus(QStringLiteral("A conversion is running; convert %1 again when it ends")
                       .arg(BareName(entry.source)));
        return;
    }
    const auto slash = entry.source.rfind('/');
    const ChosenFile chosen{
        entry.source, slash == std::string::npos ? entry.source : entry.source.substr(slash + 1)};
    // The recorded output: an automatic job's retry lands where the watch folder put it.
    const auto output =
        entry.output.empty() ? std::nullopt : std::optional<std::string>(entry.output);
    if (const auto error = m_app.ConvertChosenFile(chosen, output)) {
        ShowErrorBox(m_history ? static_cast<QWidget*>(m_history) : this, *error);
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* mime = event->mimeData();
    const QList<QUrl> urls = mime != nullptr ? mime->urls() : QList<QUrl>();
    if (std::any_of(urls.cbegin(), urls.cend(),
                    [](const QUrl& url) { return url.isLocalFile(); })) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QMimeData* mime = event->mimeData();
    if (mime == nullptr || !mime->hasUrls()) {
        return;
    }
    QStringList refused;
    for (const QUrl& url : mime->urls()) {
        const QString path = url.toLocalFile();
        if (path.isEmpty() || !QFileInfo(path).isFile() ||
            !ScheduleKindOf(PathBytesFromText(path))) {
            refused << (path.isEmpty() ? url.toString() : QFileInfo(path).fileName());
            continue;
        }
        m_dropped.push_back(
            {PathBytesFromText(path), PathBytesFromText(QFileInfo(path).fileName())});
    }
    event->acceptProposedAction();
    if (!refused.isEmpty()) {
        ShowStatus(QStringLiteral("Not converted, only .DBF and .CSV schedule files are: %1")
                       .arg(refused.join(QStringLiteral(", "))));
    }
    StartNextDropped();
}

void MainWindow::StartNextDropped() {
    // A running job (one before, or the watch folder's) starts the next when it ends. An error
    // box turns the event loop: a job ending meanwhile must not start a second loop here.
    if (m_startingDropped) {
        return;
    }
    m_startingDropped = true;
    while (!m_dropped.empty() && !m_app.IsJobRunning()) {
        const ChosenFile next = m_dropped.front();
        m_dropped.pop_front();
        RememberOpened(next.path);
        if (const auto error = m_app.ConvertChosenFile(next)) {
            ShowErrorBox(this, *error);
        }
    }
    m_startingDropped = false;
}

void MainWindow::BuildRecentMenu(QMenu* file) {
    m_recentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    m_recentMenu->setObjectName(QStringLiteral("menuFileRecent"));
    if (const auto error = m_recent.Load()) {
        ShowStatus(QStringLiteral("The recent files cannot be read: %1").arg(ErrorSummary(*error)));
    }
    FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
    m_recentMenu->clear();
    int number = 0;
    for (const std::string& path : m_recent.Files()) {
        ++number;
        QAction* action = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(number).arg(PathTextFromBytes(path)));
        action->setObjectName(QStringLiteral("menuFileRecent%1").arg(number));
        // Later: opening refills this menu, which must not delete the action while it fires.
        connect(action, &QAction::triggered, this,
                [this, path] { QTimer::singleShot(0, this, [this, path] { OpenRecent(path); }); });
    }
    m_recentMenu->setEnabled(number > 0);
}

void MainWindow::RememberOpened(const std::string& path) {
    if (const auto error = m_recent.Add(path)) {
        ShowStatus(QStringLiteral("The recent files were not saved: %1").arg(ErrorSummary(*error)));
    }
    FillRecentMenu();
}

void MainWindow::OpenRecent(const std::string& path) {
    if (m_app.IsJobRunning()) {
        return;
    }
    RememberOpened(path);
    const auto slash = path.rfind('/');
    if (const auto error = m_app.ConvertChosenFile(
            {path, slash == std::string::npos ? path : path.substr(slash + 1)})) {
        ShowErrorBox(this, *error);
    }
}

}  // namespace skedora
