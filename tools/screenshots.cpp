// skedora-screenshots: every window a user can open, saved as PNG files into the folder named
// on the command line (the build's screenshots folder when run by `make screenshots`). Runs on a
// fresh temporary home; exits 1 naming the picture that could not be taken.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "app/schedule_audit.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"
#include "ui/auto_load_dialog.h"
#include "ui/change_call_letters_dialog.h"
#include "ui/main_window.h"
#include "ui/preview_window.h"
#include "ui/status_frame.h"

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;

namespace {

/** Answers the Open command with the file set beforehand. */
class NextFileChooser : public FileChooser {
  public:
    std::optional<ChosenFile> ChooseFile() override { return next; }
    std::optional<ChosenFile> next;
};

/** A rule in each list, so that every dialog shows something. */
RuleSet SampleRules() {
    RuleSet rules;
    rules.DeleteCallLetterRules[1] = {"WABC-HD", "9999"};
    rules.DeleteSourceDestinationRules[1] = {"ALL", "WXYZ"};
    rules.DeleteAllFlags.AllSD = true;
    rules.ChangeCallLetterRules[1] = {"KABC", "12", "KABC-DT"};
    rules.ChangeCOFromCallLetterRules[1] = {"ALL", "12", "34"};
    rules.ChangeCOFromDescriptionRules[1] = {"Evening News", "7", "8"};
    for (ChangeTimeRule& rule : rules.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    rules.ChangeTimeRules[1] = {"WABC", "KQED", "12", "Late Movie", 2, "00:30:00"};
    rules.AutoLoadSettings = {"/srv/incoming/", "/srv/out/", true, true, true, false};
    return rules;
}

std::vector<TestEvent> ManyEvents(int count) {
    std::vector<TestEvent> events(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < events.size(); ++i) {
        events[i] = {"WABC-HD", "WXYZ", std::to_string(i % 50), "EVENING NEWS"};
    }
    return events;
}

void Require(bool condition, const char* what) {
    if (!condition) {
        throw std::runtime_error(what);
    }
}

template <typename T>
T* Child(QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    Require(child != nullptr, name);
    return child;
}

class Camera {
  public:
    explicit Camera(QString folder) : m_folder(std::move(folder)) {}

    void Save(const QPixmap& picture, const QString& name) {
        const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
        Require(picture.save(path), qPrintable(path));
        std::printf("%s\n", qPrintable(path));
        ++m_count;
    }
    void Save(QWidget& widget, const QString& name) { Save(widget.grab(), name); }
    int Count() const { return m_count; }

  private:
    QString m_folder;
    int m_count = 0;
};

/** The window, its About box, the five dialogs, an error box, a job and the watch. */
void MainWindowPictures(Camera& camera) {
    TempDir home;
    auto chooser = std::make_unique<NextFileChooser>();
    NextFileChooser& next = *chooser;
    MainWindow window(home.path(), std::move(chooser));
    window.show();
    Require(QTest::qWaitForWindowActive(&window), "the main window did not become active");
    const auto open = [&](const fs::path& file) {
        next.next = ChosenFile{file.string(), file.filename().string()};
        Child<QAction>(window, "menuFileOpen")->trigger();
    };
    const auto jobRunning = [&] { return Child<QTimer>(window, "timeCONV")->isActive(); };

    RuleSet& rules = window.application().Rules();
    const RuleSet loaded = rules;
    rules = SampleRules();
    camera.Save(window, QStringLiteral("frmMain"));
    for (const char* action : {"menuAbout", "menuSetDelete", "menuSetCall", "menuSetCO",
                               "menuSetTime", "menuSetAutoLoad", "menuHelpGuide"}) {
        Child<QAction>(window, action)->trigger();
        QPointer<QWidget> shown;
        Require(QTest::qWaitFor([&] {
                    shown = QApplication::activeWindow();
                    return shown && shown != &window;
                }),
                action);
        QTest::qWait(50);
        camera.Save(*shown,
                    shown->objectName().isEmpty() ? QLatin1String(action) : shown->objectName());
        shown->close();
        Require(QTest::qWaitFor([&] { return shown.isNull() || !shown->isVisible(); }), action);
    }

    {  // The error box of a file that is no schedule, grabbed before it is answered.
        bool taken = false;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (!taken) {
                    camera.Save(*box, QStringLiteral("error_box"));
                    taken = true;
                }
                box->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(10);
        open(home.file("notes.txt"));
        Require(taken, "no error box for notes.txt");
    }

    rules = loaded;  // the sample rules delete every event
    WriteCsvSchedule(home.file("WEEK1.CSV"), ManyEvents(20000));
    window.SetBurstBudget(std::chrono::milliseconds(0));  // caught in the middle
    open(home.file("WEEK1.CSV"));
    Require(QTest::qWaitFor([&] { return window.application().Job().OutputCount > 0; }),
            "the job did not start");
    camera.Save(window, QStringLiteral("frmMain_job"));
    window.SetBurstBudget(MainWindow::kBurstBudget);
    Require(QTest::qWaitFor([&] { return !jobRunning(); }, 60000), "the job did not end");
    camera.Save(window, QStringLiteral("frmMain_after_job"));

    // Watching, with a job that failed for want of its output folder, and the history.
    const fs::path watch = home.file("incoming");
    fs::create_directory(watch);
    rules.AutoLoadSettings = {
        watch.string() + "/", home.file("missing").string() + "/", false, true, true, false};
    WriteCsvSchedule(watch / "WEEK2.CSV", ManyEvents(3));
    fs::last_write_time(watch / "WEEK2.CSV",
                        fs::file_time_type::clock::now() - std::chrono::minutes(1));
    Child<QTimer>(window, "timeWatch")->setInterval(10);
    auto* status = Child<QLabel>(window, "lblStatusLine");
    Require(QTest::qWaitFor(
                [&] {
                    return status->text().startsWith(QStringLiteral("Last job: WEEK2.CSV")) &&
                           !jobRunning();
                },
                20000),
            "the watch took no file");
    camera.Save(window, QStringLiteral("frmMain_watching"));
    Child<QAction>(window, "menuViewHistory")->trigger();
    auto* history = Child<QWidget>(window, "frmJobHistory");
    Require(QTest::qWaitForWindowExposed(history), "no job history");
    Child<QTableView>(*history, "tblJobs")->selectRow(0);
    camera.Save(*history, QStringLiteral("job_history"));
}

/** Auto Load with its Browse buttons and a folder warning; a dialog kept open with edits. */
void DialogPictures(Camera& camera) {
    TempDir home;
    QMainWindow other;
    other.setObjectName(QStringLiteral("frmMain"));
    auto* frames = new QWidget;
    auto* column = new QVBoxLayout(frames);
    column->addWidget(new StatusFrame(0));
    column->addWidget(new StatusFrame(1));
    other.setCentralWidget(frames);
    other.resize(680, 560);
    other.show();
    Require(QTest::qWaitForWindowActive(&other), "no window for the dialogs");
    RuleSet rules = SampleRules();
    rules.AutoLoadSettings.Path = home.folderText();
    rules.AutoLoadSettings.OutPath = "/mnt/playout/offline/";
    const SaveRules save = []() -> MaybeError { return std::nullopt; };

    QPointer<SettingsDialog> dialog = new AutoLoadDialog(rules, save, &other);
    dialog->show();
    Require(QTest::qWaitForWindowExposed(dialog), "no Auto Load dialog");
    camera.Save(*dialog, QStringLiteral("frmSetAutoLoad_browse"));
    dialog->Discard();

    dialog = new ChangeCallLettersDialog(rules, save, &other);
    dialog->move(other.geometry().topLeft() + QPoint(60, 60));
    dialog->show();
    dialog->activateWindow();
    Require(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }),
            "the dialog did not become active");
    auto* box = Child<QLineEdit>(*dialog, "txtCL_2");
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("wxyz"));
    QTest::mouseClick(&other, Qt::LeftButton);
    other.activateWindow();
    QTest::qWait(50);
    Require(!dialog.isNull() && dialog->isVisible(), "the edited dialog closed");
    const QRect both = other.frameGeometry().united(dialog->frameGeometry());
    camera.Save(QGuiApplication::primaryScreen()->grabWindow(0, both.x(), both.y(), both.width(),
                                                             both.height()),
                QStringLiteral("unsaved_edits_kept_open"));
    dialog->Discard();
}

void PreviewPicture(Camera& camera) {
    TempDir data;
    RuleSet rules;
    rules.DeleteCallLetterRules[3] = {"WDEL", "12"};
    rules.DeleteCallLetterRules[7] = {"ZZZZ", "1"};
    rules.ChangeCallLetterRules[5] = {"WABC", "12", "WABC-HD"};
    WriteCsvSchedule(data.file("week1.csv"), {{"WABC", "WXYZ", "12", "News"},
                                              {"WABC", " ", "12", "Blank"},
                                              {"WDEL", "WXYZ", "12", "Gone"},
                                              {"KQED", "WXYZ", "9", "Kept"}});
    auto audit = std::make_unique<RuleAudit>(rules);
    Require(!AuditSchedule(rules, data.file("week1.csv").string(), "week1.csv", *audit),
            "the preview's schedule was not read");
    PreviewWindow window;
    window.resize(1300, 420);
    window.SetAudit(std::move(audit), QStringLiteral("week1.csv"));
    window.show();
    Require(QTest::qWaitForWindowExposed(&window), "no preview window");
    camera.Save(window, QStringLiteral("preview"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString folder = arguments.value(1, QStringLiteral("screenshots"));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skedora-screenshots: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    Camera camera(folder);
    try {
        MainWindowPictures(camera);
        DialogPictures(camera);
        PreviewPicture(camera);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "skedora-screenshots: %s\n", failure.what());
        return 1;
    }
    std::printf("%d pictures in %s\n", camera.Count(), qPrintable(folder));
    return 0;
}
