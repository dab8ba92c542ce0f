#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "ui/about_dialog.h"
#include "ui/qt_file_chooser.h"
#include "window_test_support.h"

using namespace skedora;
using namespace skedora::test;

namespace {

/** A window over a fresh home folder, with the Open command's dialog stubbed. */
struct Fixture {
    Fixture() {
        auto stub = std::make_unique<StubChooser>();
        chooser = stub.get();
        window = std::make_unique<MainWindow>(home.path(), std::move(stub));
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) {
            qWarning("the main window did not become active");
        }
    }

    TempDir home;
    StubChooser* chooser = nullptr;
    std::unique_ptr<MainWindow> window;
};

/**
 * Turns the event loop until the conversion has handled its first events. With a burst budget
 * of 0 a burst handles only a few events, so the job is still running afterwards.
 */
void ProcessFirstBurst(MainWindow& window) {
    QDeadlineTimer deadline(5000);
    while (window.application().job().RecordIndex == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

QStringList ActionTexts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) {
        texts << action->text();
    }
    return texts;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startsIdleWithItsCaptionAndEmptyFrames() {
        Fixture f;
        MainWindow& w = *f.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Skedora Converter Version 7.0.16"));
        for (const char* name : kValueLabels) {
            QVERIFY2(FindLabel(w, name)->text().isEmpty(), name);
        }
        QCOMPARE(w.findChild<QGroupBox*>(QStringLiteral("Frame1_0"))->title(),
                 QStringLiteral("Conversion Status (Input)"));
        QCOMPARE(w.findChild<QGroupBox*>(QStringLiteral("Frame1_1"))->title(),
                 QStringLiteral("Conversion Status (Output)"));
        QCOMPARE(FindLabel(w, "Label1_1")->text(), QStringLiteral("Record Number"));
        QCOMPARE(FindLabel(w, "Label4_0")->text(), QStringLiteral("Call Letters (From)"));

        QVERIFY(!FindTimer(w, "timeCONV")->isActive());
        QVERIFY(FindTimer(w, "timeWatch")->isActive());
        QCOMPARE(FindTimer(w, "timeWatch")->interval(), 10000);
        QVERIFY(!w.findChild<QProgressBar*>(QStringLiteral("prgJob"))->isVisible());
        QVERIFY(FindLabel(w, "lblStatusLine")->text().isEmpty());
    }

    void menusInOrderWithPlainCaptions() {
        Fixture f;
        MainWindow& w = *f.window;
        const QList<QAction*> top = w.menuBar()->actions();
        QCOMPARE(ActionTexts(top), (QStringList{QStringLiteral("File"), QStringLiteral("Settings"),
                                                QStringLiteral("About")}));
        QCOMPARE(top[0]->menu()->objectName(), QStringLiteral("menuFile"));
        QCOMPARE(top[1]->menu()->objectName(), QStringLiteral("menuSet"));
        QCOMPARE(top[2]->objectName(), QStringLiteral("menuAbout"));
        QVERIFY(top[2]->menu() == nullptr);

        const QList<QAction*> file = top[0]->menu()->actions();
        QCOMPARE(ActionTexts(file), (QStringList{QStringLiteral("Open"), QStringLiteral("Exit")}));
        QCOMPARE(file[0]->objectName(), QStringLiteral("menuFileOpen"));
        QCOMPARE(file[1]->objectName(), QStringLiteral("menuFileExit"));

        const QList<QAction*> settings = top[1]->menu()->actions();
        QCOMPARE(ActionTexts(settings),
                 (QStringList{QStringLiteral("Delete Events"), QStringLiteral("Change CO#'s"),
                              QStringLiteral("Change Call Letters"), QStringLiteral("Change Time"),
                              QStringLiteral("Skedora Auto Load")}));
        const QStringList names{QStringLiteral("menuSetDelete"), QStringLiteral("menuSetCO"),
                                QStringLiteral("menuSetCall"), QStringLiteral("menuSetTime"),
                                QStringLiteral("menuSetAutoLoad")};
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(settings[i]->objectName(), names[i]);
        }
        for (QAction* action : w.findChildren<QAction*>()) {
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->text()));
            QVERIFY2(!action->text().contains(QLatin1Char('&')), qPrintable(action->text()));
        }
    }

    void aboutShowsTheVersionAndClosesOnOkOrWhenTheWindowIsClicked() {
        Fixture f;
        MainWindow& w = *f.window;
        FindAction(w, "menuAbout")->trigger();
        QPointer<AboutDialog> about = w.findChild<AboutDialog*>(QStringLiteral("frmAbout"));
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("About"));
        QCOMPARE(FindLabel(*about, "Label2_1")->text(), QStringLiteral("Skedora Converter"));
        QCOMPARE(FindLabel(*about, "lblVersion")->text(), QStringLiteral("Version 7.0"));
        QVERIFY(QTest::qWaitForWindowActive(about));

        // Shown again: still one instance.
        FindAction(w, "menuAbout")->trigger();
        QCOMPARE(w.findChildren<AboutDialog*>().size(), 1);
        about = w.findChild<AboutDialog*>();
        QVERIFY(QTest::qWaitForWindowActive(about));

        ClickInto(w);
        QTRY_VERIFY(about.isNull());

        FindAction(w, "menuAbout")->trigger();
        about = w.findChild<AboutDialog*>();
        QVERIFY(about);
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QTRY_VERIFY(about.isNull());
    }

    void eachSettingsDialogIsOneInstanceClosedByClickingTheWindow_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("Delete Events")
            << QStringLiteral("menuSetDelete") << QStringLiteral("frmDelete");
        QTest::newRow("Change CO#'s") << QStringLiteral("menuSetCO") << QStringLiteral("frmCO");
        QTest::newRow("Change Call Letters")
            << QStringLiteral("menuSetCall") << QStringLiteral("frmCall");
        QTest::newRow("Change Time")
            << QStringLiteral("menuSetTime") << QStringLiteral("frmSetChangeTime");
        QTest::newRow("Skedora Auto Load")
            << QStringLiteral("menuSetAutoLoad") << QStringLiteral("frmSetAutoLoad");
    }

    void eachSettingsDialogIsOneInstanceClosedByClickingTheWindow() {
        QFETCH(QString, action);
        QFETCH(QString, dialog);
        Fixture f;
        MainWindow& w = *f.window;
        w.findChild<QAction*>(action)->trigger();
        QPointer<QDialog> first = w.findChild<QDialog*>(dialog);
        QVERIFY(first);
        QVERIFY(!first->isModal());
        QVERIFY(QTest::qWaitForWindowActive(first));

        // Chosen again: the open one goes, a fresh one takes its place.
        w.findChild<QAction*>(action)->trigger();
        QVERIFY(first.isNull());
        QCOMPARE(w.findChildren<QDialog*>(dialog).size(), 1);
        QPointer<QDialog> second = w.findChild<QDialog*>(dialog);
        QVERIFY(QTest::qWaitForWindowActive(second));

        ClickInto(w);
        QTRY_VERIFY(second.isNull());
        QVERIFY(w.findChildren<QDialog*>().isEmpty());
    }

    void settingsDialogFillsFromTheRulesAndSavesIntoTheHomeFolder() {
        Fixture f;
        MainWindow& w = *f.window;
        RuleSet& rules = w.application().rules();
        rules.DeleteCallLetterRules[1].CallLetter = "WXYZ";

        FindAction(w, "menuSetDelete")->trigger();
        auto* dialog = w.findChild<QDialog*>(QStringLiteral("frmDelete"));
        auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("txtCL_1"));
        QCOMPARE(box->text(), QStringLiteral("WXYZ"));
        box->setText(QStringLiteral("KABC"));

        // Opened afresh: the edit was not stored.
        FindAction(w, "menuSetDelete")->trigger();
        QPointer<QDialog> fresh = w.findChild<QDialog*>(QStringLiteral("frmDelete"));
        box = fresh->findChild<QLineEdit*>(QStringLiteral("txtCL_1"));
        QCOMPARE(box->text(), QStringLiteral("WXYZ"));
        QCOMPARE(rules.DeleteCallLetterRules[1].CallLetter, std::string("WXYZ"));

        box->setText(QStringLiteral("KABC"));
        QTest::mouseClick(fresh->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QTRY_VERIFY(fresh.isNull());
        QCOMPARE(rules.DeleteCallLetterRules[1].CallLetter, std::string("KABC"));
        QVERIFY(ReadFile(f.home.file("SK.ini")).find("KABC") != std::string::npos);
    }

    void openMenuRunsTheDialogThroughRealClicks() {
        Fixture f;
        MainWindow& w = *f.window;
        QMenuBar* bar = w.menuBar();
        QAction* fileMenu = bar->actions().at(0);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileMenu).center());
        QMenu* menu = fileMenu->menu();
        QTRY_VERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(FindAction(w, "menuFileOpen")).center());
        QTRY_COMPARE(f.chooser->calls, 1);
        QCOMPARE(f.chooser->lastFilter, std::string("Skedora (*.dbf;*.csv)|*.dbf;*.csv"));
    }

    void cancelledOpenChangesNothing() {
        Fixture f;
        MainWindow& w = *f.window;
        MessageBoxAnswerer boxes;
        FindAction(w, "menuFileOpen")->trigger();
        QCOMPARE(f.chooser->calls, 1);
        QTest::qWait(50);
        QCOMPARE(boxes.count, 0);
        QVERIFY(!FindTimer(w, "timeCONV")->isActive());
        QVERIFY(FindLabel(w, "lblFILE_1")->text().isEmpty());
    }

    void openConvertsACsvFileAndReportsTheJob() {
        Fixture f;
        MainWindow& w = *f.window;
        const auto input = f.home.file("week1.csv");
        WriteFile(input, std::string(kCsvHeader) + "\r\n" +
                             CsvEvent(1, "WABC-HD", "WXYZ ", "0042", " NEWS AT TEN") + "\r\n" +
                             CsvEvent(2, "WABC", "  ", "7", "SKIPPED") + "\r\n" +
                             CsvEvent(3, "KABC", "KXYZ", "9", "LATE SHOW") + "\r\n");
        f.chooser->next = Pick(input);

        FindAction(w, "menuFileOpen")->trigger();
        // Set-up is done when the command returns; the pass runs on the timer.
        QVERIFY(FindTimer(w, "timeCONV")->isActive());
        QCOMPARE(FindLabel(w, "lblFILE_1")->text(), QString::fromStdString(input.string()));
        QCOMPARE(FindLabel(w, "lblFILE_2")->text(),
                 QString::fromStdString(f.home.file("week1.CP2").string()));
        auto* progress = w.findChild<QProgressBar*>(QStringLiteral("prgJob"));
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->maximum(), 3);

        QTRY_VERIFY(!FindTimer(w, "timeCONV")->isActive());
        for (const char* name : kValueLabels) {
            QVERIFY2(FindLabel(w, name)->text().isEmpty(), name);
        }
        QVERIFY(!progress->isVisible());
        QCOMPARE(ReadFile(f.home.file("week1.CP2")),
                 std::string(kCsvHeader) + "\r\n" +
                     "1,03/05/2024,TUE,10:00:00,11:30:00,NEWS AT TEN,,,,,12,WABC-HD,5,WXYZ,0042,"
                     "NORTH,,,\r\n"
                     "3,03/05/2024,TUE,10:00:00,11:30:00,LATE SHOW,,,,,12,KABC,5,KXYZ,9,NORTH,,,"
                     "\r\n");
        QCOMPARE(
            FindLabel(w, "lblStatusLine")->text(),
            QStringLiteral("Last job: week1.csv -> week1.CP2: 2 written, 0 deleted, 1 skipped"));
    }

    void statusFramesShowTheEventsWhileAJobRuns() {
        Fixture f;
        MainWindow& w = *f.window;
        const auto input = f.home.file("big.csv");
        WriteFile(input, LargeCsvSchedule(20000));
        w.SetBurstBudget(std::chrono::milliseconds(0));
        f.chooser->next = Pick(input);
        FindAction(w, "menuFileOpen")->trigger();

        ProcessFirstBurst(w);
        auto* progress = w.findChild<QProgressBar*>(QStringLiteral("prgJob"));
        QVERIFY(progress->value() > 0);
        QVERIFY(FindTimer(w, "timeCONV")->isActive());
        QCOMPARE(FindLabel(w, "lblCLFROM_1")->text(), QStringLiteral("WXYZ"));
        QCOMPARE(FindLabel(w, "lblDESC_2")->text(), QStringLiteral("EVENING NEWS"));
        // Numbers have a blank in the place of the sign.
        QVERIFY(FindLabel(w, "lblRECNUM_1")->text().startsWith(QLatin1Char(' ')));
        QCOMPARE(FindLabel(w, "lblRECNUM_1")->text().trimmed().toInt(), progress->value());

        // Open is refused silently while the job runs.
        FindAction(w, "menuFileOpen")->trigger();
        QCOMPARE(f.chooser->calls, 1);
        w.SetBurstBudget(MainWindow::kBurstBudget);
        QTRY_VERIFY_WITH_TIMEOUT(!FindTimer(w, "timeCONV")->isActive(), 20000);
    }

    void badPicksShowTheErrorBox_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("not a schedule file")
            << QStringLiteral("notes.txt")
            << QStringLiteral("Only .DBF and .CSV schedule files can be converted");
        QTest::newRow("no extension")
            << QStringLiteral("schedule") << QStringLiteral("Invalid procedure call or argument");
    }

    void badPicksShowTheErrorBox() {
        QFETCH(QString, name);
        QFETCH(QString, description);
        Fixture f;
        MainWindow& w = *f.window;
        const auto path = f.home.file(name.toStdString());
        WriteFile(path, std::string(kCsvHeader) + "\r\n");
        f.chooser->next = Pick(path);

        MessageBoxAnswerer boxes;
        FindAction(w, "menuFileOpen")->trigger();
        QCOMPARE(boxes.count, 1);
        QCOMPARE(boxes.title, QStringLiteral("Error."));
        QCOMPARE(boxes.icon, QMessageBox::Critical);
        QCOMPARE(boxes.text,
                 QStringLiteral("Error! (%1).  Error number =  5.  Error Source = Skedora")
                     .arg(description));
        QVERIFY(!FindTimer(w, "timeCONV")->isActive());
        QVERIFY(
            FindLabel(w, "lblStatusLine")->text().startsWith(QStringLiteral("Could not convert ")));
    }

    void watchTimerRunsAutomaticJobsAndTheStatusLineReportsThem() {
        Fixture f;
        MainWindow& w = *f.window;
        const auto watch = f.home.file("watch");
        std::filesystem::create_directory(watch);
        const auto drop = [&](const char* name) {
            WriteFile(watch / name, std::string(kCsvHeader) + "\r\n" +
                                        CsvEvent(1, "WABC", "WXYZ", "1", "NEWS") + "\r\n");
            // Old enough that the poll does not take it for a file still being copied.
            std::filesystem::last_write_time(
                watch / name,
                std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));
        };
        AutoLoadSettingsGroup& autoLoad = w.application().rules().AutoLoadSettings;
        autoLoad.Path = watch.string() + "/";
        autoLoad.OutPath = f.home.file("out").string() + "/";
        autoLoad.CSV = true;
        FindTimer(w, "timeWatch")->setInterval(10);

        // No output folder yet: the job runs without its output, and the status line says so.
        drop("A.CSV");
        QTRY_VERIFY(
            FindLabel(w, "lblStatusLine")->text().startsWith(QStringLiteral("Last job: A.CSV")));
        QString line = FindLabel(w, "lblStatusLine")->text();
        QVERIFY2(line.startsWith(QStringLiteral("Last job: A.CSV -> A.CP2 failed")),
                 qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("(error 75)")), qPrintable(line));

        std::filesystem::create_directory(f.home.file("out"));
        drop("B.CSV");
        QTRY_VERIFY(
            FindLabel(w, "lblStatusLine")->text().startsWith(QStringLiteral("Last job: B.CSV")));
        QCOMPARE(FindLabel(w, "lblStatusLine")->text(),
                 QStringLiteral("Last job: B.CSV -> B.CP2: 1 written, 0 deleted, 0 skipped"));
        QVERIFY(std::filesystem::exists(f.home.file("out") / "B.CP2"));
    }

    void fileDialogFilterOffersBothCases() {
        QCOMPARE(QtFileChooser::QtNameFilter("Skedora (*.dbf;*.csv)|*.dbf;*.csv"),
                 QStringLiteral("Skedora (*.dbf *.csv *.DBF *.CSV)"));
    }

    void exitInTheMiddleOfAJobKeepsTheLinesWritten() {
        Fixture f;
        MainWindow& w = *f.window;
        const auto input = f.home.file("big.csv");
        WriteFile(input, LargeCsvSchedule(32767));
        w.SetBurstBudget(std::chrono::milliseconds(0));
        f.chooser->next = Pick(input);
        FindAction(w, "menuFileOpen")->trigger();
        ProcessFirstBurst(w);
        QVERIFY(FindTimer(w, "timeCONV")->isActive());

        FindAction(w, "menuFileExit")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(!FindTimer(w, "timeCONV")->isActive());
        QVERIFY(!FindTimer(w, "timeWatch")->isActive());
        const int written = w.application().job().OutputCount;
        QVERIFY(written < 32767);
        const std::string output = ReadFile(f.home.file("big.CP2"));
        QCOMPARE(static_cast<int>(std::count(output.begin(), output.end(), '\n')), written + 1);
        QVERIFY(output.ends_with("\r\n"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
