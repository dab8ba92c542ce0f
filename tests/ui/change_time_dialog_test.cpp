#include "ui/change_time_dialog.h"

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/dialog_test_support.h"

using namespace skedora;
using namespace skedora::test;

class ChangeTimeDialogTest : public QObject {
    Q_OBJECT

  private:
    RuleSet m_rules;
    SaveSpy m_save;
    QPointer<ChangeTimeDialog> m_dialog;

    ChangeTimeDialog& open() {
        m_dialog = new ChangeTimeDialog(m_rules, m_save.function());
        return *m_dialog;
    }

    // A time box of a shown, active dialog, with the focus, the caret at caret.
    QLineEdit& focusedTimeBox(int n, int caret) {
        if (m_dialog.isNull()) {
            open();
        }
        if (!m_dialog->isActiveWindow() && !ShowActive(*m_dialog)) {
            qFatal("the dialog did not become active");
        }
        QLineEdit& box = *Child(*m_dialog, "txtTime", n);
        box.setFocus();
        if (!QTest::qWaitFor([&box]() { return box.hasFocus(); })) {
            qFatal("the time box did not get the focus");
        }
        box.setCursorPosition(caret);
        return box;
    }

  private slots:
    void init() {
        m_rules = RuleSet{};
        for (ChangeTimeRule& rule : m_rules.ChangeTimeRules) {
            rule.Time = "00:00:00";  // as loading leaves them
        }
        m_save = SaveSpy{};
    }

    void cleanup() { delete m_dialog; }

    void opensWithDefaults() {
        ChangeTimeDialog& dialog = open();
        QVERIFY(Child<QGroupBox>(dialog, "Frame1")->title().isEmpty());
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(Child(dialog, "txtTime", n)->text(), QStringLiteral("00:00:00"));
            QCOMPARE(Child<QComboBox>(dialog, "cmbMath", n)->currentText(),
                     QStringLiteral("Add To Start"));
            for (const char* stem : {"txtSrc", "txtDes", "txtCO", "txtDescription"}) {
                QCOMPARE(Child(dialog, stem, n)->text(), QString());
            }
        }
        QComboBox& math = *Child<QComboBox>(dialog, "cmbMath", 8);
        QCOMPARE(math.count(), 4);
        QCOMPARE(math.itemText(1), QStringLiteral("Subtract From Start"));
        QCOMPARE(math.itemText(2), QStringLiteral("Add To End"));
        QCOMPARE(math.itemText(3), QStringLiteral("Subtract From End"));
        QVERIFY(!math.isEditable());
        QStringList labels;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            labels << label->text();
        }
        QVERIFY(labels.contains(QStringLiteral("Apply Math")));
        QVERIFY(labels.contains(QStringLiteral("Program Description")));
        QCOMPARE(labels.count(QStringLiteral("= ")), 8);
        QCOMPARE(labels.count(QStringLiteral("+")), 24);
    }

    void opensWithTheRulesAsHeld() {
        m_rules.ChangeTimeRules[2] = {" KABC ", "kxyz", " 12", "Late Movie ", 3, "01:30:00"};
        m_rules.ChangeTimeRules[3].Math = -1;
        m_rules.ChangeTimeRules[4].Math = 7;
        m_rules.ChangeTimeRules[5].Math = -2;
        ChangeTimeDialog& dialog = open();
        QCOMPARE(Child(dialog, "txtSrc", 2)->text(), QStringLiteral(" KABC "));
        QCOMPARE(Child(dialog, "txtDes", 2)->text(), QStringLiteral("kxyz"));
        QCOMPARE(Child(dialog, "txtCO", 2)->text(), QStringLiteral(" 12"));
        QCOMPARE(Child(dialog, "txtDescription", 2)->text(), QStringLiteral("Late Movie "));
        QCOMPARE(Child<QComboBox>(dialog, "cmbMath", 2)->currentText(),
                 QStringLiteral("Subtract From End"));
        QCOMPARE(Child(dialog, "txtTime", 2)->text(), QStringLiteral("01:30:00"));
        for (int n : {3, 4, 5}) {
            QCOMPARE(Child<QComboBox>(dialog, "cmbMath", n)->currentIndex(), -1);
        }
    }

    void applyStoresExactlyAsShown() {
        m_rules.ChangeTimeRules[1] = {" KABC ", "", "", "", 1, "00:00:00"};
        m_rules.ChangeTimeRules[6].Math = 9;  // not in the list: opens and stores as no choice
        ChangeTimeDialog& dialog = open();
        QTest::keyClicks(Child(dialog, "txtDes", 1), QStringLiteral(" wxyz "));
        QTest::keyClicks(Child(dialog, "txtCO", 1), QStringLiteral("12 "));
        QTest::keyClicks(Child(dialog, "txtDescription", 1), QStringLiteral("news, late"));
        Child<QComboBox>(dialog, "cmbMath", 1)->setCurrentIndex(2);
        Child<QComboBox>(dialog, "cmbMath", 2)->setCurrentIndex(-1);
        QLineEdit& time = focusedTimeBox(1, 0);
        QTest::keyClicks(&time, QStringLiteral("0130"));
        QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        QCOMPARE(m_save.calls, 1);
        QCOMPARE(m_rules.ChangeTimeRules[1],
                 (ChangeTimeRule{" KABC ", " wxyz ", "12 ", "news, late", 2, "01:30:00"}));
        QCOMPARE(m_rules.ChangeTimeRules[2].Math, -1);
        QCOMPARE(m_rules.ChangeTimeRules[6].Math, -1);
        QCOMPARE(m_rules.ChangeTimeRules[3], (ChangeTimeRule{"", "", "", "", 0, "00:00:00"}));
    }

    void theTimeMaskInARealBox() {
        QLineEdit& box = focusedTimeBox(3, 0);
        QTest::keyClicks(&box, QStringLiteral("123045"));
        QCOMPARE(box.text(), QStringLiteral("12:30:45"));
        QCOMPARE(box.cursorPosition(), 8);
        QTest::keyClick(&box, Qt::Key_7);
        QCOMPARE(box.text(), QStringLiteral("12:30:47"));

        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text(), QStringLiteral("12:30:40"));
        QCOMPARE(box.cursorPosition(), 7);

        box.setCursorPosition(3);
        QTest::keyClick(&box, Qt::Key_6);  // minutes above 59
        QCOMPARE(box.text(), QStringLiteral("12:30:40"));
        QCOMPARE(box.cursorPosition(), 3);

        box.setCursorPosition(0);
        QTest::keyClicks(&box, QStringLiteral("a :x"));
        QTest::keyClick(&box, Qt::Key_Delete);
        QTest::keyClick(&box, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(box.text(), QStringLiteral("12:30:40"));
        QCOMPARE(box.cursorPosition(), 0);

        box.selectAll();
        QTest::keyClick(&box, Qt::Key_2);
        QCOMPARE(box.text(), QStringLiteral("22:22:22"));
        QCOMPARE(box.cursorPosition(), 0);
        QVERIFY(!box.hasSelectedText());

        box.setSelection(0, 1);
        QTest::keyClick(&box, Qt::Key_5);  // refused: only drops the selection
        QCOMPARE(box.text(), QStringLiteral("22:22:22"));
        QVERIFY(!box.hasSelectedText());

        // The arrow keys still move the caret.
        box.setCursorPosition(8);
        QTest::keyClick(&box, Qt::Key_Left);
        QTest::keyClick(&box, Qt::Key_Left);
        QTest::keyClick(&box, Qt::Key_4);
        QCOMPARE(box.text(), QStringLiteral("22:22:42"));
        QCOMPARE(box.cursorPosition(), 7);
    }

    void pastesAndOtherChangesAreUndoneAtOnce() {
        m_rules.ChangeTimeRules[4].Time = "01:30:00";
        QLineEdit& box = focusedTimeBox(4, 0);
        QApplication::clipboard()->setText(QStringLiteral("23:59:59"));
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.text(), QStringLiteral("01:30:00"));
        QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(box.text(), QStringLiteral("01:30:00"));
        box.selectAll();
        box.paste();  // what the context menu's Paste does
        QCOMPARE(box.text(), QStringLiteral("01:30:00"));
        box.selectAll();
        box.cut();
        QCOMPARE(box.text(), QStringLiteral("01:30:00"));
        box.insert(QStringLiteral("9"));
        QCOMPARE(box.text(), QStringLiteral("01:30:00"));
        QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
        box.undo();
        QCOMPARE(box.text(), QStringLiteral("01:30:00"));

        // The next box keeps its own text once it has the focus.
        QLineEdit& next = focusedTimeBox(5, 0);
        QTest::keyClick(&next, Qt::Key_1);
        QCOMPARE(next.text(), QStringLiteral("10:00:00"));
        next.setText(QStringLiteral("xx"));
        QCOMPARE(next.text(), QStringLiteral("10:00:00"));
        QCOMPARE(box.text(), QStringLiteral("01:30:00"));
    }

    void tabOrderRunsRowByRow() {
        ChangeTimeDialog& dialog = open();
        QStringList order;
        QWidget* widget = Child(dialog, "txtSrc", 1);
        while (order.size() < 8) {
            if (widget->focusPolicy() & Qt::TabFocus) {
                order << widget->objectName();
            }
            widget = widget->nextInFocusChain();
        }
        QStringList expected;
        for (const char* name : {"txtSrc_1", "txtDes_1", "txtCO_1", "txtDescription_1", "cmbMath_1",
                                 "txtTime_1", "txtSrc_2", "txtDes_2"}) {
            expected << QLatin1String(name);
        }
        QCOMPARE(order, expected);
    }

    void lengthLimits() {
        ChangeTimeDialog& dialog = open();
        QCOMPARE(Typed(*Child(dialog, "txtSrc", 7), {}, QStringLiteral("abc def-ghi.jk")),
                 QStringLiteral("abc def-ghi."));
        QCOMPARE(Typed(*Child(dialog, "txtDes", 7), {}, QStringLiteral("12345678901234")),
                 QStringLiteral("123456789012"));
        QCOMPARE(Typed(*Child(dialog, "txtCO", 7), {}, QStringLiteral("co 1234567")),
                 QStringLiteral("co 12345"));
        QCOMPARE(Typed(*Child(dialog, "txtDescription", 7), {},
                       QStringLiteral("A long description, 30 chars")),
                 QStringLiteral("A long description, 30 ch"));
    }
};

QTEST_MAIN(ChangeTimeDialogTest)
#include "change_time_dialog_test.moc"
