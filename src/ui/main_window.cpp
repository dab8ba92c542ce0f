#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/schedule_audit.h"
#include "model/version.h"
#include "ui/about_dialog.h"
#include "ui/auto_load_dialog.h"
#include "ui/byte_text.h"
#include "ui/change_call_letters_dialog.h"
#include "ui/change_co_dialog.h"
#include "ui/change_time_dialog.h"
#include "ui/delete_events_dialog.h"
#include "ui/error_box.h"
#include "ui/file_path_text.h"
#include "ui/help_window.h"
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
      m_app(std::move(home), Ports{m_conversionTimer, m_watchTimer, m_files, m_clock, *this}) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(CaptionText());
    setWindowIcon(ProgramIcon());

    m_timeWatch.setParent(this);
    m_timeWatch.setObjectName(QStringLiteral("timeWatch"));
    m_timeCONV.setParent(this);
    m_timeCONV.setObjectName(QStringLiteral("timeCONV"));
    m_timeCONV.setTimerType(Qt::PreciseTimer);
    connect(&m_timeWatch, &QTimer::timeout, this, [this] { m_app.PollWatchFolder(); });
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
    resize(600, 420);

    m_app.StartUp();
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
    m_statusLine = new QLabel(this);
    m_statusLine->setObjectName(QStringLiteral("lblStatusLine"));
    m_statusLine->setTextFormat(Qt::PlainText);
    m_statusLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(m_statusLine, 1);

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
        m_app.Rules(), [this] { return m_app.SaveSettings(); }, this);
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
    delete m_about;
    delete m_help;
    delete m_deleteDialog;
    delete m_coDialog;
    delete m_callDialog;
    delete m_timeDialog;
    delete m_autoLoadDialog;
    event->accept();
}

void MainWindow::OpenScheduleCommand() {
    if (m_app.IsJobRunning()) {
        return;
    }
    const auto chosen = m_chooser->ChooseFile();
    if (!chosen) {
        return;
    }
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
    }
    preview->SetAudit(std::move(audit), TextFromBytes(chosen->name));
    preview->show();
    preview->raise();
    preview->activateWindow();
}

void MainWindow::RunConversionBurst() {
    m_inBurst = true;
    m_app.RunConversionBurst(m_burstBudget);
    m_inBurst = false;
    FlushCaptions();
    ShowProgress();
}

void MainWindow::ShowProgress() {
    if (!m_progress->isVisible() && !m_app.IsJobRunning()) {
        return;
    }
    const int count = m_app.Job().Events.Count();
    m_progress->setValue(std::clamp(m_app.Job().RecordIndex, 0, count));
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
    SetCaption(0, Caption::File, input);
    SetCaption(1, Caption::File, output);
}

void MainWindow::EventRead(int record, const ScheduleRecord& event) {
    ShowEvent(0, record, event);
}

void MainWindow::EventWritten(int outputCount, const ScheduleRecord& event) {
    ShowEvent(1, outputCount, event);
}

void MainWindow::JobStarted(const std::string& input, const std::string& /*output*/, int events) {
    m_progress->setRange(0, std::max(events, 1));
    m_progress->setValue(0);
    m_progress->show();
    m_statusLine->setText(QStringLiteral("Converting %1 ...").arg(BareName(input)));
    m_statusLine->setToolTip(PathTextFromBytes(input));
}

void MainWindow::JobEnded(const JobReport& report) {
    for (int frame = 0; frame < 2; ++frame) {
        for (int caption = 0; caption < kCaptionsPerFrame; ++caption) {
            SetCaption(frame, static_cast<Caption>(caption), "");
        }
    }
    m_progress->hide();
    const QString names =
        QStringLiteral("%1 -> %2").arg(BareName(report.input), BareName(report.output));
    if (report.failure) {
        m_statusLine->setText(QStringLiteral("Last job: %1 failed, the output is not complete: %2")
                                  .arg(names, ErrorSummary(*report.failure)));
    } else {
        m_statusLine->setText(QStringLiteral("Last job: %1: %2 written, %3 deleted, %4 skipped")
                                  .arg(names)
                                  .arg(report.written)
                                  .arg(report.deleted)
                                  .arg(report.skipped));
    }
    m_statusLine->setToolTip(QStringLiteral("%1\n%2").arg(PathTextFromBytes(report.input),
                                                          PathTextFromBytes(report.output)));
}

void MainWindow::JobSetUpFailed(const std::string& input, const Error& error) {
    m_progress->hide();
    m_statusLine->setText(
        QStringLiteral("Could not convert %1: %2").arg(BareName(input), ErrorSummary(error)));
    m_statusLine->setToolTip(PathTextFromBytes(input));
}

}  // namespace skedora
