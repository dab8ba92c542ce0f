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

#include "engine/conversion_burst.h"
#include "ui/about_dialog.h"
#include "ui/auto_load_dialog.h"
#include "ui/byte_text.h"
#include "ui/change_call_letters_dialog.h"
#include "ui/change_co_dialog.h"
#include "ui/change_time_dialog.h"
#include "ui/delete_events_dialog.h"
#include "ui/file_path_text.h"
#include "ui/program_logo.h"
#include "ui/qt_file_chooser.h"
#include "ui/status_frame.h"

namespace skedora {

namespace {

int CaptionSlot(StatusLabel label, int index) {
    return static_cast<int>(label) * 2 + (index == 2 ? 1 : 0);
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
    return QStringLiteral("Skedora Converter Version %1.%2.%3")
        .arg(SKEDORA_VERSION_MAJOR)
        .arg(SKEDORA_VERSION_MINOR)
        .arg(SKEDORA_VERSION_REVISION);
}

MainWindow::MainWindow(std::filesystem::path home, std::unique_ptr<FileChooser> chooser,
                       QWidget* parent)
    : QMainWindow(parent),
      m_chooser(chooser ? std::move(chooser) : std::make_unique<QtFileChooser>(this)),
      m_app(std::move(home), Platform{m_conversionTimer, m_watchTimer, *this, *m_chooser,
                                      m_messages, m_files, m_clock, *this}) {
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
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("menuFile"));
    connect(MenuAction(file, "menuFileOpen", QStringLiteral("Open")), &QAction::triggered, this,
            [this] { m_app.OpenScheduleCommand(); });
    connect(MenuAction(file, "menuFileExit", QStringLiteral("Exit")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* settings = menuBar()->addMenu(QStringLiteral("Settings"));
    settings->setObjectName(QStringLiteral("menuSet"));
    connect(MenuAction(settings, "menuSetDelete", QStringLiteral("Delete Events")),
            &QAction::triggered, this, [this] { ShowSettingsDialog(m_deleteDialog); });
    connect(MenuAction(settings, "menuSetCO", QStringLiteral("Change CO#'s")), &QAction::triggered,
            this, [this] { ShowSettingsDialog(m_coDialog); });
    connect(MenuAction(settings, "menuSetCall", QStringLiteral("Change Call Letters")),
            &QAction::triggered, this, [this] { ShowSettingsDialog(m_callDialog); });
    connect(MenuAction(settings, "menuSetTime", QStringLiteral("Change Time")), &QAction::triggered,
            this, [this] { ShowSettingsDialog(m_timeDialog); });
    connect(MenuAction(settings, "menuSetAutoLoad", QStringLiteral("Skedora Auto Load")),
            &QAction::triggered, this, [this] { ShowSettingsDialog(m_autoLoadDialog); });

    QAction* about = menuBar()->addAction(QStringLiteral("About"));
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
    m_about = new AboutDialog(m_app.home().string(), this);
    m_about->show();
    m_about->activateWindow();
}

template <typename Dialog>
void MainWindow::ShowSettingsDialog(QPointer<Dialog>& dialog) {
    // An open instance closes without storing; the new one fills from the rule set as it is.
    delete dialog;
    dialog = new Dialog(
        m_app.rules(), [this] { return m_app.SaveSettings(); }, this);
    dialog->show();
    dialog->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The core closes a running job's output (and stops timeCONV) only while the job runs.
    m_app.CloseOpenFiles();
    m_timeCONV.stop();
    m_timeWatch.stop();
    delete m_about;
    delete m_deleteDialog;
    delete m_coDialog;
    delete m_callDialog;
    delete m_timeDialog;
    delete m_autoLoadDialog;
    event->accept();
}

void MainWindow::RunConversionBurst() {
    m_inBurst = true;
    skedora::RunConversionBurst(m_app, m_burstBudget);
    m_inBurst = false;
    FlushCaptions();
    ShowProgress();
}

void MainWindow::ShowProgress() {
    if (!m_progress->isVisible() && !m_app.IsJobRunning()) {
        return;
    }
    const int count = m_app.job().Events.Count();
    m_progress->setValue(std::clamp(m_app.job().RecordIndex, 0, count));
}

QLabel* MainWindow::CaptionLabel(StatusLabel label, int index) const {
    const StatusFrame* frame = m_frames[index == 2 ? 1 : 0];
    switch (label) {
        case StatusLabel::lblRECNUM:
            return frame->RecordNumber();
        case StatusLabel::lblCLTO:
            return frame->CallLettersTo();
        case StatusLabel::lblCLFROM:
            return frame->CallLettersFrom();
        case StatusLabel::lblCO:
            return frame->CO();
        case StatusLabel::lblDESC:
            return frame->Description();
        case StatusLabel::lblFILE:
            return frame->File();
    }
    return frame->File();
}

void MainWindow::SetCaption(StatusLabel label, int index, std::string_view caption) {
    if (m_inBurst) {
        const auto slot = static_cast<std::size_t>(CaptionSlot(label, index));
        m_pendingCaptions[slot].assign(caption);
        m_captionPending[slot] = true;
        return;
    }
    QLabel* target = CaptionLabel(label, index);
    target->setText(label == StatusLabel::lblFILE ? PathTextFromBytes(caption)
                                                  : TextFromBytes(caption));
}

void MainWindow::FlushCaptions() {
    for (int slot = 0; slot < kCaptionCount; ++slot) {
        const auto i = static_cast<std::size_t>(slot);
        if (!m_captionPending[i]) {
            continue;
        }
        m_captionPending[i] = false;
        const auto label = static_cast<StatusLabel>(slot / 2);
        const int index = slot % 2 + 1;
        CaptionLabel(label, index)
            ->setText(label == StatusLabel::lblFILE ? PathTextFromBytes(m_pendingCaptions[i])
                                                    : TextFromBytes(m_pendingCaptions[i]));
    }
}

void MainWindow::JobStarted(const std::string& input, const std::string& /*output*/) {
    m_progress->setRange(0, std::max(m_app.job().Events.Count(), 1));
    m_progress->setValue(0);
    m_progress->show();
    m_statusLine->setText(QStringLiteral("Converting %1 ...").arg(BareName(input)));
    m_statusLine->setToolTip(PathTextFromBytes(input));
}

void MainWindow::JobEnded(const JobReport& report) {
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
