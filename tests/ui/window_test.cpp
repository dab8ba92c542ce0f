#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTextBrowser>
#include <QToolTip>
#include <algorithm>
#include <filesystem>

#include "model/version.h"
#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "ui/auto_load_dialog.h"
#include "ui/byte_text.h"
#include "ui/elided_label.h"
#include "ui/preview_window.h"
#include "ui_test_support.h"

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;
using Column = AuditTableModel::Column;

namespace {

RuleSet SampleRules() {
    RuleSet rules;
    // Held as an edited SK.ini may hold them: call letters longer than their box, two delete
    // switches, a time math 9, a folder not in UTF-8. Shown unedited, they are no edit.
    rules.DeleteCallLetterRules[1] = {"WABCDEFGH-HD-2", "9999"};
    rules.DeleteSourceDestinationRules[1] = {"ALL", "WXYZ"};
    rules.DeleteAllFlags.AllHD = rules.DeleteAllFlags.AllDigital = true;
    rules.ChangeCallLetterRules[1] = {"KABC", "12", "KABC-DT"};
    rules.ChangeCOFromCallLetterRules[1] = {"ALL", "12", "34"};
    rules.ChangeCOFromDescriptionRules[1] = {"Evening News", "7", "8"};
    for (ChangeTimeRule& rule : rules.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    rules.ChangeTimeRules[1] = {"WABC", "KQED", "12", "Late Movie", 2, "00:30:00"};
    rules.ChangeTimeRules[6].Math = 9;
    rules.AutoLoadSettings = {"/srv/\xDC", "/srv/out/", true, true, true, false};
    return rules;
}

struct Fixture : WindowFixture {
    Fixture() { Start(); }
    void Open(const fs::path& file) {
        chooser->next = ChosenFile{file.string(), file.filename().string()};
        Get<QAction>("menuFileOpen")->trigger();
    }
    QDialog* ShowDialog(const char* action, const char* form) {
        Get<QAction>(action)->trigger();
        auto* dialog = Get<QDialog>(form);
        Activate(*dialog);
        return dialog;
    }
    void ClickInto() {
        QTest::mouseClick(window->centralWidget(), Qt::LeftButton);
        Activate(*window);
    }
    bool FramesEmpty() {
        const auto labels =
            window->findChildren<QLabel*>(QRegularExpression(QStringLiteral("^lbl.*_")));
        return std::all_of(labels.begin(), labels.end(),
                           [](const QLabel* label) { return label->text().isEmpty(); });
    }
    bool JobRunning() { return Get<QTimer>("timeCONV")->isActive(); }
};

const std::string kLongDescription = "THE VERY LONG EVENING NEWS " + std::string(80, 'X');

std::string LargeSchedule(int count) {
    return CsvSchedule(std::vector<TestEvent>(static_cast<std::size_t>(count),
                                              {"WABC-HD", "WXYZ", "12", kLongDescription}));
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
        for (const QChar key : keys) {  // QTest knows the keys of ASCII only
            if (key.unicode() < 128) {
                QTest::keyClick(box, key.toLatin1());
            } else {
                const auto code = static_cast<Qt::Key>(key.toUpper().unicode());
                QTest::sendKeyEvent(QTest::Click, box, code, key, Qt::NoModifier);
            }
        }
    }
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
        f.window->application().Rules().AutoLoadSettings.Path.clear();
        f.Get<QTimer>("timeWatch")->setInterval(10);
        QTRY_COMPARE(f.WatchLine(), QStringLiteral("Watch folder off: no folder set"));
        QVERIFY(!f.Get<QProgressBar>("prgJob")->isVisible());

        MessageBoxAnswerer boxes;
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(f.chooser->calls, 1);
        QVERIFY(boxes.texts.isEmpty() && !f.JobRunning());  // cancelled: nothing happens

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
            const char *action, *form;
            std::vector<const char*> edits;  // box=keys typed, a switch clicked, list=index
            void (*expect)(RuleSet&);
            const char* escapeIn = nullptr;  // closed by Escape in this box, not by the mouse
        } cases[] = {
            {"menuSetDelete",
             "frmDelete",
             {"txtCL_3=w,a b\xE9.c-1", "txtSRC_3=wabc-1\b2_/xyzabcdef", "txtCO_64=9x9-a9 9.12345",
              "txtDES_24=kqed", "chkNonDigital"},
             [](RuleSet& r) {
                 r.DeleteCallLetterRules[3].CallLetter = "WABC-1";
                 r.DeleteCallLetterRules[64].CONumber = "99991234";
                 r.DeleteSourceDestinationRules[3].Source = "WABC-2XYZABC";
                 r.DeleteSourceDestinationRules[24].Destination = "KQED";
                 r.DeleteAllFlags = {false, false, false, true};
             }},
            {"menuSetCall",
             "frmCall",
             {"txtCL_9=kqed", "txtCO_9=7", "txtNEWCL_24=w,xyz-dt99"},
             [](RuleSet& r) {
                 r.ChangeCallLetterRules[9] = {"KQED", "7", ""};
                 r.ChangeCallLetterRules[24].NewCallLetter = "WXYZ-DT9";
             },
             "txtCL_9"},
            {"menuSetCO",
             "frmCO",
             {"txtCL_4=all", "txtNEWCO_4=99", "txtDes_17= Late Movie, part 2! (HD) and more",
              "txtDesCo_24=c-3"},
             [](RuleSet& r) {
                 r.ChangeCOFromCallLetterRules[4] = {"ALL", "", "99"};
                 r.ChangeCOFromDescriptionRules[17].ProgramDescription = "Late Movie, part 2! (HD)";
                 r.ChangeCOFromDescriptionRules[24].OldCO = "c-3";
             },
             "txtDes_17"},
            {"menuSetTime",
             "frmSetChangeTime",
             {"txtDes_2=w, xyz", "txtTime_2=0130", "cmbMath_2=3", "cmbMath_1=-1",
              "txtCO_7=co 1234567"},
             [](RuleSet& r) {
                 r.ChangeTimeRules[1].Math = -1;
                 r.ChangeTimeRules[2] = {"", "w, xyz", "", "", 3, "01:30:00"};
                 r.ChangeTimeRules[6].Math = -1;  // not in the list: stored as no choice
                 r.ChangeTimeRules[7].CO = "co 12345";
             }},
            {"menuSetAutoLoad",
             "frmSetAutoLoad",
             {"txtOutPath= /srv/\xDC ", "chkCSV", "chkPrefix"},  // a typed folder is UTF-8
             [](RuleSet& r) {
                 r.AutoLoadSettings = {"/srv/\xDC/", "/srv/\xC3\x9C/", true, false, true, true};
             }},
        };
        for (const auto& c : cases) {
            Fixture f;
            RuleSet& rules = f.window->application().Rules();
            rules = SampleRules();
            const RuleSet before = rules;
            const fs::path ini = SettingsFilePath(f.home.path());
            const std::string iniBefore = ReadFile(ini);
            QPointer<QDialog> dialog;
            const auto open = [&](bool edit) {
                f.Get<QAction>(c.action)->trigger();
                QCOMPARE(f.window->findChildren<QDialog*>(QLatin1String(c.form)).size(), 1);
                dialog = f.Get<QDialog>(c.form);
                QVERIFY(QTest::qWaitForWindowActive(dialog));
                for (const char* typed : edit ? c.edits : std::vector<const char*>{}) {
                    Edit(*dialog, typed);
                }
            };
            const auto escape = [&] {
                QTest::keyClick(Child(*dialog, c.escapeIn), Qt::Key_Escape);
            };
            // Exit and every close with edits ask: the answers go back, throw away (by Escape),
            // acknowledge the failed save, go back, and save (by Escape, else by Apply).
            MessageBoxAnswerer boxes({QMessageBox::Cancel, QMessageBox::Discard, QMessageBox::Ok,
                                      QMessageBox::Cancel, QMessageBox::Save});
            if (c.escapeIn == nullptr) {
                boxes.answers.erase(boxes.answers.begin() + 1);
            }

            open(false);
            QVERIFY(!dialog->isModal());
            const QPointer<QDialog> first = dialog;  // unedited: chosen again, it is replaced
            open(false);
            QVERIFY(first.isNull());
            c.escapeIn ? escape() : f.ClickInto();  // and it closes asking nothing
            QTRY_VERIFY(dialog.isNull());
            open(true);
            QApplication::setActiveWindow(nullptr);
            f.ClickInto();
            QTest::qWait(50);
            QVERIFY(dialog && dialog->isVisible());
            f.Get<QAction>(c.action)->trigger();
            QCOMPARE(f.Get<QDialog>(c.form), dialog.data());
            f.Get<QAction>("menuFileExit")->trigger();
            QVERIFY(f.window->isVisible() && dialog && dialog->isVisible());
            Activate(*dialog);  // back to the edits
            c.escapeIn ? escape() : QTest::keyClick(dialog, Qt::Key_C, Qt::AltModifier);  // Cancel
            QTRY_VERIFY(dialog.isNull());
            QVERIFY(rules == before);
            QCOMPARE(ReadFile(ini), iniBefore);

            open(true);
            fs::remove(ini);
            fs::create_directory(ini);  // SK.ini cannot be replaced: Apply and Save fails
            QTest::keyClick(dialog, Qt::Key_A, Qt::AltModifier);
            QTRY_VERIFY(boxes.critical);
            QVERIFY2(boxes.texts.last().contains(QStringLiteral("not saved to SK.ini")),
                     qPrintable(boxes.texts.last()));
            QVERIFY(dialog && dialog->isVisible());

            dialog->close();  // answered Cancel: it stays
            QVERIFY(dialog->isVisible());
            fs::remove(ini);
            Activate(*dialog);
            c.escapeIn ? void(dialog->close())
                       : QTest::keyClick(dialog, Qt::Key_A, Qt::AltModifier);
            QTRY_VERIFY(dialog.isNull());
            QCOMPARE(boxes.texts.size(), c.escapeIn ? 5 : 3);
            RuleSet expected = before;
            c.expect(expected);
            RuleSet saved;
            QVERIFY(!LoadSettings(f.home.path(), saved).unreadable);
            QVERIFY2(saved == expected, c.form);
        }
    }

    void accessKeysClipboardKeysAndTheTimeMask() {
        Fixture f;
        QPointer<QDialog> dialog = f.ShowDialog("menuSetDelete", "frmDelete");
        QLineEdit* box = Child(*dialog, "txtCL_1");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(Child<QCheckBox>(*dialog, "chkSD")->isChecked());
        QVERIFY(box->text().isEmpty());  // the access key typed nothing
        dialog = f.ShowDialog("menuSetAutoLoad", "frmSetAutoLoad");
        QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);  // the output group's title
        QCOMPARE(QApplication::focusWidget(), Child(*dialog, "txtOutPath"));

        QClipboard& clipboard = *QApplication::clipboard();
        dialog = f.ShowDialog("menuSetCO", "frmCO");
        for (const auto& [name, filtered] : {std::pair{"txtCL_3", true}, {"txtDes_2", false}}) {
            // A filtered box takes no clipboard keys: pasted text would pass by its filter.
            QLineEdit* edit = Child(*dialog, name);
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

        dialog = f.ShowDialog("menuSetTime", "frmSetChangeTime");
        box = Child(*dialog, "txtTime_3");
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_2);
        clipboard.setText(QStringLiteral("01:00:00"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        box->selectAll();
        box->paste();  // what the context menu's Paste does
        box->cut();
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("22:22:22"));
    }

    void autoLoadFlagsFoldersAndBrowses() {
        Fixture f;
        const TempDir& home = f.home;
        WriteFile(home.file("notes.txt"), "x");
        fs::create_directory(home.file("out"));
        fs::create_directory(home.file("read-only"));
        fs::permissions(home.file("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
        fs::create_directory(home.file("write-only"));
        fs::permissions(home.file("write-only"), fs::perms::owner_write | fs::perms::owner_exec);
        const auto restore =
            qScopeGuard([&] { fs::permissions(home.file("write-only"), fs::perms::owner_all); });
        RuleSet rules = SampleRules();
        rules.AutoLoadSettings.Path = home.folderText();
        QStringList asked;
        std::optional<QString> answer =
            QDir(QString::fromStdString(home.path().string())).filePath(QStringLiteral("out"));
        QPointer<QDialog> dialog = new AutoLoadDialog(
            rules, [] { return MaybeError(); }, f.window.get(),
            [&](QWidget*, const QString& caption, const QString& start) {
                asked << caption + QLatin1Char('@') + start;
                return answer;
            });
        dialog->show();
        Activate(*dialog);
        QWidget* pathWarning = Child<QWidget>(*dialog, "warnPath");
        QWidget* outWarning = Child<QWidget>(*dialog, "warnOutPath");
        QVERIFY(!outWarning->isHidden());  // /srv/out is nowhere here

        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdBrowseOutPath"), Qt::LeftButton);
        QCOMPARE(asked.value(0), QStringLiteral("Output Folder@") + QDir::homePath());
        QCOMPARE(Child(*dialog, "txtOutPath")->text(), *answer);
        QVERIFY(outWarning->isHidden());

        answer.reset();  // a cancelled chooser changes nothing
        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdBrowsePath"), Qt::LeftButton);
        QCOMPARE(asked.value(1), QStringLiteral("Watch Folder@") +
                                     QString::fromStdString(home.folderText()).trimmed());
        QCOMPARE(Child(*dialog, "txtPath")->text(), QString::fromStdString(home.folderText()));

        const bool root = ::geteuid() == 0;  // may read and write every folder
        // A folder typed and the problem shown ("": none).
        const std::pair<std::string, const char*> cases[] = {
            {" " + home.path().string() + "/. ", ""},
            {home.file("notes.txt").string(), "not a folder"},
            {home.file("read-only").string(), root ? "" : "not write"},
            {home.file("write-only").string(), root ? "" : "not read"},
            {home.file("gone").string(), "does not exist"},
            {"   ", "No folder"},  // stored as no folder, not as the root
        };
        for (const auto& [folder, problem] : cases) {
            Child(*dialog, "txtPath")->setText(QString::fromStdString(folder));
            const QString shown = Child<QLabel>(*dialog, "warnPathText")->text();
            QVERIFY2(pathWarning->isHidden() == (*problem == '\0'), qPrintable(shown));
            QVERIFY2(shown.contains(QLatin1String(problem)), qPrintable(shown));
        }
        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(rules.AutoLoadSettings.Path, std::string());
        QCOMPARE(rules.AutoLoadSettings.OutPath, home.file("out").string() + "/");
    }

    void everyByteSurvivesTheWindow() {
        std::string all;
        for (int value = 0; value < 256; ++value) {
            all += static_cast<char>(value);
        }
        QCOMPARE(BytesFromText(TextFromBytes(all)), all);
        QCOMPARE(BytesFromText(QStringLiteral(u"a\u0416b\u2122")), std::string("a?b\x99"));
    }

    void framesShowARunningJobShortenedAndExitLeavesNoPartialOutput() {
        Fixture f;
        MainWindow& w = *f.window;
        const int width = w.width();
        const fs::path big = f.home.file(std::string(120, 'd') + ".csv");
        WriteFile(big, LargeSchedule(32767));
        w.SetBurstBudget(std::chrono::milliseconds(0));
        f.Open(big);
        QDeadlineTimer deadline(5000);  // until the first burst, while the job still runs
        while (w.application().Job().OutputCount == 0 && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        auto* progress = f.Get<QProgressBar>("prgJob");
        QCOMPARE(f.Get<QLabel>("lblCLFROM_1")->text(), QStringLiteral("WXYZ"));
        // Long texts are drawn shortened, whole in the tooltip, and never widen the window.
        auto* description = f.Get<ElidedLabel>("lblDESC_2");
        QCOMPARE(description->text(), QString::fromStdString(kLongDescription));
        QVERIFY(description->IsElided() &&
                description->ShownText().startsWith(QStringLiteral("THE VERY")));
        auto* file = f.Get<ElidedLabel>("lblFILE_1");
        QVERIFY(file->IsElided() && file->ShownText().endsWith(QStringLiteral("ddd.csv")));
        QCOMPARE(w.width(), width);
        QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), description->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(description, &tip);
        QTRY_COMPARE(QToolTip::text(), description->text());
        const QString number = f.Get<QLabel>("lblRECNUM_1")->text();
        QVERIFY(number.startsWith(QLatin1Char(' ')));  // the sign's place
        QCOMPARE(number.trimmed().toInt(), progress->value());

        f.Get<QAction>("menuFileOpen")->trigger();
        QCOMPARE(f.chooser->calls, 1);

        f.Get<QAction>("menuFileExit")->trigger();
        QVERIFY(!f.JobRunning());
        QCOMPARE(std::distance(fs::directory_iterator(f.home.path()), {}), 3);
        QVERIFY(fs::exists(f.home.file("Recent.txt")));
        QVERIFY(fs::exists(f.home.file(HomeLock::kFileName)));
    }

    void faultsShowTheErrorBoxAndTheStatusLine() {
        // The error's text is the core's; the window shows it and says on the status line which
        // kind of failure it was: refused before reading, failed as a job, too many events. A
        // number outside 16 bits is the same error as too many events, but not said as that.
        const std::string overflowBox = "Error! (Overflow).  Error number =  6.  ";
        const std::tuple<const char*, std::string, std::string, const char*> cases[] = {
            {"notes.txt", LargeSchedule(1), "Error! (Only .DBF", "Could not convert notes.txt"},
            {"A.CSV", LargeSchedule(1), "Error! (Path/File", "Last job: A.CSV -> A.CP2 failed"},
            {"WEEK.CSV", LargeSchedule(32768), overflowBox,
             "WEEK.CSV has more than 32,767 events; nothing was converted"},
            {"WEEK.DBF", DbfBytes(std::vector<DbfColumn>(13, {"N", 'N', 5}), {{13, "40000"}}),
             overflowBox, "Could not convert WEEK.DBF: Overflow (error 6)"},
        };
        Fixture f;
        fs::create_directory(f.home.file("A.CP2"));
        for (const auto& [name, bytes, box, status] : cases) {
            const auto input = f.home.file(name);
            WriteFile(input, bytes);
            MessageBoxAnswerer boxes;
            f.Open(input);
            QTRY_COMPARE(boxes.texts.size(), 1);
            QVERIFY(boxes.critical);
            QVERIFY2(boxes.texts[0].startsWith(QString::fromStdString(box)) &&
                         boxes.texts[0].endsWith(QLatin1String("Error Source = Skedora")),
                     qPrintable(boxes.texts[0]));
            QTRY_VERIFY2(f.StatusLine().startsWith(QLatin1String(status)),
                         qPrintable(f.StatusLine()));
        }
    }

    void droppedFilesAreConvertedInTurnReportedAndRecent() {
        Fixture f;
        const auto file = [&](const char* name) { return f.home.file(name); };
        WriteCsvSchedule(file("ONE.CSV"), {{}, {}, {}});
        WriteFile(file("TWO.CSV"), CsvSchedule({{}, {"WABC", "  ", "7", "SKIPPED"}, {}}) +
                                       "not,an,event\r\n\x01\x02\r\n");
        WriteFile(file("notes.txt"), "x");
        DropFiles(*f.window, {file("ONE.CSV"), file("TWO.CSV"), file("notes.txt")});
        QCOMPARE(f.StatusLine(), QStringLiteral("Converting ONE.CSV ..."));
        QCOMPARE(f.Get<QLabel>("lblFILE_1")->text(), QString::fromStdString(file("ONE.CSV")));
        QCOMPARE(f.Get<QLabel>("lblFILE_2")->text(), QString::fromStdString(file("ONE.CP2")));
        auto* progress = f.Get<QProgressBar>("prgJob");
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->maximum(), 3);

        QTRY_VERIFY(fs::exists(file("TWO.CP2")));
        QVERIFY(!f.JobRunning() && f.FramesEmpty());
        QVERIFY(!progress->isVisible());
        QVERIFY(fs::exists(file("ONE.CP2")) && !fs::exists(file("notes.CP2")));
        const QString ignored = QStringLiteral("2 lines ignored: fewer than 18 fields");
        QCOMPARE(f.StatusLine(), QStringLiteral("Last job: TWO.CSV -> TWO.CP2: 2 written, 0 "
                                                "deleted, 1 skipped; 3 events; ") +
                                     ignored);
        f.Get<QAction>("menuViewHistory")->trigger();
        auto* table = Child<QTableView>(*f.Get<QWidget>("frmJobHistory"), "tblJobs");
        QCOMPARE(table->model()->index(0, table->model()->columnCount() - 1).data().toString(),
                 ignored);
        fs::remove(file("TWO.CP2"));
        f.Get<QAction>("menuFileRecent1")->trigger();  // the last file dropped
        QTRY_VERIFY(fs::exists(file("TWO.CP2")));

        DropFiles(*f.window, {file("notes.txt")});
        QVERIFY(!f.JobRunning());
        QVERIFY2(f.StatusLine().startsWith(QStringLiteral("Not converted")) &&
                     f.StatusLine().endsWith(QStringLiteral("notes.txt")),
                 qPrintable(f.StatusLine()));
    }

    void previewShowsWhatTheRulesDoAndOpensTheirEntries() {
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
                                 {"KTIM", "WXYZ", "12", "NEWS"},
                                 {"WABC", " ", "12", "Blank"},
                                 {"KQED", "WXYZ", "9", "Kept"}});
        f.chooser->next = ChosenFile{input.string(), "week1.csv"};
        f.Get<QAction>("menuFilePreview")->trigger();
        auto* preview = f.Get<QWidget>("frmPreview");
        auto* table = Child<QTableView>(*preview, "tblPreview");
        auto* unused = Child<QListWidget>(*preview, "lstUnused");
        const auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
            return table->model()->index(row, column).data(role);
        };
        const auto grey = [&](int row) { return cell(row, 0, Qt::ForegroundRole).isValid(); };
        QVERIFY(grey(0) && !grey(1) && !grey(3) && grey(4) && !grey(5));
        QCOMPARE(cell(4, Column::kRules).toString(), QStringLiteral("blank From call letters"));
        QVERIFY(cell(0, Column::kRules).toString().contains(QStringLiteral("WDEL")));
        QCOMPARE(cell(0, Column::kOutTo).toString(), QString());
        QCOMPARE(cell(1, Column::kOutTo).toString(), QStringLiteral("KNEW"));
        QVERIFY(cell(1, Column::kOutTo, Qt::BackgroundRole).isValid());
        QVERIFY(!cell(1, Column::kInTo, Qt::BackgroundRole).isValid());
        QVERIFY(!cell(5, Column::kOutTo, Qt::BackgroundRole).isValid());
        QVERIFY(Child<QLabel>(*preview, "lblCounts")
                    ->text()
                    .startsWith(QStringLiteral("6 read, 1 skipped, 1 deleted, 4 written")));
        QCOMPARE(unused->count(), 1);  // which rule: double-clicked below

        const std::tuple<int, const char*, QList<int>> shown[] = {
            {1, "", {1, 5}},  {2, "", {2, 3, 4}}, {3, "", {6}},       {0, "kqed", {6}},
            {0, "knew", {2}}, {1, "wdel", {1}},   {2, "nothing", {}}, {0, "", {1, 2, 3, 4, 5, 6}},
        };
        for (const auto& [show, filter, expected] : shown) {
            Child<QComboBox>(*preview, "cboShow")->setCurrentIndex(show);
            Child(*preview, "txtFilter")->setText(QString::fromLatin1(filter));
            QList<int> records;
            for (int row = 0; row < table->model()->rowCount(); ++row) {
                records << cell(row, Column::kRecord).toInt();
            }
            QCOMPARE(records, expected);
        }

        // The row double-clicked (-1: the unused rule), the dialog and box it shows.
        const std::tuple<int, const char*, const char*> cases[] = {
            {0, "frmDelete", "txtCL_11"}, {1, "frmCall", "txtCL_10"},
            {2, "frmCO", "txtDes_17"},    {3, "frmSetChangeTime", "txtSrc_5"},
            {-1, "frmCO", "txtCL_24"},
        };
        for (const auto& [row, form, name] : cases) {
            if (row >= 0) {
                emit table->doubleClicked(
                    table->model()->index(row, table->model()->columnCount() - 1));
            } else {
                emit unused->itemDoubleClicked(unused->item(0));
            }
            auto* dialog = f.Get<QWidget>(form);
            auto* box = Child<QWidget>(*dialog, name);
            QVERIFY2(box->isVisible(), name);  // its dialog shown on the entry's page
            QCOMPARE(dialog->focusWidget(), box);
        }
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
