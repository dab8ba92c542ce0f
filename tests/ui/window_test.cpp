#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "model/version.h"
#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"
#include "ui/byte_text.h"
#include "ui/main_window.h"
#include "ui/qt_file_chooser.h"
#include "ui_test_support.h"

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;

namespace {

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
    rules.ChangeTimeRules[6].Math = 9;  // only an edited SK.ini holds this
    rules.AutoLoadSettings = {"/srv/incoming/", "/srv/out/", true, true, true, false};
    return rules;
}

struct StubChooser : FileChooser {
    std::optional<ChosenFile> ChooseFile() override { return ++calls, next; }
    std::optional<ChosenFile> next;
    int calls = 0;
};

struct Fixture {
    explicit Fixture(const std::function<void(const TempDir&)>& before = {}) {
        if (before) {
            before(home);
        }
        auto stub = std::make_unique<StubChooser>();
        chooser = stub.get();
        window = std::make_unique<MainWindow>(home.path(), std::move(stub));
        window->show();
        Activate(*window);
    }

    template <typename T = QLineEdit>
    T* Get(const char* name) {
        return Child<T>(*window, name);
    }
    void Open(const fs::path& file) {
        chooser->next = ChosenFile{file.string(), file.filename().string()};
        Get<QAction>("menuFileOpen")->trigger();
    }
    void OpenDialog(const char* action, const RuleSet& rules = SampleRules()) {
        window->application().Rules() = rules;
        Get<QAction>(action)->trigger();
    }
    void ClickInto() {
        QTest::mouseClick(window->centralWidget(), Qt::LeftButton);
        window->activateWindow();
    }
    bool FramesEmpty() {
        const auto labels =
            window->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lbl.*_")));
        return std::all_of(labels.begin(), labels.end(),
                           [](const QLabel* label) { return label->text().isEmpty(); });
    }
    QString StatusLine() { return Get<QLabel>("lblStatusLine")->text(); }
    bool JobRunning() { return Get<QTimer>("timeCONV")->isActive(); }

    TempDir home;
    StubChooser* chooser = nullptr;
    std::unique_ptr<MainWindow> window;
};

std::string LargeSchedule(int count) {
    return CsvSchedule(std::vector<TestEvent>(static_cast<std::size_t>(count),
                                              {"WABC-HD", "WXYZ", "12", "EVENING NEWS"}));
}

void ProcessFirstBurst(MainWindow& window) {
    QDeadlineTimer deadline(5000);
    while (window.application().Job().OutputCount == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

void Edit(QWidget& dialog, const char* edit) {
    const QString keys = QString::fromLatin1(edit).section(QLatin1Char('='), 1);
    auto* widget = Child<QWidget>(
        dialog, qPrintable(QString::fromLatin1(edit).section(QLatin1Char('='), 0, 0)));
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        list->setCurrentIndex(keys.toInt());
    } else if (auto* check = qobject_cast<QAbstractButton*>(widget)) {
        QTest::mouseClick(check, Qt::LeftButton);
    } else {
        auto* box = static_cast<QLineEdit*>(widget);
        box->setFocus();
        box->clear();
        box->home(false);
        QTest::keyClicks(box, keys);
    }
}

QPushButton* Button(QWidget& dialog, const char* name) {
    return dialog
        .findChildren<QPushButton*>(
            QRegularExpression(QLatin1String("^%1$").arg(QLatin1String(name)),
                               QRegularExpression::CaseInsensitiveOption))
        .value(0);
}

void DropFiles(QWidget& window, const std::vector<fs::path>& files) {
    QList<QUrl> urls;
    for (const fs::path& file : files) {
        urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
    }
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = window.rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startUpMenusAndShortcuts() {
        Fixture f;
        MainWindow& w = *f.window;
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("Skedora Converter Version ") + TextFromBytes(VersionText()));
        QVERIFY(f.FramesEmpty());
        QVERIFY(!f.JobRunning());
        QVERIFY(f.Get<QTimer>("timeWatch")->isActive());
        f.window->application().Rules().AutoLoadSettings.Path.clear();
        f.Get<QTimer>("timeWatch")->setInterval(10);
        QTRY_COMPARE(f.Get<QLabel>("lblWatchLine")->text(),
                     QStringLiteral("Watch folder off: no folder set"));
        QVERIFY(!f.Get<QProgressBar>("prgJob")->isVisible());

        MessageBoxAnswerer boxes;
        QAction* fileMenu = w.menuBar()->actions().at(0);
        QTest::mouseClick(w.menuBar(), Qt::LeftButton, {},
                          w.menuBar()->actionGeometry(fileMenu).center());
        QTRY_VERIFY(fileMenu->menu()->isVisible());
        QTest::mouseClick(
            fileMenu->menu(), Qt::LeftButton, {},
            fileMenu->menu()->actionGeometry(f.Get<QAction>("menuFileOpen")).center());
        QTRY_COMPARE(f.chooser->calls, 1);
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(f.chooser->calls, 2);
        QVERIFY(boxes.texts.isEmpty());  // cancelled: nothing happens
        QVERIFY(!f.JobRunning());

        f.Get<QAction>("menuAbout")->trigger();
        f.Get<QAction>("menuAbout")->trigger();
        QCOMPARE(w.findChildren<QDialog*>(QStringLiteral("frmAbout")).size(), 1);
        QPointer<QDialog> about = f.Get<QDialog>("frmAbout");
        QVERIFY(QTest::qWaitForWindowActive(about));
        f.ClickInto();
        QTRY_VERIFY(about.isNull());

        QTest::keyClick(&w, Qt::Key_F1);
        QPointer<QWidget> help = f.Get<QWidget>("frmHelp");
        Activate(*help);
        auto* text = Child<QTextBrowser>(*help, "txtGuide");
        const QString guide = text->toPlainText();
        QVERIFY(guide.contains(QLatin1String("The watch folder")));
        QVERIFY(!guide.contains(QStringLiteral("## ")));  // shown as a document, not as source
        QTest::keyClick(text, Qt::Key_Escape);
        QTRY_VERIFY(!help || !help->isVisible());
    }

    void settingsDialogRoundTrip() {
        const struct {
            const char *action, *form, *shown;  // shown: box=text as SampleRules fill it
            std::vector<const char*> edits;
            void (*expect)(RuleSet&);
        } cases[] = {
            {"menuSetDelete",
             "frmDelete",
             "txtCL_1=WABC-HD",
             {"txtCL_3=wabc-1", "txtCO_64=12", "txtDES_24=kqed", "chkNonDigital"},
             [](RuleSet& r) {
                 r.DeleteCallLetterRules[3].CallLetter = "WABC-1";
                 r.DeleteCallLetterRules[64].CONumber = "12";
                 r.DeleteSourceDestinationRules[24].Destination = "KQED";
                 r.DeleteAllFlags = {false, false, false, true};
             }},
            {"menuSetCall",
             "frmCall",
             "txtNEWCL_1=KABC-DT",
             {"txtCL_9=kqed", "txtCO_9=7", "txtNEWCL_24=kqed-hd"},
             [](RuleSet& r) {
                 r.ChangeCallLetterRules[9] = {"KQED", "7", ""};
                 r.ChangeCallLetterRules[24].NewCallLetter = "KQED-HD";
             }},
            {"menuSetCO",
             "frmCO",
             "txtDes_1=Evening News",
             {"txtCL_4=all", "txtNEWCO_4=99", "txtDes_17=  Late Movie, part 2 ", "txtDesCo_24=c-3"},
             [](RuleSet& r) {
                 r.ChangeCOFromCallLetterRules[4] = {"ALL", "", "99"};
                 r.ChangeCOFromDescriptionRules[17].ProgramDescription = "Late Movie, part 2";
                 r.ChangeCOFromDescriptionRules[24].OldCO = "c-3";
             }},
            {"menuSetTime",
             "frmSetChangeTime",
             "txtTime_1=00:30:00",
             {"txtDes_2=w, xyz", "txtTime_2=0130", "cmbMath_2=3", "cmbMath_1=-1"},
             [](RuleSet& r) {
                 r.ChangeTimeRules[2] = {"", "w, xyz", "", "", 3, "01:30:00"};
                 r.ChangeTimeRules[1].Math = -1;
                 r.ChangeTimeRules[6].Math = -1;  // not in the list: stored as no choice
             }},
            {"menuSetAutoLoad",
             "frmSetAutoLoad",
             "txtPath=/srv/incoming/",
             {"txtPath= /srv/in ", "txtOutPath=", "chkCSV", "chkPrefix"},
             [](RuleSet& r) { r.AutoLoadSettings = {"/srv/in/", "", true, false, true, true}; }},
        };
        for (const auto& c : cases) {
            Fixture f;
            RuleSet& rules = f.window->application().Rules();
            rules = SampleRules();
            const RuleSet before = rules;
            const fs::path ini = SettingsFilePath(f.home.path());
            const std::string iniBefore = ReadFile(ini);
            QPointer<QDialog> dialog;
            const auto open = [&] {
                f.Get<QAction>(c.action)->trigger();
                QCOMPARE(f.window->findChildren<QDialog*>(QLatin1String(c.form)).size(), 1);
                dialog = f.Get<QDialog>(c.form);
                QVERIFY(QTest::qWaitForWindowActive(dialog));
            };

            open();
            QVERIFY(!dialog->isModal());
            const QString shown = QString::fromLatin1(c.shown);
            QCOMPARE(Child(*dialog, qPrintable(shown.section(QLatin1Char('='), 0, 0)))->text(),
                     shown.section(QLatin1Char('='), 1));
            const QPointer<QDialog> first = dialog;  // unedited: chosen again, it is replaced
            open();
            QVERIFY(first.isNull());
            for (const char* edit : c.edits) {
                Edit(*dialog, edit);
            }
            QApplication::setActiveWindow(nullptr);
            f.ClickInto();
            QTest::qWait(50);
            QVERIFY(dialog && dialog->isVisible());
            f.Get<QAction>(c.action)->trigger();
            QCOMPARE(f.Get<QDialog>(c.form), dialog.data());
            {
                MessageBoxAnswerer boxes({QMessageBox::Cancel});
                f.Get<QAction>("menuFileExit")->trigger();
                QCOMPARE(boxes.texts.size(), 1);
            }
            QVERIFY(f.window->isVisible() && dialog && dialog->isVisible());
            QTest::mouseClick(Button(*dialog, "cmdCancel"), Qt::LeftButton);
            QTRY_VERIFY(dialog.isNull());
            QVERIFY(rules == before);
            QCOMPARE(ReadFile(ini), iniBefore);

            open();
            for (const char* edit : c.edits) {
                Edit(*dialog, edit);
            }
            fs::remove(ini);
            fs::create_directory(ini);  // SK.ini cannot be replaced
            {
                MessageBoxAnswerer boxes;
                QTest::mouseClick(Button(*dialog, "cmdOK"), Qt::LeftButton);
                QTRY_COMPARE(boxes.texts.size(), 1);
                QCOMPARE(boxes.titles.value(0), QStringLiteral("Error."));
                QVERIFY(boxes.critical);
                QVERIFY2(boxes.texts[0].contains(QStringLiteral("not saved to SK.ini")),
                         qPrintable(boxes.texts[0]));
            }
            QTest::qWait(50);
            QVERIFY(dialog && dialog->isVisible());
            QVERIFY(fs::is_directory(ini));

            fs::remove(ini);
            QTest::mouseClick(Button(*dialog, "cmdOK"), Qt::LeftButton);
            QTRY_VERIFY(dialog.isNull());
            RuleSet expected = before;
            c.expect(expected);
            QVERIFY(rules == expected);
            RuleSet saved;
            LoadSettings(f.home.path(), saved);
            QVERIFY(saved == expected);
        }
    }

    void keyFiltersAndLimits() {
        const struct {
            const char *action, *box, *keys, *shown;
            bool filtered;
        } cases[] = {
            {"menuSetDelete", "txtCL_3", "w,a b\xE9.c-1", "WABC-1", true},
            {"menuSetDelete", "txtSRC_3", "wabc-1\b2_/xyzabcdef", "WABC-2XYZABC", true},
            {"menuSetDelete", "txtCO_64", "9x9-a9 9.12345", "99991234", true},
            {"menuSetCall", "txtNEWCL_24", "w,xyz-dt99", "WXYZ-DT9", true},
            {"menuSetCO", "txtDes_2", "Late Movie, part 2! (HD) and more",
             "Late Movie, part 2! (HD) ", false},
            {"menuSetTime", "txtCO_7", "co 1234567", "co 12345", false},
        };
        for (const auto& c : cases) {
            const bool filtered = c.filtered;
            Fixture f;
            f.OpenDialog(c.action, RuleSet{});
            auto* edit = f.Get(c.box);
            for (const QChar key : QString::fromLatin1(c.keys)) {
                if (key.unicode() < 128) {
                    QTest::keyClick(edit, key.toLatin1());
                } else {
                    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Eacute, key, Qt::NoModifier);
                }
            }
            QCOMPARE(edit->text(), QString::fromLatin1(c.shown));

            QClipboard& clipboard = *QApplication::clipboard();
            edit->setText(QStringLiteral("KABC"));
            edit->setCursorPosition(1);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QCOMPARE(edit->selectedText(), QStringLiteral("KABC"));
            clipboard.setText(QStringLiteral("9"));
            QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(edit->text(), filtered ? QStringLiteral("KABC") : QString());
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(edit->text(), QStringLiteral("KABC").repeated(filtered ? 1 : 2));
            QCOMPARE(clipboard.text(), filtered ? QStringLiteral("9") : QStringLiteral("KABC"));
        }
    }

    void timeMaskInARealBox() {
        Fixture f;
        f.OpenDialog("menuSetTime");
        QLineEdit* box = f.Get("txtTime_3");
        QVERIFY(QTest::qWaitForWindowActive(box->window()));
        box->setFocus();
        box->home(false);
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClicks(box, QStringLiteral("12a :3045"));
        QCOMPARE(box->text(), QStringLiteral("12:30:45"));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_2);
        QCOMPARE(box->text(), QStringLiteral("22:22:22"));

        QApplication::clipboard()->setText(QStringLiteral("01:00:00"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        box->selectAll();
        box->paste();  // what the context menu's Paste does
        box->cut();
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("22:22:22"));
    }

    void autoLoadFoldersEndWithOneSeparator() {
        const struct {
            QString typed;  // null: left as opened
            const char* stored;
        } cases[] = {{QStringLiteral("   "), ""},
                     {QStringLiteral(u"/srv/\u00dc"), "/srv/\xC3\x9C/"},
                     {QString(), "/srv/\xDC/"}};
        for (const auto& c : cases) {
            RuleSet rules;
            rules.AutoLoadSettings.Path = rules.AutoLoadSettings.OutPath = "/srv/\xDC";
            Fixture f;
            f.OpenDialog("menuSetAutoLoad", rules);
            if (!c.typed.isNull()) {
                f.Get("txtPath")->setText(c.typed);
                f.Get("txtOutPath")->setText(c.typed);
            }
            QTest::mouseClick(f.Get<QPushButton>("cmdOk"), Qt::LeftButton);
            const AutoLoadSettingsGroup& stored = f.window->application().Rules().AutoLoadSettings;
            QCOMPARE(stored.Path, std::string(c.stored));
            QCOMPARE(stored.OutPath, std::string(c.stored));
        }
    }

    void everyByteSurvivesTheWindow() {
        std::string all;
        for (int value = 0; value < 256; ++value) {
            all += static_cast<char>(value);
        }
        QCOMPARE(BytesFromText(TextFromBytes(all)), all);
        QCOMPARE(TextFromBytes("\x80\x93K\x94\xE9"), QStringLiteral(u"\u20AC\u201CK\u201D\u00E9"));
        QCOMPARE(BytesFromText(QStringLiteral(u"a\u0416b\u2122")), std::string("a?b\x99"));
    }

    void openConvertsACsvFileAndReportsTheJob() {
        Fixture f;
        const auto input = f.home.file("week1.csv");
        WriteFile(input, CsvSchedule({{"WABC-HD", "WXYZ ", "0042", " NEWS AT TEN"},
                                      {"WABC", "  ", "7", "SKIPPED"},
                                      {"KABC", "KXYZ", "9", "LATE SHOW"}}) +
                             "not,an,event\r\n\x01\x02\r\n");
        f.Open(input);
        QVERIFY(f.JobRunning());
        QCOMPARE(f.Get<QLabel>("lblFILE_1")->text(), QString::fromStdString(input.string()));
        QCOMPARE(f.Get<QLabel>("lblFILE_2")->text(),
                 QString::fromStdString(f.home.file("week1.CP2").string()));
        auto* progress = f.Get<QProgressBar>("prgJob");
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->maximum(), 3);

        QTRY_VERIFY(!f.JobRunning());
        QVERIFY(f.FramesEmpty());
        QVERIFY(!progress->isVisible());
        const std::vector<std::string> lines = FileLines(f.home.file("week1.CP2"));
        QCOMPARE(lines.size(), std::size_t{3});
        QCOMPARE(lines[1], std::string("1,03/05/2024,TUE,10:00:00,11:00:00,NEWS AT TEN,,,,,7,"
                                       "WABC-HD,5,WXYZ,0042,SYS,,,"));
        const QString ignored = QStringLiteral("2 lines ignored: fewer than 18 fields");
        QCOMPARE(f.StatusLine(), QStringLiteral("Last job: week1.csv -> week1.CP2: 2 written, 0 "
                                                "deleted, 1 skipped; 3 events; ") +
                                     ignored);
        f.Get<QAction>("menuViewHistory")->trigger();
        auto* table = Child<QTableView>(*f.Get<QWidget>("frmJobHistory"), "tblJobs");
        QCOMPARE(table->model()->index(0, table->model()->columnCount() - 1).data().toString(),
                 ignored);
    }

    void framesShowARunningJobAndExitLeavesNoPartialOutput() {
        Fixture f;
        MainWindow& w = *f.window;
        WriteFile(f.home.file("big.csv"), LargeSchedule(32767));
        w.SetBurstBudget(std::chrono::milliseconds(0));
        f.Open(f.home.file("big.csv"));
        ProcessFirstBurst(w);
        auto* progress = f.Get<QProgressBar>("prgJob");
        QVERIFY(progress->value() > 0);
        QCOMPARE(f.Get<QLabel>("lblCLFROM_1")->text(), QStringLiteral("WXYZ"));
        QCOMPARE(f.Get<QLabel>("lblDESC_2")->text(), QStringLiteral("EVENING NEWS"));
        const QString number = f.Get<QLabel>("lblRECNUM_1")->text();
        QVERIFY(number.startsWith(QLatin1Char(' ')));  // the sign's place
        QCOMPARE(number.trimmed().toInt(), progress->value());

        f.Get<QAction>("menuFileOpen")->trigger();
        QCOMPARE(f.chooser->calls, 1);

        f.Get<QAction>("menuFileExit")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(!f.JobRunning());
        QVERIFY(!f.Get<QTimer>("timeWatch")->isActive());
        QVERIFY(w.application().Job().OutputCount < 32767);
        QCOMPARE(std::distance(fs::directory_iterator(f.home.path()), {}), 3);
        QVERIFY(fs::exists(f.home.file("Recent.txt")));
        QVERIFY(fs::exists(f.home.file(HomeLock::kFileName)));
    }

    void faultsShowTheErrorBoxAndLoseNothing() {
        const struct {
            const char *name, *box, *status;
        } cases[] = {
            {"notes.txt",
             "(Only .DBF and .CSV schedule files can be converted).  Error number =  5.",
             "Could not convert notes.txt"},
            {"schedule", "(Invalid procedure call or argument).  Error number =  5.",
             "Could not convert schedule"},
            {"A.CSV", "Error number =  75.", "Last job: A.CSV -> A.CP2 failed"},
        };
        Fixture f;
        fs::create_directory(f.home.file("A.CP2"));
        for (const auto& c : cases) {
            const auto input = f.home.file(c.name);
            WriteCsvSchedule(input, {{}});
            const std::string schedule = ReadFile(input);
            MessageBoxAnswerer boxes;
            f.Open(input);
            QTRY_COMPARE(boxes.texts.size(), 1);
            QCOMPARE(boxes.titles[0], QStringLiteral("Error."));
            QVERIFY(boxes.critical);
            QVERIFY2(boxes.texts[0].endsWith(QLatin1String(c.box) +
                                             QLatin1String("  Error Source = Skedora")),
                     qPrintable(boxes.texts[0]));
            QTRY_VERIFY(!f.JobRunning());
            QVERIFY2(f.StatusLine().startsWith(QLatin1String(c.status)),
                     qPrintable(f.StatusLine()));
            QCOMPARE(ReadFile(input), schedule);
        }
    }

    void automaticJobsReportOnTheStatusLine() {
        Fixture f([](const TempDir& home) { fs::create_directory(home.file("FileList.txt")); });
        const fs::path watch = f.home.file("watch");
        const fs::path out = f.home.file("out");
        fs::create_directory(watch);
        const auto drop = [&](const char* name) {
            WriteCsvSchedule(watch / name, {{}});
            Age(watch / name);
        };
        f.window->application().Rules().AutoLoadSettings = {
            watch.string() + "/", out.string() + "/", false, true, false, false};
        f.Get<QTimer>("timeWatch")->setInterval(10);

        drop("A.CSV");
        QTRY_VERIFY(f.StatusLine().startsWith(QStringLiteral("Last job: A.CSV")));
        QVERIFY2(f.StatusLine().startsWith(QStringLiteral("Last job: A.CSV -> A.CP2 failed")) &&
                     f.StatusLine().contains(QStringLiteral("(error 75)")),
                 qPrintable(f.StatusLine()));
        QVERIFY(fs::exists(watch / "A.CSV"));

        fs::create_directory(out);
        drop("B.CSV");
        QTRY_VERIFY(fs::exists(out / "B.CP2"));
        QTRY_VERIFY2(f.StatusLine().contains(QStringLiteral("FileList.txt")),
                     qPrintable(f.StatusLine()));
        fs::remove(out / "B.CP2");
        QTest::qWait(100);  // several more polls
        QVERIFY(!fs::exists(out / "B.CP2"));
        QVERIFY(fs::is_directory(f.home.file("FileList.txt")));
    }

    void droppedFilesAreConvertedInTurnAndRecent() {
        Fixture f;
        for (const char* name : {"ONE.CSV", "TWO.CSV", "notes.txt"}) {
            WriteCsvSchedule(f.home.file(name), {{}});
        }
        DropFiles(*f.window,
                  {f.home.file("ONE.CSV"), f.home.file("TWO.CSV"), f.home.file("notes.txt")});
        QVERIFY(f.JobRunning());
        QCOMPARE(f.StatusLine(), QStringLiteral("Converting ONE.CSV ..."));
        QTRY_VERIFY(fs::exists(f.home.file("TWO.CP2")));
        QTRY_VERIFY(!f.JobRunning());
        QVERIFY(fs::exists(f.home.file("ONE.CP2")));
        QVERIFY(!fs::exists(f.home.file("notes.CP2")));
        QCOMPARE(ReadFile(f.home.file("Recent.txt")),
                 f.home.file("TWO.CSV").string() + "\n" + f.home.file("ONE.CSV").string() + "\n");
        fs::remove(f.home.file("TWO.CP2"));
        f.Get<QAction>("menuFileRecent1")->trigger();
        QTRY_VERIFY(fs::exists(f.home.file("TWO.CP2")));

        QTRY_VERIFY(!f.JobRunning());
        DropFiles(*f.window, {f.home.file("notes.txt")});
        QVERIFY(!f.JobRunning());
        QVERIFY2(f.StatusLine().startsWith(QStringLiteral("Not converted")) &&
                     f.StatusLine().endsWith(QStringLiteral("notes.txt")),
                 qPrintable(f.StatusLine()));
    }

    void tooManyEventsAreSaidInWords() {
        Fixture f;
        WriteFile(f.home.file("WEEK.CSV"), LargeSchedule(32768));
        MessageBoxAnswerer boxes;
        f.Open(f.home.file("WEEK.CSV"));
        QTRY_COMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts[0].contains(QStringLiteral("Error number =  6.")),
                 qPrintable(boxes.texts[0]));
        QCOMPARE(f.StatusLine(),
                 QStringLiteral("WEEK.CSV has more than 32,767 events; nothing was converted"));
        QVERIFY(!fs::exists(f.home.file("WEEK.CP2")));
    }

    void previewRuleOpensItsDialogOnTheEntrysPage() {
        Fixture f;
        RuleSet rules;
        rules.DeleteCallLetterRules[11] = {"WDEL", "12"};
        rules.ChangeCallLetterRules[10] = {"KOLD", "12", "KNEW"};
        rules.ChangeCOFromDescriptionRules[17] = {"LATE MOVIE", "7", "8"};
        rules.ChangeTimeRules[5] = {"KTIM", "WXYZ", "12", "NEWS", 0, "00:05:00"};
        rules.ChangeCOFromCallLetterRules[24] = {"ZZZZ", "1", "2"};  // hits nothing
        f.window->application().Rules() = rules;
        const auto input = f.home.file("week1.csv");
        WriteCsvSchedule(input, {{"WDEL", "WXYZ", "12", "A"},
                                 {"KOLD", "WXYZ", "12", "B"},
                                 {"WABC", "WXYZ", "7", "LATE MOVIE"},
                                 {"KTIM", "WXYZ", "12", "NEWS"}});
        f.chooser->next = ChosenFile{input.string(), "week1.csv"};
        f.Get<QAction>("menuFilePreview")->trigger();
        auto* preview = f.Get<QWidget>("frmPreview");
        auto* table = Child<QTableView>(*preview, "tblPreview");
        auto* unused = Child<QListWidget>(*preview, "lstUnused");
        QCOMPARE(table->model()->rowCount(), 4);

        const struct {
            int row;  // -1: the unused rule
            const char *dialog, *tabs;
            int page;
            const char* box;
        } cases[] = {
            {0, "frmDelete", "SSTab1", 1, "txtCL_11"},
            {1, "frmCall", "SSTab1", 1, "txtCL_10"},
            {2, "frmCO", "SSTab2", 2, "txtDes_17"},
            {3, "frmSetChangeTime", nullptr, 0, "txtSrc_5"},
            {-1, "frmCO", "SSTab1", 2, "txtCL_24"},
        };
        for (const auto& c : cases) {
            if (c.row >= 0) {
                emit table->doubleClicked(
                    table->model()->index(c.row, table->model()->columnCount() - 1));
            } else {
                emit unused->itemDoubleClicked(unused->item(0));
            }
            auto* dialog = f.Get<QWidget>(c.dialog);
            QVERIFY2(dialog->isVisible(), c.dialog);
            if (c.tabs != nullptr) {
                QCOMPARE(Child<QTabWidget>(*dialog, c.tabs)->currentIndex(), c.page);
            }
            auto* box = Child<QWidget>(*dialog, c.box);
            QVERIFY2(box->isVisible(), c.box);
            QCOMPARE(dialog->focusWidget(), box);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
