#include "ui/delete_events_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QTabWidget>

#include "ui/dialog_test_support.h"

Q_DECLARE_METATYPE(skedora::DeleteAllFlagsGroup)

using namespace skedora;
using namespace skedora::test;

namespace {
const char* const kSwitches[] = {"chkHD", "chkSD", "chkDigital", "chkNonDigital"};

QStringList CheckedSwitches(QWidget& dialog) {
    QStringList checked;
    for (const char* name : kSwitches) {
        if (Child<QCheckBox>(dialog, name)->isChecked()) {
            checked << QLatin1String(name);
        }
    }
    return checked;
}
}  // namespace

class DeleteEventsDialogTest : public QObject {
    Q_OBJECT

  private:
    RuleSet m_rules;
    SaveSpy m_save;
    QPointer<DeleteEventsDialog> m_dialog;

    DeleteEventsDialog& open() {
        m_dialog = new DeleteEventsDialog(m_rules, m_save.function());
        return *m_dialog;
    }

    void apply() { QTest::mouseClick(Child<QPushButton>(*m_dialog, "cmdOK"), Qt::LeftButton); }

  private slots:
    void init() {
        m_rules = RuleSet{};
        m_save = SaveSpy{};
    }

    void cleanup() { delete m_dialog; }

    void controlsAreNamedAndCaptioned() {
        DeleteEventsDialog& dialog = open();
        auto* tabs = Child<QTabWidget>(dialog, "SSTab1");
        QCOMPARE(tabs->count(), 8);
        QCOMPARE(tabs->tabText(0), QStringLiteral("1-8"));
        QCOMPARE(tabs->tabText(7), QStringLiteral("57-64"));
        auto* page8 = tabs->widget(7);
        QCOMPARE(page8->findChild<QGroupBox*>()->title(),
                 QStringLiteral("Delete Events That Match Criteria Below"));
        QVERIFY(page8->findChild<QLineEdit*>(QStringLiteral("txtCL_64")) != nullptr);

        auto* sources = Child<QTabWidget>(dialog, "SSTab2");
        QCOMPARE(sources->count(), 3);
        QCOMPARE(sources->tabText(2), QStringLiteral("17-24"));
        QCOMPARE(sources->widget(1)->findChild<QGroupBox*>()->title(),
                 QStringLiteral("Delete Events That Match Criteria Below (Use Call Letters)"));
        QCOMPARE(sources->widget(2)->findChild<QGroupBox*>()->title(),
                 QStringLiteral("Delete Events That Match Criteria Below"));
        QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("txtSRC_25")) == nullptr);

        QCOMPARE(Child(dialog, "txtCO", 17)->toolTip(),
                 QStringLiteral("Enter the CO# or enter 9999 for all CO#s."));
        QCOMPARE(Child(dialog, "txtSRC", 3)->toolTip(),
                 QStringLiteral("Enter the source call letters or enter \"ALL\" for all sources."));
        QCOMPARE(Child(dialog, "txtDES", 24)->toolTip(),
                 QStringLiteral(
                     "Enter the destination call letters or enter \"ALL\" for all destinations."));
        QCOMPARE(Child<QGroupBox>(dialog, "frameDelete")->title(),
                 QStringLiteral("Other Delete Options"));
        auto* hd = Child<QCheckBox>(dialog, "chkHD");
        QCOMPARE(hd->text(), QStringLiteral("Delete All HD"));
        QCOMPARE(hd->toolTip(),
                 QStringLiteral("Delete all events with call letters ending with -HD."));
        QCOMPARE(Child<QCheckBox>(dialog, "chkNonDigital")->text(),
                 QStringLiteral("Delete All Non-Digital"));
    }

    void opensWithTheRulesAsHeld() {
        m_rules.DeleteCallLetterRules[1] = {" KABC ", "9999"};
        m_rules.DeleteCallLetterRules[64] = {"WXYZ-HD", "12"};
        m_rules.DeleteCallLetterRules[9].CallLetter = "ABCDEFGHIJKLMNOPQ";  // longer than typed
        m_rules.DeleteSourceDestinationRules[24] = {"ALL", "KQED"};
        m_rules.DeleteAllFlags.AllSD = true;
        DeleteEventsDialog& dialog = open();
        QCOMPARE(Child(dialog, "txtCL", 1)->text(), QStringLiteral(" KABC "));
        QCOMPARE(Child(dialog, "txtCO", 1)->text(), QStringLiteral("9999"));
        QCOMPARE(Child(dialog, "txtCL", 64)->text(), QStringLiteral("WXYZ-HD"));
        QCOMPARE(Child(dialog, "txtCO", 64)->text(), QStringLiteral("12"));
        QCOMPARE(Child(dialog, "txtCL", 9)->text(), QStringLiteral("ABCDEFGHIJKLMNOPQ"));
        QCOMPARE(Child(dialog, "txtSRC", 24)->text(), QStringLiteral("ALL"));
        QCOMPARE(Child(dialog, "txtDES", 24)->text(), QStringLiteral("KQED"));
        QCOMPARE(CheckedSwitches(dialog), QStringList{QStringLiteral("chkSD")});
    }

    void applyStoresTrimmedTextsAndSaves() {
        m_rules.DeleteSourceDestinationRules[30] = {"KEEP", "ME"};
        m_rules.DeleteCallLetterRules[9].CallLetter = "ABCDEFGHIJKLMNOPQ";
        m_rules.DeleteCallLetterRules[2] = {"  KABC  ", " 7 "};
        DeleteEventsDialog& dialog = open();
        QTest::keyClicks(Child(dialog, "txtCL", 1), QStringLiteral("wabc-hd"));
        QTest::keyClicks(Child(dialog, "txtCO", 1), QStringLiteral("9999"));
        QTest::keyClicks(Child(dialog, "txtSRC", 5), QStringLiteral("all"));
        QTest::keyClicks(Child(dialog, "txtDES", 5), QStringLiteral("kqed"));
        QTest::mouseClick(Child<QCheckBox>(dialog, "chkNonDigital"), Qt::LeftButton);
        apply();

        QCOMPARE(m_save.calls, 1);
        QCOMPARE(m_rules.DeleteCallLetterRules[1], (DeleteCallLetterRule{"WABC-HD", "9999"}));
        QCOMPARE(m_rules.DeleteCallLetterRules[2], (DeleteCallLetterRule{"KABC", "7"}));
        QCOMPARE(m_rules.DeleteCallLetterRules[9].CallLetter, "ABCDEFGHIJKLMNOPQ");
        QCOMPARE(m_rules.DeleteSourceDestinationRules[5],
                 (DeleteSourceDestinationRule{"ALL", "KQED"}));
        QCOMPARE(m_rules.DeleteSourceDestinationRules[30],
                 (DeleteSourceDestinationRule{"KEEP", "ME"}));
        QCOMPARE(m_rules.DeleteAllFlags, (DeleteAllFlagsGroup{false, false, false, true}));
        QTRY_VERIFY(m_dialog.isNull());
    }

    void onlyTheLastSetFlagIsCheckedOnOpening_data() {
        QTest::addColumn<DeleteAllFlagsGroup>("flags");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<DeleteAllFlagsGroup>("stored");
        QTest::newRow("HD and Digital")
            << DeleteAllFlagsGroup{true, false, true, false} << QStringLiteral("chkDigital")
            << DeleteAllFlagsGroup{false, false, true, false};
        QTest::newRow("all four") << DeleteAllFlagsGroup{true, true, true, true}
                                  << QStringLiteral("chkNonDigital")
                                  << DeleteAllFlagsGroup{false, false, false, true};
        QTest::newRow("HD and SD")
            << DeleteAllFlagsGroup{true, true, false, false} << QStringLiteral("chkSD")
            << DeleteAllFlagsGroup{false, true, false, false};
    }

    void onlyTheLastSetFlagIsCheckedOnOpening() {
        QFETCH(DeleteAllFlagsGroup, flags);
        QFETCH(QString, checked);
        QFETCH(DeleteAllFlagsGroup, stored);
        m_rules.DeleteAllFlags = flags;
        DeleteEventsDialog& dialog = open();
        QCOMPARE(CheckedSwitches(dialog), QStringList{checked});
        apply();
        QCOMPARE(m_rules.DeleteAllFlags, stored);
    }

    void checkingOneSwitchClearsTheOthers() {
        m_rules.DeleteAllFlags.AllHD = true;
        DeleteEventsDialog& dialog = open();
        auto* sd = Child<QCheckBox>(dialog, "chkSD");
        QTest::mouseClick(sd, Qt::LeftButton);
        QCOMPARE(CheckedSwitches(dialog), QStringList{QStringLiteral("chkSD")});
        QTest::mouseClick(sd, Qt::LeftButton);
        QCOMPARE(CheckedSwitches(dialog), QStringList{});
        Child<QCheckBox>(dialog, "chkDigital")->setChecked(true);
        Child<QCheckBox>(dialog, "chkHD")->setChecked(true);
        QCOMPARE(CheckedSwitches(dialog), QStringList{QStringLiteral("chkHD")});
    }

    void keyFilters() {
        DeleteEventsDialog& dialog = open();
        for (const char* stem : {"txtCL", "txtSRC", "txtDES"}) {
            QLineEdit& box = *Child(dialog, stem, 3);
            QCOMPARE(Typed(box, {}, QStringLiteral("wabc-1")), QStringLiteral("WABC-1"));
            QCOMPARE(Typed(box, QStringLiteral("AB"), QStringLiteral(" .,_/")),
                     QStringLiteral("AB"));
            QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_Eacute, QStringLiteral(u"\u00e9"),
                                Qt::NoModifier);
            QCOMPARE(box.text(), QStringLiteral("AB"));
            QCOMPARE(Typed(box, {}, QStringLiteral("abcdefghijklmnop")),
                     QStringLiteral("ABCDEFGHIJKL"));
            QVERIFY(ClipboardKeysSwallowed(box));
            box.setText(QStringLiteral("KABC"));
            QTest::keyClick(&box, Qt::Key_Backspace);
            QCOMPARE(box.text(), QStringLiteral("KAB"));
        }
        QLineEdit& co = *Child(dialog, "txtCO", 3);
        QCOMPARE(Typed(co, {}, QStringLiteral("9x9-a9 9.")), QStringLiteral("9999"));
        QCOMPARE(Typed(co, {}, QStringLiteral("1234567890")), QStringLiteral("12345678"));
        QVERIFY(ClipboardKeysSwallowed(co));
    }
};

QTEST_MAIN(DeleteEventsDialogTest)
#include "delete_events_dialog_test.moc"
