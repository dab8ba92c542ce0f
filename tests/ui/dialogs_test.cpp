#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScopeGuard>
#include <QToolTip>
#include <filesystem>
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
    rules.DeleteCallLetterRules[1] = {"WABC-HD", "9999"};
    for (ChangeTimeRule& rule : rules.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    rules.AutoLoadSettings.OutPath = "/srv/out";
    return rules;
}

struct Fixture {
    Fixture() {
        other.resize(500, 400);
        other.show();
        Activate(other);
    }

    template <typename Dialog, typename... More>
    QPointer<SettingsDialog> Open(More&&... more) {
        QPointer<SettingsDialog> dialog = new Dialog(
            rules, [this] { return ++saves, MaybeError(); }, &other, std::forward<More>(more)...);
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
    void accessKeysClipboardKeysAndTheTimeMask() {
        Fixture f;
        QPointer<SettingsDialog> dialog = f.Open<DeleteEventsDialog>();
        QLineEdit* box = Child(*dialog, "txtCL_1");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(Child<QCheckBox>(*dialog, "chkSD")->isChecked());
        QCOMPARE(box->text(), QStringLiteral("WABC-HD"));  // the access key typed nothing
        QTest::keyClick(box, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(f.saves, 1);
        QVERIFY(f.rules.DeleteAllFlags.AllSD);
        dialog = f.Open<AutoLoadDialog>();
        QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);  // the output group's title
        QCOMPARE(QApplication::focusWidget(), Child(*dialog, "txtOutPath"));

        QClipboard& clipboard = *QApplication::clipboard();
        dialog = f.Open<ChangeCODialog>();
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

        dialog = f.Open<ChangeTimeDialog>();
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
        TempDir home;
        WriteFile(home.file("notes.txt"), "x");
        fs::create_directory(home.file("out"));
        fs::create_directory(home.file("read-only"));
        fs::permissions(home.file("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
        fs::create_directory(home.file("write-only"));
        fs::permissions(home.file("write-only"), fs::perms::owner_write | fs::perms::owner_exec);
        const auto restore =
            qScopeGuard([&] { fs::permissions(home.file("write-only"), fs::perms::owner_all); });
        Fixture f;
        f.rules.AutoLoadSettings.Path = home.folderText();
        QStringList asked;
        std::optional<QString> answer =
            QDir(QString::fromStdString(home.path().string())).filePath(QStringLiteral("out"));
        QPointer<SettingsDialog> dialog =
            f.Open<AutoLoadDialog>([&](QWidget*, const QString& caption, const QString& start) {
                asked << caption + QLatin1Char('@') + start;
                return answer;
            });
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
        const struct {
            std::string folder;
            const char* problem;  // empty: none
        } cases[] = {
            {" " + home.path().string() + "/. ", ""},
            {home.file("notes.txt").string(), "not a folder"},
            {home.file("read-only").string(), root ? "" : "not write"},
            {home.file("write-only").string(), root ? "" : "not read"},
            {home.file("gone").string(), "does not exist"},
            {"   ", "No folder"},  // stored as no folder, not as the root
        };
        for (const auto& c : cases) {
            Child(*dialog, "txtPath")->setText(QString::fromStdString(c.folder));
            const QString shown = Child<QLabel>(*dialog, "warnPathText")->text();
            QVERIFY2(pathWarning->isHidden() == (*c.problem == '\0'), qPrintable(shown));
            QVERIFY2(shown.contains(QLatin1String(c.problem)), qPrintable(shown));
        }
        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(f.rules.AutoLoadSettings.Path, std::string());
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
