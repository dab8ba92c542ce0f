#include "ui/change_call_letters_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

#include "ui/dialog_test_support.h"

using namespace skedora;
using namespace skedora::test;

class ChangeCallLettersDialogTest : public QObject {
    Q_OBJECT

  private:
    RuleSet m_rules;
    SaveSpy m_save;
    QPointer<ChangeCallLettersDialog> m_dialog;

    ChangeCallLettersDialog& open() {
        m_dialog = new ChangeCallLettersDialog(m_rules, m_save.function());
        return *m_dialog;
    }

  private slots:
    void init() {
        m_rules = RuleSet{};
        m_save = SaveSpy{};
    }

    void cleanup() { delete m_dialog; }

    void pagesFramesAndHeadings() {
        ChangeCallLettersDialog& dialog = open();
        auto* tabs = Child<QTabWidget>(dialog, "SSTab1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(1), QStringLiteral("9-16"));
        QWidget* page3 = tabs->widget(2);
        QCOMPARE(page3->findChild<QGroupBox*>()->title(), QStringLiteral("Change Call Letters"));
        QStringList labels;
        for (const QLabel* label : page3->findChildren<QLabel*>()) {
            labels << label->text();
        }
        QVERIFY(labels.contains(QStringLiteral("New Call Letters")));
        QVERIFY(labels.contains(QStringLiteral("C.O. #")));
        QCOMPARE(labels.count(QStringLiteral("=")), 8);
        QVERIFY(page3->findChild<QLineEdit*>(QStringLiteral("txtNEWCL_24")) != nullptr);
        QVERIFY(dialog.findChild<QLineEdit*>(QStringLiteral("txtCL_25")) == nullptr);
    }

    void opensWithTheRulesAsHeld() {
        m_rules.ChangeCallLetterRules[1] = {" KABC ", "12", "KXYZ"};
        m_rules.ChangeCallLetterRules[24] = {"WABC-HD", "", "W-NEW-CALL-LETTERS"};
        ChangeCallLettersDialog& dialog = open();
        QCOMPARE(Child(dialog, "txtCL", 1)->text(), QStringLiteral(" KABC "));
        QCOMPARE(Child(dialog, "txtCO", 1)->text(), QStringLiteral("12"));
        QCOMPARE(Child(dialog, "txtNEWCL", 1)->text(), QStringLiteral("KXYZ"));
        QCOMPARE(Child(dialog, "txtCL", 24)->text(), QStringLiteral("WABC-HD"));
        QCOMPARE(Child(dialog, "txtNEWCL", 24)->text(), QStringLiteral("W-NEW-CALL-LETTERS"));
    }

    void applyStoresEveryRowTrimmed() {
        m_rules.ChangeCallLetterRules[2] = {" KABC ", " 12 ", " KXYZ "};
        m_rules.ChangeCallLetterRules[24] = {"WABC-HD", "", "W-NEW-CALL-LETTERS"};
        ChangeCallLettersDialog& dialog = open();
        QTest::keyClicks(Child(dialog, "txtCL", 9), QStringLiteral("kqed"));
        QTest::keyClicks(Child(dialog, "txtNEWCL", 9), QStringLiteral("kqed-hd"));
        QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(m_save.calls, 1);
        QCOMPARE(m_rules.ChangeCallLetterRules[9], (ChangeCallLetterRule{"KQED", "", "KQED-HD"}));
        QCOMPARE(m_rules.ChangeCallLetterRules[2], (ChangeCallLetterRule{"KABC", "12", "KXYZ"}));
        QCOMPARE(m_rules.ChangeCallLetterRules[24],
                 (ChangeCallLetterRule{"WABC-HD", "", "W-NEW-CALL-LETTERS"}));
    }

    void keyFiltersAndLimits() {
        ChangeCallLettersDialog& dialog = open();
        QLineEdit& newCall = *Child(dialog, "txtNEWCL", 5);
        QCOMPARE(Typed(newCall, {}, QStringLiteral("wxyz-dt")), QStringLiteral("WXYZ-DT"));
        QCOMPARE(Typed(newCall, {}, QStringLiteral("abcdefghij")), QStringLiteral("ABCDEFGH"));
        QLineEdit& oldCall = *Child(dialog, "txtCL", 5);
        QCOMPARE(Typed(oldCall, {}, QStringLiteral("w,a b.c-1")), QStringLiteral("WABC-1"));
        QCOMPARE(Typed(oldCall, {}, QStringLiteral("abcdefghijklmn")),
                 QStringLiteral("ABCDEFGHIJKL"));
        QLineEdit& co = *Child(dialog, "txtCO", 5);
        QCOMPARE(Typed(co, {}, QStringLiteral("abc12-")), QStringLiteral("12"));
        QCOMPARE(Typed(co, {}, QStringLiteral("123456789")), QStringLiteral("12345678"));
        for (QLineEdit* box : {&newCall, &oldCall, &co}) {
            QVERIFY(ClipboardKeysSwallowed(*box));
        }
    }
};

QTEST_MAIN(ChangeCallLettersDialogTest)
#include "change_call_letters_dialog_test.moc"
