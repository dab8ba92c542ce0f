// Renders every settings dialog, filled with sample rules, to a PNG file in the folder that
// SKEDORA_SCREENSHOTS names, so that their look can be checked by eye.

#include <QDir>

#include "ui/auto_load_dialog.h"
#include "ui/change_call_letters_dialog.h"
#include "ui/change_co_dialog.h"
#include "ui/change_time_dialog.h"
#include "ui/delete_events_dialog.h"
#include "ui/dialog_test_support.h"

using namespace skedora;
using namespace skedora::test;

namespace {
RuleSet SampleRules() {
    RuleSet rules;
    rules.DeleteCallLetterRules[1] = {"WABC-HD", "9999"};
    rules.DeleteCallLetterRules[2] = {"KQED", "12"};
    rules.DeleteSourceDestinationRules[1] = {"ALL", "WXYZ"};
    rules.DeleteAllFlags.AllSD = true;
    rules.ChangeCallLetterRules[1] = {"KABC", "12", "KABC-DT"};
    rules.ChangeCOFromCallLetterRules[1] = {"ALL", "12", "34"};
    rules.ChangeCOFromDescriptionRules[1] = {"Evening News", "7", "8"};
    for (ChangeTimeRule& rule : rules.ChangeTimeRules) {
        rule.Time = "00:00:00";
    }
    rules.ChangeTimeRules[1] = {"WABC", "KQED", "12", "Late Movie", 2, "00:30:00"};
    rules.AutoLoadSettings = {
        "/srv/skedora/incoming/", "/srv/skedora/out/", true, true, true, false};
    return rules;
}
}  // namespace

class DialogScreenshotsTest : public QObject {
    Q_OBJECT

  private:
    RuleSet m_rules = SampleRules();

    void render(SettingsDialog* dialog) {
        const QString folder = qEnvironmentVariable("SKEDORA_SCREENSHOTS");
        QPointer<SettingsDialog> guard(dialog);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        if (!folder.isEmpty()) {
            QVERIFY(QDir().mkpath(folder));
            const QString file =
                QDir(folder).filePath(dialog->objectName() + QStringLiteral(".png"));
            QVERIFY2(dialog->grab().save(file), qPrintable(file));
        }
        delete guard;
    }

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsEmpty("SKEDORA_SCREENSHOTS")) {
            qInfo("SKEDORA_SCREENSHOTS is not set: the dialogs are shown but not saved");
        }
    }

    void deleteEvents() { render(new DeleteEventsDialog(m_rules, {})); }
    void changeCallLetters() { render(new ChangeCallLettersDialog(m_rules, {})); }
    void changeCO() { render(new ChangeCODialog(m_rules, {})); }
    void changeTime() { render(new ChangeTimeDialog(m_rules, {})); }
    void autoLoad() { render(new AutoLoadDialog(m_rules, {})); }
};

QTEST_MAIN(DialogScreenshotsTest)
#include "dialog_screenshots_test.moc"
