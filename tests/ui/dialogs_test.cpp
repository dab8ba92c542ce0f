// The settings dialogs, the help window and the status frames driven as a desk operator does:
// edits are never thrown away, access keys and Select All, the Auto Load folder pickers and
// warnings, elided status texts.

#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <optional>

#include "support/temp_dir.h"
#include "ui/auto_load_dialog.h"
#include "ui/change_call_letters_dialog.h"
#include "ui/change_co_dialog.h"
#include "ui/change_time_dialog.h"
#include "ui/delete_events_dialog.h"
#include "ui/elided_label.h"
#include "ui/help_window.h"
#include "ui/status_frame.h"

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;

namespace {

template <typename T = QLineEdit>
T* Child(QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    if (child == nullptr) {
        qFatal("no %s", name);
    }
    return child;
}

/**
 * Rules as an older or hand-edited SK.ini may hold them: blanks around a text, a time operation
 * the list lacks, folders without the closing separator. Showing them is no edit.
 */
RuleSet HeldRules() {
    RuleSet rules;
    rules.DeleteCallLetterRules[1] = {" WABC-HD ", "9999"};
    rules.DeleteAllFlags.AllHD = rules.DeleteAllFlags.AllDigital = true;
    rules.ChangeCallLetterRules[1] = {"KABC", " 12", "KABC-DT"};
    rules.ChangeCOFromDescriptionRules[1] = {"Evening News ", "7", "8"};
    for (ChangeTimeRule& rule : rules.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    rules.ChangeTimeRules[1] = {"WABC", "KQED", "12", "Late Movie", 9, " 00:30:00 "};
    rules.AutoLoadSettings = {"/srv/\xDC", "/srv/out", true, true, true, false};
    return rules;
}

using MakeDialog = std::function<SettingsDialog*(RuleSet&, SaveRules, QWidget*)>;

template <typename Dialog>
MakeDialog Make() {
    return [](RuleSet& rules, SaveRules save, QWidget* parent) {
        return new Dialog(rules, std::move(save), parent);
    };
}

struct DialogKind {
    MakeDialog make;
    const char* box;   // a text box of the dialog
    const char* keys;  // typed at its end: an edit
};

const std::vector<std::pair<const char*, DialogKind>>& Kinds() {
    static const std::vector<std::pair<const char*, DialogKind>> kinds = {
        {"delete", {Make<DeleteEventsDialog>(), "txtCL_2", "wxyz"}},
        {"call letters", {Make<ChangeCallLettersDialog>(), "txtNEWCL_24", "k"}},
        {"co", {Make<ChangeCODialog>(), "txtDes_1", "!"}},
        {"time", {Make<ChangeTimeDialog>(), "txtSrc_8", "w"}},
        {"auto load", {Make<AutoLoadDialog>(), "txtOutPath", "2"}},
    };
    return kinds;
}

/** "Another window of the program": the main window's place in these tests. */
struct Fixture {
    Fixture() {
        other.setObjectName(QStringLiteral("frmMain"));
        other.resize(500, 400);
        other.show();
        if (!QTest::qWaitForWindowActive(&other)) {
            qWarning("the main window did not become active");
        }
    }

    /** Opens a dialog over rules, as the settings menu does, and waits for it to be active. */
    QPointer<SettingsDialog> Open(const MakeDialog& make) {
        QPointer<SettingsDialog> dialog = make(rules, save, &other);
        dialog->show();
        dialog->activateWindow();
        // Shortcuts and the activation checks follow the application's active window, which
        // settles a little after the platform window's.
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }, 2000)) {
            // As after the click on the menu, which a window manager would have seen.
            QApplication::setActiveWindow(dialog);
        }
        return dialog;
    }

    /** As a click into the main window does. */
    void ClickIntoOther() {
        QTest::mouseClick(&other, Qt::LeftButton);
        Activate(other);
    }

    /** Makes window the active one, as a click into it does. */
    static void Activate(QWidget& window) {
        window.activateWindow();
        // A window manager refuses an activation asked without a real click (focus stealing
        // prevention); the click it would have seen makes the window active, so say so.
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 500)) {
            // A focus event still under way may hand the activation back once.
            for (int i = 0; i < 10 && QApplication::activeWindow() != &window; ++i) {
                QApplication::setActiveWindow(&window);
                QTest::qWait(50);
            }
        }
    }

    QMainWindow other;
    RuleSet rules = HeldRules();
    int saves = 0;
    std::optional<Error> saveFailure;
    SaveRules save = [this]() -> MaybeError {
        ++saves;
        return saveFailure;
    };
};

void TypeAtEnd(QWidget& dialog, const char* box, const char* keys) {
    auto* edit = Child(dialog, box);
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, QLatin1String(keys));
}

/** While it lives, answers each message box with the next answer, noting what it asked. */
struct MessageBoxAnswerer {
    explicit MessageBoxAnswerer(std::vector<QMessageBox::StandardButton> answers)
        : answers(std::move(answers)) {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || next >= this->answers.size()) {
                return;
            }
            texts << box->text();
            box->button(this->answers[next++])->click();
        });
        poll.start(10);
    }

    std::vector<QMessageBox::StandardButton> answers;
    std::size_t next = 0;
    QStringList texts;
    QTimer poll;
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private:
    static void AddKinds() {
        QTest::addColumn<int>("kind");
        for (std::size_t i = 0; i < Kinds().size(); ++i) {
            QTest::newRow(Kinds()[i].first) << static_cast<int>(i);
        }
    }

  private slots:
    void losingActivationKeepsOnlyADialogWithEdits_data() { AddKinds(); }

    // Without edits a click into the main window closes the dialog, as it always did; with
    // edits the dialog stays open with them, and taking the edit back makes it closable again.
    void losingActivationKeepsOnlyADialogWithEdits() {
        QFETCH(int, kind);
        const DialogKind& k = Kinds()[static_cast<std::size_t>(kind)].second;
        Fixture f;
        const RuleSet before = f.rules;

        QPointer<SettingsDialog> dialog = f.Open(k.make);
        QVERIFY(!dialog->HasUnsavedEdits());
        f.ClickIntoOther();
        QTRY_VERIFY(dialog.isNull());

        dialog = f.Open(k.make);
        TypeAtEnd(*dialog, k.box, k.keys);
        QVERIFY(dialog->HasUnsavedEdits());
        f.ClickIntoOther();
        QTest::qWait(50);
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(f.rules == before);
        QCOMPARE(f.saves, 0);

        Fixture::Activate(*dialog);
        QCOMPARE(QApplication::activeWindow(), dialog.data());
        QLineEdit* box = Child(*dialog, k.box);
        box->setFocus();
        box->end(false);
        for (std::size_t i = 0; i < std::strlen(k.keys); ++i) {
            QTest::keyClick(box, Qt::Key_Backspace);
        }
        QVERIFY(!dialog->HasUnsavedEdits());
        f.ClickIntoOther();
        QTRY_VERIFY(dialog.isNull());
        QVERIFY(f.rules == before);
    }

    void closingWithEditsAsks_data() {
        QTest::addColumn<int>("how");  // 0 the close box, 1 Escape
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("failingSave");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("stored");
        const int save = QMessageBox::Save, discard = QMessageBox::Discard,
                  back = QMessageBox::Cancel;
        QTest::newRow("close box, save") << 0 << save << false << true << true;
        QTest::newRow("close box, discard") << 0 << discard << false << true << false;
        QTest::newRow("close box, go back") << 0 << back << false << false << false;
        QTest::newRow("Escape, save") << 1 << save << false << true << true;
        QTest::newRow("Escape, go back") << 1 << back << false << false << false;
        // The rules are in use, but the file did not take them: the dialog stays with the edits.
        QTest::newRow("save fails") << 0 << save << true << false << true;
    }

    void closingWithEditsAsks() {
        QFETCH(int, how);
        QFETCH(int, answer);
        QFETCH(bool, failingSave);
        QFETCH(bool, closes);
        QFETCH(bool, stored);
        Fixture f;
        if (failingSave) {
            f.saveFailure = Error{13, "Permission denied"};
        }
        QPointer<SettingsDialog> dialog = f.Open(Make<ChangeCallLettersDialog>());
        TypeAtEnd(*dialog, "txtCL_3", "wxyz");
        {
            MessageBoxAnswerer boxes(
                {static_cast<QMessageBox::StandardButton>(answer), QMessageBox::Ok});
            if (how == 0) {
                dialog->close();
            } else {
                QTest::keyClick(Child(*dialog, "txtCL_3"), Qt::Key_Escape);
            }
            QCOMPARE(boxes.texts.value(0),
                     QStringLiteral("Save changes to Change Call Letter Settings?"));
            QCOMPARE(boxes.texts.size(), failingSave ? 2 : 1);
        }
        QTest::qWait(20);
        QCOMPARE(dialog.isNull(), closes);
        QCOMPARE(f.rules.ChangeCallLetterRules[3].OldCallLetter == "WXYZ", stored);
        QCOMPARE(f.saves, answer == QMessageBox::Save ? 1 : 0);
        if (!closes) {
            QCOMPARE(Child(*dialog, "txtCL_3")->text(), QStringLiteral("WXYZ"));
            QVERIFY(dialog->HasUnsavedEdits());
        }
    }

    // Cancel is the explicit discard; without edits nothing asks; the main window's question
    // before it replaces or ends a dialog answers for the user's choice.
    void cancelDiscardsAndConfirmCloseAnswersForTheUser() {
        Fixture f;
        const RuleSet before = f.rules;
        QPointer<SettingsDialog> dialog = f.Open(Make<DeleteEventsDialog>());
        {
            MessageBoxAnswerer boxes({});
            QVERIFY(dialog->ConfirmClose());
            dialog->close();
            QTRY_VERIFY(dialog.isNull());
            QVERIFY(boxes.texts.isEmpty());
        }

        dialog = f.Open(Make<DeleteEventsDialog>());
        TypeAtEnd(*dialog, "txtCO_64", "5");
        {
            MessageBoxAnswerer boxes({QMessageBox::Cancel, QMessageBox::Discard});
            QVERIFY(!dialog->ConfirmClose());
            QVERIFY(dialog->isVisible());
            QVERIFY(dialog->ConfirmClose());
            QVERIFY(dialog->isVisible());  // the caller closes it
            QCOMPARE(boxes.texts.size(), 2);
        }
        {
            MessageBoxAnswerer boxes({});
            QTest::mouseClick(Child<QPushButton>(*dialog, "cmdCANCEL"), Qt::LeftButton);
            QTRY_VERIFY(dialog.isNull());
            QVERIFY(boxes.texts.isEmpty());
        }
        QVERIFY(f.rules == before);
        QCOMPARE(f.saves, 0);

        dialog = f.Open(Make<DeleteEventsDialog>());
        QTest::mouseClick(Child<QCheckBox>(*dialog, "chkSD"), Qt::LeftButton);
        {
            MessageBoxAnswerer boxes({QMessageBox::Save});
            QVERIFY(dialog->ConfirmClose());
        }
        QCOMPARE(f.saves, 1);
        QVERIFY(f.rules.DeleteAllFlags.AllSD);
        QVERIFY(!dialog->HasUnsavedEdits());  // saved: nothing more to ask about
    }

    void accessKeysReachButtonsAndSwitches() {
        Fixture f;
        QPointer<SettingsDialog> dialog = f.Open(Make<DeleteEventsDialog>());
        QLineEdit* box = Child(*dialog, "txtCL_1");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(Child<QCheckBox>(*dialog, "chkSD")->isChecked());
        QCOMPARE(box->text(), QStringLiteral(" WABC-HD "));  // the access key typed nothing
        QTest::keyClick(box, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(f.saves, 1);
        QVERIFY(f.rules.DeleteAllFlags.AllSD);

        dialog = f.Open(Make<AutoLoadDialog>());
        QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);  // the output group's title
        QCOMPARE(QApplication::focusWidget(), Child(*dialog, "txtOutPath"));
        QTest::keyClick(dialog, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(dialog.isNull());
    }

    void selectAllInEveryKindOfBox_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, int kind, const char* box, const char* text) {
            QTest::newRow(name) << kind << QString::fromLatin1(box) << QString::fromLatin1(text);
        };
        row("call-letter filter", 0, "txtCL_1", " WABC-HD ");
        row("digit filter", 0, "txtCO_1", "9999");
        row("no filter", 2, "txtDes_1", "Evening News ");
        row("time mask", 3, "txtTime_1", "00:30:00");
        row("folder", 4, "txtOutPath", "/srv/out");
    }

    // Ctrl+A selects the whole text and changes nothing; the clipboard keys stay swallowed in
    // the filtered boxes.
    void selectAllInEveryKindOfBox() {
        QFETCH(int, kind);
        QFETCH(QString, box);
        QFETCH(QString, text);
        Fixture f;
        QPointer<SettingsDialog> dialog =
            f.Open(Kinds()[static_cast<std::size_t>(kind)].second.make);
        QLineEdit* edit = Child(*dialog, qPrintable(box));
        edit->setFocus();
        edit->setCursorPosition(1);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(edit->selectedText(), text);
        QCOMPARE(edit->text(), text);
        QVERIFY(!dialog->HasUnsavedEdits());
        if (kind == 0) {
            QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(edit->text(), text);
        }
    }

    void folderProblems_data() {
        QTest::addColumn<QByteArray>("folder");  // relative to a fresh folder; "" none given
        QTest::addColumn<QString>("problem");    // empty: none
        QTest::newRow("usable") << QByteArray(".") << QString();
        QTest::newRow("usable, blanks around") << QByteArray(" . ") << QString();
        QTest::newRow("missing") << QByteArray("gone") << QStringLiteral("does not exist");
        QTest::newRow("a file") << QByteArray("notes.txt") << QStringLiteral("not a folder");
        QTest::newRow("not writable") << QByteArray("read-only") << QStringLiteral("not write");
        QTest::newRow("not readable") << QByteArray("write-only") << QStringLiteral("not read");
    }

    void folderProblems() {
        QFETCH(QByteArray, folder);
        QFETCH(QString, problem);
        if (folder.endsWith("-only") && ::geteuid() == 0) {
            QSKIP("the super-user may read and write every folder");
        }
        TempDir home;
        WriteFile(home.file("notes.txt"), "x");
        fs::create_directory(home.file("read-only"));
        fs::permissions(home.file("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
        fs::create_directory(home.file("write-only"));
        fs::permissions(home.file("write-only"), fs::perms::owner_write | fs::perms::owner_exec);
        std::string path = home.path().string() + "/" + folder.toStdString();
        if (folder.startsWith(' ')) {
            path = " " + home.path().string() + "/. ";
        }
        const QString found = FolderProblem(path).value_or(QString());
        QCOMPARE(found.isEmpty(), problem.isEmpty());
        QVERIFY2(found.contains(problem), qPrintable(found));
        fs::permissions(home.file("write-only"), fs::perms::owner_all);
        QVERIFY(FolderProblem("").has_value());
    }

    // Browse... fills the box with the chosen folder; a folder that cannot serve is flagged as
    // the user types, and saving it stays allowed.
    void autoLoadBrowsesAndFlagsFolders() {
        TempDir home;
        Fixture f;
        f.rules.AutoLoadSettings.Path = home.folderText();
        QStringList asked;
        std::optional<QString> answer =
            QDir(PathTextFromTemp(home)).filePath(QStringLiteral("out"));
        fs::create_directory(home.file("out"));
        QPointer<SettingsDialog> dialog = f.Open([&](RuleSet& rules, SaveRules save,
                                                     QWidget* parent) {
            return new AutoLoadDialog(rules, std::move(save), parent,
                                      [&](QWidget*, const QString& caption, const QString& start) {
                                          asked << caption + QLatin1Char('@') + start;
                                          return answer;
                                      });
        });
        QWidget* pathWarning = Child<QWidget>(*dialog, "warnPath");
        QWidget* outWarning = Child<QWidget>(*dialog, "warnOutPath");
        QVERIFY(pathWarning->isHidden());
        QVERIFY(!outWarning->isHidden());  // /srv/out is nowhere here
        QVERIFY(Child<QLabel>(*dialog, "warnOutPathText")
                    ->text()
                    .contains(QStringLiteral("does not exist")));

        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdBrowseOutPath"), Qt::LeftButton);
        QCOMPARE(asked.value(0), QStringLiteral("Output Folder@") + QDir::homePath());
        QCOMPARE(Child(*dialog, "txtOutPath")->text(), *answer);
        QVERIFY(outWarning->isHidden());

        answer.reset();  // a cancelled chooser changes nothing
        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdBrowsePath"), Qt::LeftButton);
        QCOMPARE(asked.value(1), QStringLiteral("Watch Folder@") +
                                     QString::fromStdString(home.folderText()).trimmed());
        QCOMPARE(Child(*dialog, "txtPath")->text(), QString::fromStdString(home.folderText()));

        QLineEdit* path = Child(*dialog, "txtPath");
        path->setFocus();
        path->end(false);
        QTest::keyClicks(path, QStringLiteral("missing"));
        QVERIFY(!pathWarning->isHidden());
        QVERIFY(Child<QLabel>(*dialog, "warnPathText")
                    ->text()
                    .contains(QStringLiteral("does not exist")));

        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(f.rules.AutoLoadSettings.Path, home.folderText() + "missing/");
        QCOMPARE(f.rules.AutoLoadSettings.OutPath, home.file("out").string() + "/");
        QCOMPARE(f.saves, 1);
    }

    // The rows keep together when the frame grows; a long text is shortened on screen, kept
    // whole in text(), and shown whole as the tooltip.
    void statusFrameRowsStayTogetherAndLongTextsElide() {
        StatusFrame frame(0);
        frame.resize(420, frame.sizeHint().height());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const auto gap = [&] {
            return frame.CallLettersTo()->geometry().top() -
                   frame.RecordNumber()->geometry().bottom();
        };
        const int natural = gap();
        frame.resize(420, 700);
        QTRY_COMPARE(frame.height(), 700);
        QCOMPARE(gap(), natural);

        const QString description =
            QStringLiteral("THE VERY LONG EVENING NEWS ") + QString(80, u'X');
        frame.Description()->setText(description);
        frame.CO()->setText(QStringLiteral(" 7"));
        const QString path =
            QStringLiteral("/srv/schedules/") + QString(120, u'd') + QStringLiteral("/WEEK1.CSV");
        frame.File()->setText(path);
        auto* shortened = static_cast<ElidedLabel*>(frame.Description());
        auto* file = static_cast<ElidedLabel*>(frame.File());
        QVERIFY(shortened->IsElided());
        QCOMPARE(shortened->text(), description);
        QVERIFY(shortened->ShownText().startsWith(QStringLiteral("THE VERY")));
        QVERIFY(!static_cast<ElidedLabel*>(frame.CO())->IsElided());
        QVERIFY(file->ShownText().endsWith(QStringLiteral("WEEK1.CSV")));
        QVERIFY(file->ShownText().startsWith(QStringLiteral("/srv")));
        QCOMPARE(frame.width(), 420);  // the text did not widen the frame

        QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), shortened->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(shortened, &tip);
        QTRY_COMPARE(QToolTip::text(), description);
    }

    void helpWindowShowsTheGuide() {
        QPointer<HelpWindow> help = new HelpWindow;
        help->show();
        // Escape is the window's shortcut: it works once the window is the active one.
        QVERIFY(QTest::qWaitForWindowActive(help));
        const QString text = help->Browser()->toPlainText();
        for (const char* part :
             {"The rules and the order they apply in", "Delete Events", "Change Time",
              "The watch folder", "SK.ini", "SKCONV.INI", "FileList.txt", "job log", "Browse..."}) {
            QVERIFY2(text.contains(QLatin1String(part)), part);
        }
        QVERIFY(!text.contains(QStringLiteral("## ")));  // shown as a document, not as source
        QTest::keyClick(help->Browser(), Qt::Key_Escape);
        QTRY_VERIFY(help.isNull());
    }

  private:
    static QString PathTextFromTemp(const TempDir& dir) {
        return QString::fromStdString(dir.path().string());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
