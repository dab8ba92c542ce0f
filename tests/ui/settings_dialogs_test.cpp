// What every settings dialog does alike: how it closes, with and without storing, and what a
// failed save does.

#include <QPushButton>

#include "ui/auto_load_dialog.h"
#include "ui/change_call_letters_dialog.h"
#include "ui/change_co_dialog.h"
#include "ui/change_time_dialog.h"
#include "ui/delete_events_dialog.h"
#include "ui/dialog_test_support.h"

using namespace skedora;
using namespace skedora::test;

namespace {
struct DialogKind {
    const char* form;
    const char* caption;
    const char* editedBox;
    const char* apply;
    const char* applyCaption;
    const char* cancel;
    SettingsDialog* (*open)(RuleSet&, SaveRules);
};

template <typename Dialog>
SettingsDialog* Open(RuleSet& rules, SaveRules save) {
    return new Dialog(rules, std::move(save));
}

const DialogKind kDialogs[] = {
    {"frmDelete", "Delete Event Settings", "txtCL_1", "cmdOK", "Apply and Save", "cmdCANCEL",
     Open<DeleteEventsDialog>},
    {"frmCall", "Change Call Letter Settings", "txtCL_1", "cmdOK", "Apply and Save", "cmdCANCEL",
     Open<ChangeCallLettersDialog>},
    {"frmCO", "Change CO# Settings", "txtCL_1", "cmdOK", "Apply and Save", "cmdCANCEL",
     Open<ChangeCODialog>},
    {"frmSetChangeTime", "Change Time", "txtSrc_1", "cmdOK", "Apply and Save", "cmdCANCEL",
     Open<ChangeTimeDialog>},
    {"frmSetAutoLoad", "Skedora Auto Load Settings", "txtPath", "cmdOk", "Apply And Save",
     "cmdCancel", Open<AutoLoadDialog>},
};

enum class Closing { Cancel, CloseBox, Escape, AnotherWindowActive };
}  // namespace

Q_DECLARE_METATYPE(Closing)

class SettingsDialogsTest : public QObject {
    Q_OBJECT

  private:
    RuleSet m_rules;
    SaveSpy m_save;
    QPointer<SettingsDialog> m_dialog;

    SettingsDialog& open(int kind) {
        m_dialog = kDialogs[kind].open(m_rules, m_save.function());
        return *m_dialog;
    }

    void addDialogColumn() {
        QTest::addColumn<int>("kind");
        for (int kind = 0; kind < static_cast<int>(std::size(kDialogs)); ++kind) {
            QTest::newRow(kDialogs[kind].form) << kind;
        }
    }

    // Types a character into the dialog's first box, so that there is an edit to lose or keep.
    void edit(int kind) {
        QLineEdit* box = Child<QLineEdit>(*m_dialog, kDialogs[kind].editedBox);
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("7"));
        QCOMPARE(box->text(), QStringLiteral("7"));
    }

  private slots:
    void init() {
        m_rules = RuleSet{};
        m_rules.ChangeTimeRules[1].Time = "00:00:00";
        m_save = SaveSpy{};
    }

    void cleanup() { delete m_dialog; }

    void isAModelessWindowDestroyedOnClose_data() { addDialogColumn(); }
    void isAModelessWindowDestroyedOnClose() {
        QFETCH(int, kind);
        SettingsDialog& dialog = open(kind);
        QCOMPARE(dialog.objectName(), QLatin1String(kDialogs[kind].form));
        QCOMPARE(dialog.windowTitle(), QLatin1String(kDialogs[kind].caption));
        QVERIFY(!dialog.isModal());
        QVERIFY(dialog.testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(Child<QPushButton>(dialog, kDialogs[kind].apply)->text(),
                 QLatin1String(kDialogs[kind].applyCaption));
        QCOMPARE(Child<QPushButton>(dialog, kDialogs[kind].cancel)->text(),
                 QStringLiteral("Cancel"));
    }

    void closingWithoutApplyStoresNothing_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Closing>("closing");
        for (int kind = 0; kind < static_cast<int>(std::size(kDialogs)); ++kind) {
            const QByteArray form(kDialogs[kind].form);
            QTest::newRow(form + " Cancel") << kind << Closing::Cancel;
            QTest::newRow(form + " close box") << kind << Closing::CloseBox;
            QTest::newRow(form + " Escape") << kind << Closing::Escape;
            QTest::newRow(form + " main window clicked") << kind << Closing::AnotherWindowActive;
        }
    }

    void closingWithoutApplyStoresNothing() {
        QFETCH(int, kind);
        QFETCH(Closing, closing);
        const RuleSet before = m_rules;
        QWidget mainWindow;
        QVERIFY(ShowActive(mainWindow));
        SettingsDialog& dialog = open(kind);
        QVERIFY(ShowActive(dialog));
        edit(kind);
        switch (closing) {
            case Closing::Cancel:
                QTest::mouseClick(Child<QPushButton>(dialog, kDialogs[kind].cancel),
                                  Qt::LeftButton);
                break;
            case Closing::CloseBox:
                dialog.close();
                break;
            case Closing::Escape:
                QTest::keyClick(Child<QLineEdit>(dialog, kDialogs[kind].editedBox), Qt::Key_Escape);
                break;
            case Closing::AnotherWindowActive:
                mainWindow.activateWindow();
                break;
        }
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(m_save.calls, 0);
        QVERIFY(m_rules == before);
    }

    void applyStoresSavesAndCloses_data() { addDialogColumn(); }
    void applyStoresSavesAndCloses() {
        QFETCH(int, kind);
        const RuleSet before = m_rules;
        SettingsDialog& dialog = open(kind);
        QVERIFY(ShowActive(dialog));
        edit(kind);
        QTest::mouseClick(Child<QPushButton>(dialog, kDialogs[kind].apply), Qt::LeftButton);
        QCOMPARE(m_save.calls, 1);
        QVERIFY(m_rules != before);
        QTRY_VERIFY(m_dialog.isNull());
    }

    void applyingUntouchedChangesNothing_data() { addDialogColumn(); }
    void applyingUntouchedChangesNothing() {
        QFETCH(int, kind);
        m_rules.DeleteSourceDestinationRules[30] = {"KEEP", "ME"};
        m_rules.ChangeCallLetterRules[24] = {"KABC", "12", "KXYZ"};
        m_rules.ChangeCOFromDescriptionRules[3] = {"evening news", "a1", "b2"};
        const RuleSet before = m_rules;
        SettingsDialog& dialog = open(kind);
        QTest::mouseClick(Child<QPushButton>(dialog, kDialogs[kind].apply), Qt::LeftButton);
        QCOMPARE(m_save.calls, 1);
        QVERIFY(m_rules == before);
    }

    void failedSaveReportsAndStaysOpenWithTheEdits_data() { addDialogColumn(); }
    void failedSaveReportsAndStaysOpenWithTheEdits() {
        QFETCH(int, kind);
        m_save.result = SaveFailure();
        SettingsDialog& dialog = open(kind);
        QVERIFY(ShowActive(dialog));
        edit(kind);
        AnsweredBox answer;
        AnswerNextMessageBox(answer);
        QTest::mouseClick(Child<QPushButton>(dialog, kDialogs[kind].apply), Qt::LeftButton);
        QVERIFY(answer.seen);
        QCOMPARE(answer.title, QStringLiteral("Error."));
        QCOMPARE(answer.icon, QMessageBox::Critical);
        QVERIFY2(answer.text.contains(QStringLiteral("not saved to SK.ini")),
                 qPrintable(answer.text));
        QVERIFY(answer.text.contains(QStringLiteral("/srv/skedora/SK.ini: Read-only file system")));
        QTest::qWait(50);
        QVERIFY(!m_dialog.isNull());
        QVERIFY(dialog.isVisible());
        QCOMPARE(Child<QLineEdit>(dialog, kDialogs[kind].editedBox)->text(), QStringLiteral("7"));
        QCOMPARE(m_save.calls, 1);

        m_save.result.reset();  // the folder is writable again: a second try closes
        QTest::mouseClick(Child<QPushButton>(dialog, kDialogs[kind].apply), Qt::LeftButton);
        QCOMPARE(m_save.calls, 2);
        QTRY_VERIFY(m_dialog.isNull());
    }

    void goingToAnotherProgramKeepsItOpenUntilTheProgramIsBack() {
        QWidget mainWindow;
        QVERIFY(ShowActive(mainWindow));
        SettingsDialog& dialog = open(0);
        QVERIFY(ShowActive(dialog));
        QApplication::setActiveWindow(nullptr);
        QTest::qWait(50);
        QVERIFY(!dialog.isActiveWindow());
        QVERIFY(!m_dialog.isNull());
        QVERIFY(dialog.isVisible());
        mainWindow.activateWindow();
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(m_save.calls, 0);
    }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
