// Renders the main window (idle, converting, after a job), the About dialog and the error box to
// PNG files in $SKEDORA_SCREENSHOTS (build/screenshots), for people to look at. The settings
// dialogs have their own screenshots test.

#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QtTest>

#include "window_test_support.h"

using namespace skedora;
using namespace skedora::test;

namespace {

QString Folder() {
    QString folder = qEnvironmentVariable("SKEDORA_SCREENSHOTS");
    if (folder.isEmpty()) {
        folder = QDir::current().filePath(QStringLiteral("screenshots"));
    }
    QDir().mkpath(folder);
    return folder;
}

void Save(QWidget& widget, const char* name) {
    const QString path = QDir(Folder()).filePath(QLatin1String(name) + QStringLiteral(".png"));
    QVERIFY2(widget.grab().save(path), qPrintable(path));
}

}  // namespace

class Screenshots : public QObject {
    Q_OBJECT

  private slots:
    void mainWindowIdleRunningAndAfterAJob() {
        TempDir home;
        auto stub = std::make_unique<StubChooser>();
        StubChooser* chooser = stub.get();
        MainWindow window(home.path(), std::move(stub));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Save(window, "frmMain");

        const auto input = home.file("WEEK1.CSV");
        WriteFile(input, LargeCsvSchedule(20000));
        chooser->next = Pick(input);
        // Bursts of a few events, so that the job is caught in the middle.
        window.SetBurstBudget(std::chrono::milliseconds(0));
        FindAction(window, "menuFileOpen")->trigger();
        QDeadlineTimer deadline(5000);
        while (window.application().job().OutputCount == 0 && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QVERIFY(window.findChild<QProgressBar*>(QStringLiteral("prgJob"))->isVisible());
        Save(window, "frmMain_job");

        window.SetBurstBudget(MainWindow::kBurstBudget);
        QTRY_VERIFY_WITH_TIMEOUT(!FindTimer(window, "timeCONV")->isActive(), 20000);
        Save(window, "frmMain_after_job");
    }

    void aboutDialog() {
        TempDir home;
        MainWindow window(home.path(), std::make_unique<StubChooser>());
        window.show();
        FindAction(window, "menuAbout")->trigger();
        auto* about = window.findChild<QDialog*>(QStringLiteral("frmAbout"));
        QVERIFY(about);
        QVERIFY(QTest::qWaitForWindowExposed(about));
        Save(*about, "frmAbout");
    }

    void errorBox() {
        TempDir home;
        auto stub = std::make_unique<StubChooser>();
        stub->next = Pick(home.file("notes.txt"));
        MainWindow window(home.path(), std::move(stub));
        window.show();
        bool saved = false;
        QTimer grabber;
        connect(&grabber, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || saved) {
                return;
            }
            saved = true;
            Save(*box, "error_box");
            box->button(QMessageBox::Ok)->click();
        });
        grabber.start(20);
        FindAction(window, "menuFileOpen")->trigger();
        QVERIFY(saved);
    }
};

QTEST_MAIN(Screenshots)
#include "screenshots_test.moc"
