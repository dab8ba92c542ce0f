#include "ui/change_co_dialog.h"

#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "ui/dialog_test_support.h"

using namespace skedora;
using namespace skedora::test;

class ChangeCODialogTest : public QObject {
    Q_OBJECT

  private:
    RuleSet m_rules;
    SaveSpy m_save;
    QPointer<ChangeCODialog> m_dialog;

    ChangeCODialog& open() {
        m_dialog = new ChangeCODialog(m_rules, m_save.function());
        return *m_dialog;
    }

  private slots:
    void init() {
        m_rules = RuleSet{};
        m_save = SaveSpy{};
    }

    void cleanup() { delete m_dialog; }

    void pagesFramesHeadingsAndTooltip() {
        ChangeCODialog& dialog = open();
        for (const char* name : {"SSTab1", "SSTab2"}) {
            auto* tabs = Child<QTabWidget>(dialog, name);
            QCOMPARE(tabs->count(), 3);
            QCOMPARE(tabs->tabText(2), QStringLiteral("17-24"));
            QCOMPARE(tabs->widget(0)->findChild<QGroupBox*>()->title(),
                     QStringLiteral("Change CO Numbers"));
        }
        QStringList headings;
        for (const QLabel* label :
             Child<QTabWidget>(dialog, "SSTab2")->widget(0)->findChildren<QLabel*>()) {
            headings << label->text();
        }
        QVERIFY(headings.contains(QStringLiteral("Program Description")));
        QVERIFY(headings.contains(QStringLiteral("New C.O.#")));
        QCOMPARE(Child(dialog, "txtCL", 13)->toolTip(),
                 QStringLiteral("Enter the call letters or enter \"ALL\" for all call letters."));
        QVERIFY(Child(dialog, "txtDesNewCo", 24) != nullptr);
    }

    void opensWithBothListsAsHeld() {
        m_rules.ChangeCOFromCallLetterRules[1] = {"ALL", "12", "34"};
        m_rules.ChangeCOFromDescriptionRules[24] = {" evening news ", "a1", "b2"};
        ChangeCODialog& dialog = open();
        QCOMPARE(Child(dialog, "txtCL", 1)->text(), QStringLiteral("ALL"));
        QCOMPARE(Child(dialog, "txtCO", 1)->text(), QStringLiteral("12"));
        QCOMPARE(Child(dialog, "txtNEWCO", 1)->text(), QStringLiteral("34"));
        QCOMPARE(Child(dialog, "txtDes", 24)->text(), QStringLiteral(" evening news "));
        QCOMPARE(Child(dialog, "txtDesCo", 24)->text(), QStringLiteral("a1"));
        QCOMPARE(Child(dialog, "txtDesNewCo", 24)->text(), QStringLiteral("b2"));
    }

    void applyStoresBothListsTrimmed() {
        ChangeCODialog& dialog = open();
        QTest::keyClicks(Child(dialog, "txtCL", 4), QStringLiteral("all"));
        QTest::keyClicks(Child(dialog, "txtCO", 4), QStringLiteral("12"));
        QTest::keyClicks(Child(dialog, "txtNEWCO", 4), QStringLiteral("99"));
        QTest::keyClicks(Child(dialog, "txtDes", 17), QStringLiteral("  Late Movie, part 2 "));
        QTest::keyClicks(Child(dialog, "txtDesCo", 17), QStringLiteral("c-3"));
        QTest::keyClicks(Child(dialog, "txtDesNewCo", 17), QStringLiteral("x"));
        QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(m_save.calls, 1);
        QCOMPARE(m_rules.ChangeCOFromCallLetterRules[4],
                 (ChangeCOFromCallLetterRule{"ALL", "12", "99"}));
        QCOMPARE(m_rules.ChangeCOFromDescriptionRules[17],
                 (ChangeCOFromDescriptionRule{"Late Movie, part 2", "c-3", "x"}));
    }

    void keyFiltersAndLimits() {
        ChangeCODialog& dialog = open();
        QCOMPARE(Typed(*Child(dialog, "txtCL", 2), {}, QStringLiteral("k a.b,c")),
                 QStringLiteral("KABC"));
        for (const char* stem : {"txtCO", "txtNEWCO"}) {
            QLineEdit& box = *Child(dialog, stem, 2);
            QCOMPARE(Typed(box, {}, QStringLiteral("a1b2 3")), QStringLiteral("123"));
            QCOMPARE(Typed(box, {}, QStringLiteral("123456789")), QStringLiteral("12345678"));
        }
        for (const char* stem : {"txtCL", "txtCO", "txtNEWCO"}) {
            QVERIFY(ClipboardKeysSwallowed(*Child(dialog, stem, 2)));
        }

        QLineEdit& description = *Child(dialog, "txtDes", 2);
        QCOMPARE(Typed(description, {}, QStringLiteral("abcdefghijklmnopqrstuvwxyz!")),
                 QStringLiteral("abcdefghijklmnopqrstuvwxy"));
        QCOMPARE(Typed(*Child(dialog, "txtDesCo", 2), {}, QStringLiteral("co 12-x ok")),
                 QStringLiteral("co 12-x "));
    }

    void clipboardKeysWorkInTheDescriptionBoxes() {
        ChangeCODialog& dialog = open();
        for (const char* stem : {"txtDes", "txtDesCo", "txtDesNewCo"}) {
            QLineEdit& box = *Child(dialog, stem, 6);
            box.setText(QStringLiteral("news"));
            box.selectAll();
            QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(box.text(), QString());
            QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("news"));
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box.text(), QStringLiteral("newsnews"));
        }
    }
};

QTEST_MAIN(ChangeCODialogTest)
#include "change_co_dialog_test.moc"
