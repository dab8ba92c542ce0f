#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QToolTip>
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
#include "ui/status_frame.h"
#include "ui_test_support.h"

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;

namespace {

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

struct Fixture {
    Fixture() {
        other.resize(500, 400);
        other.show();
        Activate(other);
    }

    QPointer<SettingsDialog> Open(const MakeDialog& make) {
        QPointer<SettingsDialog> dialog = make(
            rules, [this] { return ++saves, MaybeError(); }, &other);
        dialog->show();
        Activate(*dialog);
        return dialog;
    }

    QMainWindow other;
    RuleSet rules = HeldRules();
    int saves = 0;
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void heldRulesAreNoEdit() {
        for (const MakeDialog& make :
             {Make<DeleteEventsDialog>(), Make<ChangeCallLettersDialog>(), Make<ChangeCODialog>(),
              Make<ChangeTimeDialog>(), Make<AutoLoadDialog>()}) {
            Fixture f;
            QPointer<SettingsDialog> dialog = f.Open(make);
            QVERIFY(!dialog->HasUnsavedEdits());
            QTest::mouseClick(&f.other, Qt::LeftButton);
            Activate(f.other);
            QTRY_VERIFY(dialog.isNull());
            QVERIFY(f.rules == HeldRules());
            QCOMPARE(f.saves, 0);
        }
    }

    void closingAsksOnlyWithEdits() {
        const int save = QMessageBox::Save, discard = QMessageBox::Discard;
        const struct {
            bool edited, escape;
            int answer;
            bool closes, stored;
        } cases[] = {{false, false, 0, true, false},
                     {true, false, save, true, true},
                     {true, false, discard, true, false},
                     {true, true, QMessageBox::Cancel, false, false}};
        for (const auto& c : cases) {
            Fixture f;
            QPointer<SettingsDialog> dialog = f.Open(Make<ChangeCallLettersDialog>());
            QLineEdit* box = Child(*dialog, "txtCL_3");
            box->setFocus();
            if (c.edited) {
                QTest::keyClicks(box, QStringLiteral("wxyz"));
            }
            {
                MessageBoxAnswerer boxes({static_cast<QMessageBox::StandardButton>(c.answer)});
                if (c.escape) {
                    QTest::keyClick(box, Qt::Key_Escape);
                } else {
                    dialog->close();
                }
                QCOMPARE(boxes.texts, c.edited
                                          ? QStringList{QStringLiteral(
                                                "Save changes to Change Call Letter Settings?")}
                                          : QStringList{});
            }
            QTest::qWait(20);
            QCOMPARE(dialog.isNull(), c.closes);
            QCOMPARE(f.rules.ChangeCallLetterRules[3].OldCallLetter == "WXYZ", c.stored);
            QCOMPARE(f.saves, c.answer == save ? 1 : 0);
            if (!c.closes) {
                QCOMPARE(box->text(), QStringLiteral("WXYZ"));
            }
        }
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
    }

    void folderProblems() {
        TempDir home;
        WriteFile(home.file("notes.txt"), "x");
        fs::create_directory(home.file("read-only"));
        fs::permissions(home.file("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
        fs::create_directory(home.file("write-only"));
        fs::permissions(home.file("write-only"), fs::perms::owner_write | fs::perms::owner_exec);
        const bool root = ::geteuid() == 0;  // may read and write every folder
        const struct {
            std::string folder;
            const char* problem;  // empty: none
        } cases[] = {
            {" " + home.path().string() + "/. ", ""},
            {"", "No folder"},
            {home.file("gone").string(), "does not exist"},
            {home.file("notes.txt").string(), "not a folder"},
            {home.file("read-only").string(), root ? "" : "not write"},
            {home.file("write-only").string(), root ? "" : "not read"},
        };
        for (const auto& c : cases) {
            const QString found = FolderProblem(c.folder).value_or(QString());
            QVERIFY2(found.isEmpty() == (*c.problem == '\0'), qPrintable(found));
            QVERIFY2(found.contains(QLatin1String(c.problem)), qPrintable(found));
        }
        fs::permissions(home.file("write-only"), fs::perms::owner_all);
    }

    void autoLoadBrowsesAndFlagsFolders() {
        TempDir home;
        Fixture f;
        f.rules.AutoLoadSettings.Path = home.folderText();
        QStringList asked;
        std::optional<QString> answer =
            QDir(QString::fromStdString(home.path().string())).filePath(QStringLiteral("out"));
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

    void statusFrameLongTextsElide() {
        StatusFrame frame(0);
        frame.resize(420, frame.sizeHint().height());
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QString description =
            QStringLiteral("THE VERY LONG EVENING NEWS ") + QString(80, u'X');
        frame.Description()->setText(description);
        frame.File()->setText(QStringLiteral("/srv/") + QString(120, u'd') +
                              QStringLiteral("/WEEK1.CSV"));
        auto* shortened = static_cast<ElidedLabel*>(frame.Description());
        auto* file = static_cast<ElidedLabel*>(frame.File());
        QVERIFY(shortened->IsElided());
        QCOMPARE(shortened->text(), description);
        QVERIFY(shortened->ShownText().startsWith(QStringLiteral("THE VERY")));
        QVERIFY(file->ShownText().startsWith(QStringLiteral("/srv")) &&
                file->ShownText().endsWith(QStringLiteral("WEEK1.CSV")));
        QCOMPARE(frame.width(), 420);

        QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), shortened->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(shortened, &tip);
        QTRY_COMPARE(QToolTip::text(), description);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
