#include "ui/auto_load_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include "ui/dialog_test_support.h"

using namespace skedora;
using namespace skedora::test;

class AutoLoadDialogTest : public QObject {
    Q_OBJECT

  private:
    RuleSet m_rules;
    SaveSpy m_save;
    QPointer<AutoLoadDialog> m_dialog;

    AutoLoadDialog& open() {
        m_dialog = new AutoLoadDialog(m_rules, m_save.function());
        return *m_dialog;
    }

    void applyAndWaitForClose() {
        QTest::mouseClick(Child<QPushButton>(*m_dialog, "cmdOk"), Qt::LeftButton);
        QTRY_VERIFY(m_dialog.isNull());
    }

    QLineEdit& path() { return *Child<QLineEdit>(*m_dialog, "txtPath"); }
    QLineEdit& outPath() { return *Child<QLineEdit>(*m_dialog, "txtOutPath"); }
    QCheckBox& check(const char* name) { return *Child<QCheckBox>(*m_dialog, name); }

  private slots:
    void init() {
        m_rules = RuleSet{};
        // As loading without a settings file leaves them.
        m_rules.AutoLoadSettings = {"/", "/", false, false, true, false};
        m_save = SaveSpy{};
    }

    void cleanup() { delete m_dialog; }

    void opensWithDefaults() {
        AutoLoadDialog& dialog = open();
        QCOMPARE(Child<QGroupBox>(dialog, "Frame1")->title(), QStringLiteral("Watch Folder Path"));
        QCOMPARE(Child<QGroupBox>(dialog, "Frame2")->title(), QStringLiteral("Output Folder Path"));
        QCOMPARE(check("chkDBF").text(), QStringLiteral("DBF Format"));
        QCOMPARE(check("chkCSV").text(), QStringLiteral("CSV Format"));
        QCOMPARE(check("chkDelete").text(),
                 QStringLiteral("Delete source file after being converted"));
        QCOMPARE(check("chkPrefix").text(), QStringLiteral("Prefix Date To Output File Name"));
        QCOMPARE(path().text(), QStringLiteral("/"));
        QCOMPARE(outPath().text(), QStringLiteral("/"));
        QVERIFY(check("chkDelete").isChecked());
        QVERIFY(!check("chkDBF").isChecked());
        QVERIFY(!check("chkCSV").isChecked());
        QVERIFY(!check("chkPrefix").isChecked());
    }

    void foldersAreTrimmedAndEndWithTheSeparator_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("separator appended")
            << QStringLiteral("/srv/incoming") << QByteArray("/srv/incoming/");
        QTest::newRow("blanks removed")
            << QStringLiteral("  /srv/incoming  ") << QByteArray("/srv/incoming/");
        QTest::newRow("separator kept once")
            << QStringLiteral(" /srv/incoming/ ") << QByteArray("/srv/incoming/");
        QTest::newRow("empty stays empty") << QString() << QByteArray();
        QTest::newRow("blanks only") << QStringLiteral("   ") << QByteArray();
        QTest::newRow("file-system names") << QStringLiteral(u"/srv/\u00dcbertragung")
                                           << QByteArray(
                                                  "/srv/\xC3\x9C"
                                                  "bertragung/");
    }

    void foldersAreTrimmedAndEndWithTheSeparator() {
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        open();
        path().setText(typed);
        outPath().setText(typed);
        applyAndWaitForClose();
        QCOMPARE(m_save.calls, 1);
        QCOMPARE(QByteArray::fromStdString(m_rules.AutoLoadSettings.Path), stored);
        QCOMPARE(QByteArray::fromStdString(m_rules.AutoLoadSettings.OutPath), stored);
    }

    void typedFolderIsShownWithItsSeparatorNextTime() {
        open();
        path().clear();
        QTest::keyClicks(&path(), QStringLiteral("/srv/incoming"));
        applyAndWaitForClose();
        open();
        QCOMPARE(path().text(), QStringLiteral("/srv/incoming/"));
    }

    void switchesAreStored() {
        open();
        QTest::mouseClick(&check("chkDBF"), Qt::LeftButton);
        QTest::mouseClick(&check("chkCSV"), Qt::LeftButton);
        QTest::mouseClick(&check("chkDelete"), Qt::LeftButton);
        QTest::mouseClick(&check("chkPrefix"), Qt::LeftButton);
        applyAndWaitForClose();
        QCOMPARE(m_rules.AutoLoadSettings,
                 (AutoLoadSettingsGroup{"/", "/", true, true, false, true}));

        open();
        QVERIFY(check("chkDBF").isChecked());
        QVERIFY(check("chkCSV").isChecked());
        QVERIFY(!check("chkDelete").isChecked());
        QVERIFY(check("chkPrefix").isChecked());
        QTest::mouseClick(&check("chkDBF"), Qt::LeftButton);
        QTest::mouseClick(&check("chkCSV"), Qt::LeftButton);
        applyAndWaitForClose();
        QVERIFY(!m_rules.AutoLoadSettings.DBF);
        QVERIFY(!m_rules.AutoLoadSettings.CSV);
    }

    void untouchedFoldersKeepTheirBytes() {
        // Names from an older settings file need not be UTF-8.
        m_rules.AutoLoadSettings.Path =
            "/srv/\xDC"
            "bertragung/";
        m_rules.AutoLoadSettings.OutPath = "/srv/out";
        open();
        applyAndWaitForClose();
        QCOMPARE(m_rules.AutoLoadSettings.Path,
                 "/srv/\xDC"
                 "bertragung/");
        QCOMPARE(m_rules.AutoLoadSettings.OutPath, "/srv/out/");
    }
};

QTEST_MAIN(AutoLoadDialogTest)
#include "auto_load_dialog_test.moc"
