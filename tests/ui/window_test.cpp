// The window program driven as a user does: menus, the five settings dialogs through the rules
// and SK.ini, key filters, the time mask, the Open command, automatic jobs, the faults each shows,
// responsiveness during the largest file, and screenshots of every window.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <optional>

#include "model/version.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"
#include "ui/byte_text.h"
#include "ui/file_path_text.h"
#include "ui/main_window.h"
#include "ui/qt_file_chooser.h"

Q_DECLARE_METATYPE(skedora::DeleteAllFlagsGroup)

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;

namespace {

template <typename T>
T* Child(QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    if (child == nullptr) {
        qFatal("no %s", name);
    }
    return child;
}

/** A rule in each list, as the dialogs show them. */
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

/** Answers the Open command's dialog with the file set beforehand, or a cancel. */
class StubChooser : public FileChooser {
  public:
    std::optional<ChosenFile> ChooseFile() override {
        ++calls;
        return next;
    }

    std::optional<ChosenFile> next;
    int calls = 0;
};

/** The main window on a fresh home folder, prepared by before. */
struct Fixture {
    explicit Fixture(const std::function<void(const TempDir&)>& before = {}) {
        if (before) {
            before(home);
        }
        auto stub = std::make_unique<StubChooser>();
        chooser = stub.get();
        window = std::make_unique<MainWindow>(home.path(), std::move(stub));
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) {
            qWarning("the main window did not become active");
        }
    }

    template <typename T = QLineEdit>
    T* Get(const char* name) {
        return Child<T>(*window, name);
    }
    void Open(const fs::path& file) {
        chooser->next = ChosenFile{file.string(), file.filename().string()};
        Get<QAction>("menuFileOpen")->trigger();
    }
    /** Opens the settings dialog that action names, over rules. */
    void OpenDialog(const char* action, const RuleSet& rules = SampleRules()) {
        window->application().Rules() = rules;
        Get<QAction>(action)->trigger();
    }
    QString StatusLine() { return Get<QLabel>("lblStatusLine")->text(); }
    bool JobRunning() { return Get<QTimer>("timeCONV")->isActive(); }

    TempDir home;
    StubChooser* chooser = nullptr;
    std::unique_ptr<MainWindow> window;
};

constexpr const char* kCsvHeader =
    "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,tochnm_hd,"
    "fch,fchnm_hd,co,systemname,U1,U2";

std::string CsvEvent(int day, const std::string& to, const std::string& from, const std::string& co,
                     const std::string& pgm) {
    return std::to_string(day) + ",03/05/2024,TUE,10:00,11:30:00," + pgm + ",,,,,12," + to + ",5," +
           from + "," + co + ",NORTH,,\r\n";
}

std::string LargeCsvSchedule(int count) {
    std::string text = std::string(kCsvHeader) + "\r\n";
    for (int i = 1; i <= count; ++i) {
        text += CsvEvent(i % 7 + 1, "WABC-HD", "WXYZ", std::to_string(i % 50), "EVENING NEWS");
    }
    return text;
}

/** Turns the event loop until a job run in bursts of a few events has handled its first. */
void ProcessFirstBurst(MainWindow& window) {
    QDeadlineTimer deadline(5000);
    while (window.application().Job().OutputCount == 0 && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

/** While it lives, presses OK on every message box, noting the first one. */
struct MessageBoxAnswerer {
    MessageBoxAnswerer() {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                if (count++ == 0) {
                    title = box->windowTitle();
                    text = box->text();
                    critical = box->icon() == QMessageBox::Critical;
                    if (onFirst) {
                        onFirst(*box);
                    }
                }
                if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                    ok->click();
                }
            }
        });
        poll.start(10);
    }

    int count = 0;
    QString title, text;
    bool critical = false;
    std::function<void(QMessageBox&)> onFirst;
    QTimer poll;
};

/** Makes the window the active one, as a click into it does. */
void ClickInto(QMainWindow& window) {
    QTest::mouseClick(window.centralWidget(), Qt::LeftButton);
    window.activateWindow();
}

using Edits = std::vector<const char*>;

struct DialogCase {
    const char *action, *form, *apply, *cancel;
    const char *shownBox, *shownText;  // as SampleRules fill it
    Edits edits;  // box=keys typed into the cleared box; a check box clicked; list=item chosen
    void (*expect)(RuleSet&);
};

std::vector<DialogCase> g_dialogs;

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

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    // Opens idle: empty frames, the watch line already saying what it watches, the poll on.
    void startsIdleWithEmptyFramesAndTheWatchOn() {
        Fixture f;
        MainWindow& w = *f.window;
        QCOMPARE(w.windowTitle(),
                 QStringLiteral("Skedora Converter Version ") + TextFromBytes(VersionText()));
        for (const QLabel* label :
             w.findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lbl")))) {
            if (label->objectName() != QLatin1String("lblWatchLine")) {
                QVERIFY2(label->text().isEmpty(), qPrintable(label->objectName()));
            }
        }
        QVERIFY(!Child<QLabel>(w, "lblWatchLine")->text().isEmpty());
        QVERIFY(!f.JobRunning());
        QVERIFY(Child<QTimer>(w, "timeWatch")->isActive());
        QVERIFY(!Child<QProgressBar>(w, "prgJob")->isVisible());
    }

    void aboutShowsTheVersionOnceAndClosesOnOkOrAClickIntoTheWindow() {
        Fixture f;
        MainWindow& w = *f.window;
        for (int click = 0; click < 2; ++click) {
            Child<QAction>(w, "menuAbout")->trigger();
            Child<QAction>(w, "menuAbout")->trigger();
            QCOMPARE(w.findChildren<QDialog*>(QStringLiteral("frmAbout")).size(), 1);
            QPointer<QDialog> about = Child<QDialog>(w, "frmAbout");
            QCOMPARE(Child<QLabel>(*about, "lblVersion")->text(), QStringLiteral("Version 7.0"));
            QCOMPARE(
                Child<QLabel>(*about, "lblHome")->text(),
                QStringLiteral("Settings folder: ") + PathTextFromBytes(f.home.path().string()));
            QVERIFY(QTest::qWaitForWindowActive(about));
            if (click == 0) {
                ClickInto(w);
            } else {
                QTest::mouseClick(Child<QPushButton>(*about, "cmdOK"), Qt::LeftButton);
            }
            QTRY_VERIFY(about.isNull());
        }
    }

    void settingsDialogRoundTrip_data() {
        QTest::addColumn<int>("kind");
        const auto add = [](const char* action, const char* form, const char* apply,
                            const char* cancel, const char* shownBox, const char* shownText,
                            Edits edits, void (*expect)(RuleSet&)) {
            QTest::newRow(form) << static_cast<int>(g_dialogs.size());
            g_dialogs.push_back(
                {action, form, apply, cancel, shownBox, shownText, std::move(edits), expect});
        };
        add("menuSetDelete", "frmDelete", "cmdOK", "cmdCANCEL", "txtCL_1", "WABC-HD",
            {"txtCL_3=wabc-1", "txtCO_64=12", "txtDES_24=kqed", "chkNonDigital"}, [](RuleSet& r) {
                r.DeleteCallLetterRules[3].CallLetter = "WABC-1";
                r.DeleteCallLetterRules[64].CONumber = "12";
                r.DeleteSourceDestinationRules[24].Destination = "KQED";
                r.DeleteAllFlags = {false, false, false, true};
            });
        add("menuSetCall", "frmCall", "cmdOK", "cmdCANCEL", "txtNEWCL_1", "KABC-DT",
            {"txtCL_9=kqed", "txtCO_9=7", "txtNEWCL_24=kqed-hd"}, [](RuleSet& r) {
                r.ChangeCallLetterRules[9] = {"KQED", "7", ""};
                r.ChangeCallLetterRules[24].NewCallLetter = "KQED-HD";
            });
        add("menuSetCO", "frmCO", "cmdOK", "cmdCANCEL", "txtDes_1", "Evening News",
            {"txtCL_4=all", "txtNEWCO_4=99", "txtDes_17=  Late Movie, part 2 ", "txtDesCo_24=c-3"},
            [](RuleSet& r) {
                r.ChangeCOFromCallLetterRules[4] = {"ALL", "", "99"};
                r.ChangeCOFromDescriptionRules[17].ProgramDescription = "Late Movie, part 2";
                r.ChangeCOFromDescriptionRules[24].OldCO = "c-3";
            });
        add("menuSetTime", "frmSetChangeTime", "cmdOK", "cmdCANCEL", "txtTime_1", "00:30:00",
            {"txtDes_2=w, xyz", "txtTime_2=0130", "cmbMath_2=3", "cmbMath_1=-1"}, [](RuleSet& r) {
                r.ChangeTimeRules[2] = {"", "w, xyz", "", "", 3, "01:30:00"};
                r.ChangeTimeRules[1].Math = -1;
                r.ChangeTimeRules[6].Math = -1;  // not in the list: stored as no choice
            });
        add("menuSetAutoLoad", "frmSetAutoLoad", "cmdOk", "cmdCancel", "txtPath", "/srv/incoming/",
            {"txtPath= /srv/in ", "txtOutPath=", "chkCSV", "chkPrefix"},
            [](RuleSet& r) { r.AutoLoadSettings = {"/srv/in/", "", true, false, true, true}; });
    }

    // Opens from the rules; edits survive a click into the main window and Cancel stores
    // nothing; a failed save keeps the edits open; Apply stores them into SK.ini.
    void settingsDialogRoundTrip() {
        QFETCH(int, kind);
        const DialogCase& c = g_dialogs.at(static_cast<std::size_t>(kind));
        Fixture f;
        RuleSet& rules = f.window->application().Rules();
        rules = SampleRules();
        const RuleSet before = rules;
        const fs::path ini = SettingsFilePath(f.home.path());
        const std::string iniBefore = ReadFile(ini);
        QPointer<QDialog> dialog;
        const auto openAndEdit = [&] {
            f.Get<QAction>(c.action)->trigger();
            QCOMPARE(f.window->findChildren<QDialog*>(QLatin1String(c.form)).size(), 1);
            dialog = f.Get<QDialog>(c.form);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            for (const char* edit : c.edits) {
                Edit(*dialog, edit);
            }
        };

        f.Get<QAction>(c.action)->trigger();
        const QPointer<QDialog> first = f.Get<QDialog>(c.form);
        QVERIFY(!first->isModal());
        QCOMPARE(Child<QLineEdit>(*first, c.shownBox)->text(), QLatin1String(c.shownText));
        openAndEdit();  // chosen again: a fresh one takes the unedited one's place
        QVERIFY(first.isNull());
        // Edits are kept when another window is clicked; chosen again, the edited one comes up.
        QApplication::setActiveWindow(nullptr);
        ClickInto(*f.window);
        QTest::qWait(50);
        QVERIFY(dialog && dialog->isVisible());
        f.Get<QAction>(c.action)->trigger();
        QCOMPARE(f.Get<QDialog>(c.form), dialog.data());
        QTest::mouseClick(Child<QPushButton>(*dialog, c.cancel), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(rules == before);
        QCOMPARE(ReadFile(ini), iniBefore);

        openAndEdit();
        fs::remove(ini);
        fs::create_directory(ini);  // SK.ini cannot be replaced
        {
            MessageBoxAnswerer boxes;
            QTest::mouseClick(Child<QPushButton>(*dialog, c.apply), Qt::LeftButton);
            QTRY_COMPARE(boxes.count, 1);
            QCOMPARE(boxes.title, QStringLiteral("Error."));
            QVERIFY(boxes.critical);
            QVERIFY2(boxes.text.contains(QStringLiteral("not saved to SK.ini")),
                     qPrintable(boxes.text));
        }
        QTest::qWait(50);
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(fs::is_directory(ini));

        fs::remove(ini);
        QTest::mouseClick(Child<QPushButton>(*dialog, c.apply), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        RuleSet expected = before;
        c.expect(expected);
        QVERIFY(rules == expected);
        RuleSet saved;
        LoadSettings(f.home.path(), saved);
        QVERIFY(saved == expected);
    }

    void keyFiltersAndLimits_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("filtered");  // also swallows Ctrl+C, Ctrl+V, Ctrl+X
        const auto row = [](const char* action, const char* box, const char* keys,
                            const char* shown, bool filtered) {
            QTest::addRow("%s %s", action, box)
                << QString::fromLatin1(action) << QString::fromLatin1(box)
                << QString::fromLatin1(keys) << QString::fromLatin1(shown) << filtered;
        };
        row("menuSetDelete", "txtCL_3", "w,a b\xE9.c-1", "WABC-1", true);
        row("menuSetDelete", "txtSRC_3", "wabc-1\b2_/xyzabcdef", "WABC-2XYZABC", true);
        row("menuSetDelete", "txtCO_64", "9x9-a9 9.12345", "99991234", true);
        row("menuSetCall", "txtCL_5", "k.abc defghijklmn", "KABCDEFGHIJK", true);
        row("menuSetCall", "txtNEWCL_24", "w,xyz-dt99", "WXYZ-DT9", true);
        row("menuSetCall", "txtCO_5", "a1b2-3456789", "12345678", true);
        row("menuSetCO", "txtNEWCO_2", "1x23456789", "12345678", true);
        row("menuSetCO", "txtDes_2", "Late Movie, part 2! (HD) and more",
            "Late Movie, part 2! (HD) ", false);
        row("menuSetCO", "txtDesCo_2", "co 12-x ok", "co 12-x ", false);
        row("menuSetTime", "txtSrc_7", "abc def-ghi.jk", "abc def-ghi.", false);
        row("menuSetTime", "txtDes_7", "12345678901234", "123456789012", false);
        row("menuSetTime", "txtCO_7", "co 1234567", "co 12345", false);
        row("menuSetTime", "txtDescription_7", "A long description, 30 chars",
            "A long description, 30 ch", false);
    }

    void keyFiltersAndLimits() {
        QFETCH(QString, action);
        QFETCH(QString, box);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        QFETCH(bool, filtered);
        Fixture f;
        f.OpenDialog(qPrintable(action), RuleSet{});
        auto* edit = f.Get(qPrintable(box));
        for (const QChar key : keys) {
            if (key.unicode() < 128) {
                QTest::keyClick(edit, key.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Eacute, key, Qt::NoModifier);
            }
        }
        QCOMPARE(edit->text(), shown);

        QClipboard& clipboard = *QApplication::clipboard();
        edit->setText(QStringLiteral("KABC"));
        edit->selectAll();
        clipboard.setText(QStringLiteral("9"));
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(edit->text(), filtered ? QStringLiteral("KABC") : QString());
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("KABC").repeated(filtered ? 1 : 2));
        QCOMPARE(clipboard.text(), filtered ? QStringLiteral("9") : QStringLiteral("KABC"));
    }

    void timeMaskInARealBox() {
        Fixture f;
        f.OpenDialog("menuSetTime");
        const auto focused = [&](const char* name) {
            auto* box = f.Get(name);
            box->setFocus();
            box->home(false);
            return box;
        };
        QVERIFY(QTest::qWaitForWindowActive(f.Get("txtTime_3")->window()));
        QLineEdit* box = focused("txtTime_3");
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClicks(box, QStringLiteral("12a :3045"));
        QCOMPARE(box->text(), QStringLiteral("12:30:45"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClick(box, Qt::Key_6);  // seconds above 59
        QCOMPARE(box->text(), QStringLiteral("12:30:40"));
        QCOMPARE(box->cursorPosition(), 6);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_2);
        QCOMPARE(box->text(), QStringLiteral("22:22:22"));
        QVERIFY(!box->hasSelectedText());

        // Anything not typed is undone at once: pastes, cuts, undo.
        QApplication::clipboard()->setText(QStringLiteral("01:00:00"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        box->selectAll();
        box->paste();  // what the context menu's Paste does
        box->cut();
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("22:22:22"));

        QLineEdit* next = focused("txtTime_1");  // a paste is undone to its own text
        QApplication::clipboard()->setText(QStringLiteral("01:00:00"));
        next->selectAll();
        next->paste();
        QCOMPARE(next->text(), QStringLiteral("00:30:00"));
    }

    void deleteSwitchesAreExclusive_data() {
        QTest::addColumn<DeleteAllFlagsGroup>("flags");
        QTest::addColumn<QString>("checked");  // on opening: the last one set
        QTest::newRow("HD, Digital")
            << DeleteAllFlagsGroup{true, false, true, false} << QStringLiteral("chkDigital");
        QTest::newRow("all four") << DeleteAllFlagsGroup{true, true, true, true}
                                  << QStringLiteral("chkNonDigital");
        QTest::newRow("HD, SD") << DeleteAllFlagsGroup{true, true, false, false}
                                << QStringLiteral("chkSD");
    }

    void deleteSwitchesAreExclusive() {
        QFETCH(DeleteAllFlagsGroup, flags);
        QFETCH(QString, checked);
        RuleSet rules;
        rules.DeleteAllFlags = flags;
        Fixture f;
        f.OpenDialog("menuSetDelete", rules);
        const auto checkedSwitches = [&] {
            QStringList names;
            for (const char* name : {"chkHD", "chkSD", "chkDigital", "chkNonDigital"}) {
                if (f.Get<QCheckBox>(name)->isChecked()) {
                    names << QLatin1String(name);
                }
            }
            return names;
        };
        QCOMPARE(checkedSwitches(), QStringList{checked});
        QTest::mouseClick(f.Get<QCheckBox>("chkHD"), Qt::LeftButton);
        QCOMPARE(checkedSwitches(), QStringList{QStringLiteral("chkHD")});
        QTest::mouseClick(f.Get<QCheckBox>("chkHD"), Qt::LeftButton);
        QCOMPARE(checkedSwitches(), QStringList{});
    }

    void autoLoadFoldersAreTrimmedAndEndWithTheSeparator_data() {
        QTest::addColumn<QString>("typed");  // null: left as opened
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("trimmed") << QStringLiteral("  /srv/in  ") << QByteArray("/srv/in/");
        QTest::newRow("kept once") << QStringLiteral(" /srv/in/ ") << QByteArray("/srv/in/");
        QTest::newRow("blanks only") << QStringLiteral("   ") << QByteArray();
        QTest::newRow("typed name in UTF-8")
            << QStringLiteral(u"/srv/\u00dc") << QByteArray("/srv/\xC3\x9C/");
        QTest::newRow("untouched name keeps its bytes") << QString() << QByteArray("/srv/\xDC/");
    }

    void autoLoadFoldersAreTrimmedAndEndWithTheSeparator() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        RuleSet rules;
        rules.AutoLoadSettings.Path = rules.AutoLoadSettings.OutPath = "/srv/\xDC";
        Fixture f;
        f.OpenDialog("menuSetAutoLoad", rules);
        for (const char* name : {"txtPath", "txtOutPath"}) {
            if (!typed.isNull()) {
                f.Get(name)->setText(typed);
            }
        }
        QTest::mouseClick(f.Get<QPushButton>("cmdOk"), Qt::LeftButton);
        const AutoLoadSettingsGroup& settings = f.window->application().Rules().AutoLoadSettings;
        QCOMPARE(QByteArray::fromStdString(settings.Path), stored);
        QCOMPARE(QByteArray::fromStdString(settings.OutPath), stored);
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
        MainWindow& w = *f.window;
        MessageBoxAnswerer boxes;
        // Through real clicks; cancelled, it changes nothing.
        QAction* fileMenu = w.menuBar()->actions().at(0);
        QTest::mouseClick(w.menuBar(), Qt::LeftButton, {},
                          w.menuBar()->actionGeometry(fileMenu).center());
        QTRY_VERIFY(fileMenu->menu()->isVisible());
        QTest::mouseClick(
            fileMenu->menu(), Qt::LeftButton, {},
            fileMenu->menu()->actionGeometry(Child<QAction>(w, "menuFileOpen")).center());
        QTRY_COMPARE(f.chooser->calls, 1);
        QTest::qWait(50);
        QCOMPARE(boxes.count, 0);
        QVERIFY(!f.JobRunning());

        const auto input = f.home.file("week1.csv");
        WriteFile(input, std::string(kCsvHeader) + "\r\n" +
                             CsvEvent(1, "WABC-HD", "WXYZ ", "0042", " NEWS AT TEN") +
                             CsvEvent(2, "WABC", "  ", "7", "SKIPPED") +
                             CsvEvent(3, "KABC", "KXYZ", "9", "LATE SHOW"));
        f.Open(input);
        // Set-up is done when the command returns; the pass runs on the timer.
        QVERIFY(f.JobRunning());
        QCOMPARE(Child<QLabel>(w, "lblFILE_1")->text(), QString::fromStdString(input.string()));
        QCOMPARE(Child<QLabel>(w, "lblFILE_2")->text(),
                 QString::fromStdString(f.home.file("week1.CP2").string()));
        auto* progress = Child<QProgressBar>(w, "prgJob");
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->maximum(), 3);

        QTRY_VERIFY(!f.JobRunning());
        for (const QLabel* label :
             w.findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lbl.*_")))) {
            QVERIFY2(label->text().isEmpty(), qPrintable(label->objectName()));
        }
        QVERIFY(!progress->isVisible());
        QCOMPARE(ReadFile(f.home.file("week1.CP2")),
                 std::string(kCsvHeader) + "\r\n" +
                     "1,03/05/2024,TUE,10:00:00,11:30:00,NEWS AT TEN,,,,,12,WABC-HD,5,WXYZ,0042,"
                     "NORTH,,,\r\n"
                     "3,03/05/2024,TUE,10:00:00,11:30:00,LATE SHOW,,,,,12,KABC,5,KXYZ,9,NORTH,,,"
                     "\r\n");
        QCOMPARE(f.StatusLine(),
                 QStringLiteral("Last job: week1.csv -> week1.CP2: 2 written, 0 deleted, 1 "
                                "skipped"));
    }

    void framesShowARunningJobAndExitLeavesNoPartialOutput() {
        Fixture f;
        MainWindow& w = *f.window;
        WriteFile(f.home.file("big.csv"), LargeCsvSchedule(32767));
        w.SetBurstBudget(std::chrono::milliseconds(0));
        f.Open(f.home.file("big.csv"));
        ProcessFirstBurst(w);
        auto* progress = Child<QProgressBar>(w, "prgJob");
        QVERIFY(progress->value() > 0);
        QCOMPARE(Child<QLabel>(w, "lblCLFROM_1")->text(), QStringLiteral("WXYZ"));
        QCOMPARE(Child<QLabel>(w, "lblDESC_2")->text(), QStringLiteral("EVENING NEWS"));
        const QString number = Child<QLabel>(w, "lblRECNUM_1")->text();
        QVERIFY(number.startsWith(QLatin1Char(' ')));  // the sign's place
        QCOMPARE(number.trimmed().toInt(), progress->value());

        Child<QAction>(w, "menuFileOpen")->trigger();  // refused silently while a job runs
        QCOMPARE(f.chooser->calls, 1);

        Child<QAction>(w, "menuFileExit")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(!f.JobRunning());
        QVERIFY(!Child<QTimer>(w, "timeWatch")->isActive());
        QVERIFY(w.application().Job().OutputCount < 32767);
        // Only the schedule, the recent-file list and the watch's lock file are left: neither a
        // partial output nor its temporary file.
        QCOMPARE(std::distance(fs::directory_iterator(f.home.path()), {}), 3);
        QVERIFY(fs::exists(f.home.file("Recent.txt")));
        QVERIFY(fs::exists(f.home.file(HomeLock::kFileName)));
        QVERIFY(!fs::exists(f.home.file("big.CP2")));
    }

    void faultsShowTheErrorBoxAndLoseNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("box");  // its end: after the path the text names
        QTest::addColumn<QString>("status");
        const auto row = [](const char* name, const char* box, const char* status) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(box)
                                << QString::fromLatin1(status);
        };
        row("notes.txt",
            "Error! (Only .DBF and .CSV schedule files can be converted).  Error number =  5.  "
            "Error Source = Skedora",
            "Could not convert notes.txt");
        row("schedule",
            "Error! (Invalid procedure call or argument).  Error number =  5.  Error Source = "
            "Skedora",
            "Could not convert schedule");
        row("A.CSV", "Error number =  75.  Error Source = Skedora",  // A.CP2 is a folder
            "Last job: A.CSV -> A.CP2 failed");
    }

    void faultsShowTheErrorBoxAndLoseNothing() {
        QFETCH(QString, name);
        QFETCH(QString, box);
        QFETCH(QString, status);
        Fixture f;
        const auto input = f.home.file(name.toStdString());
        WriteFile(input, std::string(kCsvHeader) + "\r\n" + CsvEvent(1, "W", "K", "1", "N"));
        fs::create_directory(f.home.file("A.CP2"));
        const std::string schedule = ReadFile(input);

        MessageBoxAnswerer boxes;
        f.Open(input);
        QTRY_COMPARE(boxes.count, 1);
        QCOMPARE(boxes.title, QStringLiteral("Error."));
        QVERIFY(boxes.critical);
        QVERIFY2(boxes.text.endsWith(box), qPrintable(boxes.text));
        QTRY_VERIFY(!f.JobRunning());
        QVERIFY2(f.StatusLine().startsWith(status), qPrintable(f.StatusLine()));
        QCOMPARE(ReadFile(input), schedule);
    }

    // A folder where FileList.txt should be: it is neither read nor replaced, yet each file is
    // converted once. A job without its output folder is reported on the status line.
    void automaticJobsReportOnTheStatusLine() {
        Fixture f([](const TempDir& home) { fs::create_directory(home.file("FileList.txt")); });
        const fs::path watch = f.home.file("watch");
        const fs::path out = f.home.file("out");
        fs::create_directory(watch);
        const auto drop = [&](const char* name) {
            WriteFile(watch / name,
                      std::string(kCsvHeader) + "\r\n" + CsvEvent(1, "WABC", "WXYZ", "1", "NEWS"));
            // Old enough that the poll does not take it for a file still being copied.
            fs::last_write_time(watch / name,
                                fs::file_time_type::clock::now() - std::chrono::minutes(1));
        };
        AutoLoadSettingsGroup& autoLoad = f.window->application().Rules().AutoLoadSettings;
        autoLoad = {watch.string() + "/", out.string() + "/", false, true, false, false};
        f.Get<QTimer>("timeWatch")->setInterval(10);

        drop("A.CSV");
        QTRY_VERIFY(f.StatusLine().startsWith(QStringLiteral("Last job: A.CSV")));
        QVERIFY2(f.StatusLine().startsWith(QStringLiteral("Last job: A.CSV -> A.CP2 failed")) &&
                     f.StatusLine().contains(QStringLiteral("(error 75)")),
                 qPrintable(f.StatusLine()));
        QVERIFY(fs::exists(watch / "A.CSV"));

        fs::create_directory(out);
        drop("B.CSV");
        // Converted, but the list that should record it cannot be saved: the line says so last.
        QTRY_VERIFY(fs::exists(out / "B.CP2"));
        QTRY_VERIFY2(f.StatusLine().contains(QStringLiteral("FileList.txt")),
                     qPrintable(f.StatusLine()));
        fs::remove(out / "B.CP2");
        QTest::qWait(100);  // several more polls
        QVERIFY(!fs::exists(out / "B.CP2"));
        QVERIFY(fs::is_directory(f.home.file("FileList.txt")));
    }

    // The watch line follows the polls; each job lands in the history, read again by a later
    // window; a failed automatic job converts again to its recorded output.
    void watchLineAndJobHistory() {
        const fs::path watch = fs::temp_directory_path() / "skedora-watch-line-test";
        fs::remove_all(watch);
        fs::create_directory(watch);
        {
            Fixture f;
            auto* line = f.Get<QLabel>("lblWatchLine");
            f.window->application().Rules().AutoLoadSettings.Path.clear();
            f.Get<QTimer>("timeWatch")->setInterval(10);
            QTRY_COMPARE(line->text(), QStringLiteral("Watch folder off: no folder set"));
            const fs::path out = f.home.file("out");
            f.window->application().Rules().AutoLoadSettings = {
                watch.string() + "/", out.string() + "/", false, true, false, false};
            QTRY_VERIFY2(
                line->text().startsWith(QStringLiteral("Watching %1/ for CSV files, last poll at ")
                                            .arg(QString::fromStdString(watch.string()))),
                qPrintable(line->text()));
            QCOMPARE(line->toolTip(), line->text());

            WriteFile(watch / "A.CSV",
                      std::string(kCsvHeader) + "\r\n" + CsvEvent(1, "WABC", "WXYZ", "1", "NEWS"));
            fs::last_write_time(watch / "A.CSV",
                                fs::file_time_type::clock::now() - std::chrono::minutes(1));
            QTRY_VERIFY(
                f.StatusLine().startsWith(QStringLiteral("Last job: A.CSV -> A.CP2 failed")));
            f.Get<QTimer>("timeWatch")->stop();

            f.Get<QAction>("menuViewHistory")->trigger();
            auto* history = f.Get<QWidget>("frmJobHistory");
            QTRY_VERIFY(history->isVisible());
            auto* table = Child<QTableView>(*history, "tblJobs");
            auto* again = Child<QPushButton>(*history, "cmdConvertAgain");
            QCOMPARE(table->model()->rowCount(), 1);
            QVERIFY(
                table->model()->index(0, 1).data().toString().contains(QStringLiteral("failed")));
            QVERIFY(!again->isEnabled());
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(table->model()->index(0, 2)).center());
            QVERIFY(again->isEnabled());

            fs::create_directory(out);
            QTest::mouseClick(again, Qt::LeftButton);
            QTRY_VERIFY(!f.JobRunning());
            QCOMPARE(table->model()->rowCount(), 2);
            QCOMPARE(table->model()->index(0, 1).data().toString(), QStringLiteral("finished"));
            QVERIFY(fs::exists(out / "A.CP2"));
            QVERIFY(fs::exists(watch / "A.CSV"));  // a retry by hand keeps its source
            fs::copy_file(f.home.file("JobLog.txt"), watch / "JobLog.txt");
        }
        Fixture later([&](const TempDir& home) {
            fs::copy_file(watch / "JobLog.txt", home.file("JobLog.txt"));
        });
        later.Get<QAction>("menuViewHistory")->trigger();
        auto* table = Child<QTableView>(*later.Get<QWidget>("frmJobHistory"), "tblJobs");
        QCOMPARE(table->model()->rowCount(), 2);
        fs::remove_all(watch);
    }

    // Dropped schedule files are converted one after another; other files are refused.
    void droppedFilesAreConvertedInTurn() {
        Fixture f;
        QList<QUrl> urls;
        for (const char* name : {"ONE.CSV", "TWO.CSV", "notes.txt"}) {
            WriteFile(f.home.file(name),
                      std::string(kCsvHeader) + "\r\n" + CsvEvent(1, "WABC", "WXYZ", "1", "NEWS"));
            urls << QUrl::fromLocalFile(QString::fromStdString(f.home.file(name).string()));
        }
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint at = f.window->centralWidget()->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.window.get(), &drop);
        QVERIFY(f.JobRunning());
        QCOMPARE(f.StatusLine(), QStringLiteral("Converting ONE.CSV ..."));
        QTRY_VERIFY(fs::exists(f.home.file("TWO.CP2")));
        QTRY_VERIFY(!f.JobRunning());
        QVERIFY(fs::exists(f.home.file("ONE.CP2")));
        QVERIFY(!fs::exists(f.home.file("notes.CP2")));
        // Both are now the recent files, newest first.
        QCOMPARE(f.Get<QAction>("menuFileRecent1")->text(),
                 QStringLiteral("&1 ") + QString::fromStdString(f.home.file("TWO.CSV").string()));
        QCOMPARE(ReadFile(f.home.file("Recent.txt")),
                 f.home.file("TWO.CSV").string() + "\n" + f.home.file("ONE.CSV").string() + "\n");

        QMimeData other;
        other.setUrls(
            {QUrl::fromLocalFile(QString::fromStdString(f.home.file("notes.txt").string()))});
        QDragEnterEvent enterAgain(at, Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.window.get(), &enterAgain);
        QDropEvent refused(QPointF(at), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.window.get(), &refused);
        QVERIFY(!f.JobRunning());
        QVERIFY2(f.StatusLine().startsWith(QStringLiteral("Not converted")) &&
                     f.StatusLine().endsWith(QStringLiteral("notes.txt")),
                 qPrintable(f.StatusLine()));
    }

    void tooManyEventsAreSaidInWords() {
        Fixture f;
        WriteFile(f.home.file("WEEK.CSV"), LargeCsvSchedule(32768));
        MessageBoxAnswerer boxes;
        f.Open(f.home.file("WEEK.CSV"));
        QTRY_COMPARE(boxes.count, 1);
        QVERIFY2(boxes.text.contains(QStringLiteral("Error number =  6.")), qPrintable(boxes.text));
        QCOMPARE(f.StatusLine(),
                 QStringLiteral("WEEK.CSV has more than 32,767 events; nothing was converted"));
        QVERIFY(!fs::exists(f.home.file("WEEK.CP2")));
    }

    // A rule double-clicked in the preview opens its settings dialog on the entry's page.
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
        WriteFile(input, std::string(kCsvHeader) + "\r\n" + CsvEvent(1, "WDEL", "WXYZ", "12", "A") +
                             CsvEvent(2, "KOLD", "WXYZ", "12", "B") +
                             CsvEvent(3, "WABC", "WXYZ", "7", "LATE MOVIE") +
                             CsvEvent(4, "KTIM", "WXYZ", "12", "NEWS"));
        f.chooser->next = ChosenFile{input.string(), "week1.csv"};
        f.Get<QAction>("menuFilePreview")->trigger();
        auto* preview = f.Get<QWidget>("frmPreview");
        auto* table = Child<QTableView>(*preview, "tblPreview");
        auto* unused = Child<QListWidget>(*preview, "lstUnused");
        QCOMPARE(table->model()->rowCount(), 4);

        struct Case {
            int row;  // -1: the unused rule
            const char *dialog, *tabs;
            int page;
            const char* box;
        };
        const Case cases[] = {
            {0, "frmDelete", "SSTab1", 1, "txtCL_11"},
            {1, "frmCall", "SSTab1", 1, "txtCL_10"},
            {2, "frmCO", "SSTab2", 2, "txtDes_17"},
            {3, "frmSetChangeTime", nullptr, 0, "txtSrc_5"},
            {-1, "frmCO", "SSTab1", 2, "txtCL_24"},
        };
        for (const Case& c : cases) {
            const int column = table->model()->columnCount() - 1;
            if (c.row >= 0) {
                emit table->doubleClicked(table->model()->index(c.row, column));
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

    // A file of lines that are no events says so on the status line and in the job history.
    void ignoredLinesAreReported() {
        Fixture f;
        const auto input = f.home.file("week1.csv");
        WriteFile(input, std::string(kCsvHeader) + "\r\nnot,an,event\r\n" +
                             CsvEvent(1, "WABC", "WXYZ", "1", "NEWS") + "\x01\x02\r\n");
        f.Open(input);
        QTRY_VERIFY(!f.JobRunning());
        QCOMPARE(f.StatusLine(),
                 QStringLiteral("Last job: week1.csv -> week1.CP2: 1 written, 0 deleted, 0 "
                                "skipped; 1 event; 2 lines ignored: fewer than 18 fields"));
        f.Get<QAction>("menuViewHistory")->trigger();
        auto* table = Child<QTableView>(*f.Get<QWidget>("frmJobHistory"), "tblJobs");
        QCOMPARE(table->model()->index(0, table->model()->columnCount() - 1).data().toString(),
                 QStringLiteral("2 lines ignored: fewer than 18 fields"));
    }

    // Run by the screenshots test, which names the folder for the PNG files.
    void screenshots() {
        const QString folder = qEnvironmentVariable("SKEDORA_SCREENSHOTS");
        if (folder.isEmpty()) {
            QSKIP("SKEDORA_SCREENSHOTS names no folder");
        }
        QVERIFY(QDir().mkpath(folder));
        const auto save = [&](QWidget& widget, const QString& name) {
            const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
            QVERIFY2(widget.grab().save(path), qPrintable(path));
        };
        Fixture f;
        RuleSet& rules = f.window->application().Rules();
        const RuleSet loaded = rules;
        rules = SampleRules();
        save(*f.window, QStringLiteral("frmMain"));
        for (const char* action : {"menuAbout", "menuSetDelete", "menuSetCall", "menuSetCO",
                                   "menuSetTime", "menuSetAutoLoad"}) {
            f.Get<QAction>(action)->trigger();
            QPointer<QWidget> dialog;
            QTRY_VERIFY((dialog = QApplication::activeWindow()) != f.window.get() && dialog);
            save(*dialog, dialog->objectName());
            dialog->close();
            QTRY_VERIFY(dialog.isNull());
        }
        {
            MessageBoxAnswerer boxes;
            boxes.onFirst = [&](QMessageBox& box) { save(box, QStringLiteral("error_box")); };
            f.Open(f.home.file("notes.txt"));
            QCOMPARE(boxes.count, 1);
        }

        rules = loaded;  // the sample rules delete every event
        WriteFile(f.home.file("WEEK1.CSV"), LargeCsvSchedule(20000));
        f.window->SetBurstBudget(std::chrono::milliseconds(0));  // caught in the middle
        f.Open(f.home.file("WEEK1.CSV"));
        ProcessFirstBurst(*f.window);
        save(*f.window, QStringLiteral("frmMain_job"));
        f.window->SetBurstBudget(MainWindow::kBurstBudget);
        QTRY_VERIFY_WITH_TIMEOUT(!f.JobRunning(), 20000);
        save(*f.window, QStringLiteral("frmMain_after_job"));

        // The watch line while watching, and the history with a failed job.
        const fs::path watch = f.home.file("incoming");
        fs::create_directory(watch);
        rules.AutoLoadSettings = {
            watch.string() + "/", f.home.file("missing").string() + "/", false, true, true, false};
        WriteFile(watch / "WEEK2.CSV", LargeCsvSchedule(3));
        fs::last_write_time(watch / "WEEK2.CSV",
                            fs::file_time_type::clock::now() - std::chrono::minutes(1));
        f.Get<QTimer>("timeWatch")->setInterval(10);
        QTRY_VERIFY(f.StatusLine().startsWith(QStringLiteral("Last job: WEEK2.CSV")));
        QTRY_VERIFY(!f.JobRunning());
        save(*f.window, QStringLiteral("frmMain_watching"));
        f.Get<QAction>("menuViewHistory")->trigger();
        auto* history = f.Get<QWidget>("frmJobHistory");
        QTRY_VERIFY(history->isVisible());
        Child<QTableView>(*history, "tblJobs")->selectRow(0);
        save(*history, QStringLiteral("job_history"));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
