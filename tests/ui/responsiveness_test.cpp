// Converts the largest file (32,767 events, every rule slot filled) in the window and records how
// long the event loop was kept from turning: a 1 ms probe timer notes the largest gap between its
// ticks while the job runs. The figures are printed, not asserted (how many bursts a job takes
// depends on the machine); what is checked is that the job ends with its output complete.

#include <QElapsedTimer>
#include <QtTest>
#include <algorithm>

#include "window_test_support.h"

using namespace skedora;
using namespace skedora::test;

namespace {

void FillEveryRuleSlot(RuleSet& rules) {
    for (int n = 1; n <= 64; ++n) {
        const std::string k = std::to_string(n);
        rules.DeleteCallLetterRules[n] = {"DL" + k, "9" + k};
    }
    for (int n = 1; n <= 48; ++n) {
        const std::string k = std::to_string(n);
        rules.DeleteSourceDestinationRules[n] = {"SRC" + k, "DST" + k};
    }
    for (int n = 1; n <= 24; ++n) {
        const std::string k = std::to_string(n);
        rules.ChangeCOFromCallLetterRules[n] = {"CC" + k, "1" + k, "2" + k};
        rules.ChangeCallLetterRules[n] = {"OC" + k, "3" + k, "NC" + k};
        rules.ChangeCOFromDescriptionRules[n] = {"DESC " + k, "4" + k, "5" + k};
    }
    for (int n = 1; n <= 8; ++n) {
        const std::string k = std::to_string(n);
        rules.ChangeTimeRules[n] = {"TS" + k, "TD" + k, "6" + k, "TDESC" + k, 0, "00:00:01"};
    }
}

}  // namespace

class ResponsivenessTest : public QObject {
    Q_OBJECT

  private slots:
    void largestFileLeavesTheEventLoopTurning() {
        TempDir home;
        auto stub = std::make_unique<StubChooser>();
        StubChooser* chooser = stub.get();
        MainWindow window(home.path(), std::move(stub));
        FillEveryRuleSlot(window.application().rules());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const int events = 32767;
        const auto input = home.file("LARGEST.CSV");
        WriteFile(input, LargeCsvSchedule(events));
        chooser->next = Pick(input);

        QElapsedTimer clock;
        qint64 lastTick = -1;
        qint64 largestGap = 0;
        int probeTicks = 0;
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        probe.setInterval(1);
        connect(&probe, &QTimer::timeout, this, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (lastTick >= 0) {
                largestGap = std::max(largestGap, now - lastTick);
            }
            lastTick = now;
            ++probeTicks;
        });
        // Connected after the window's own handler, so this runs right after each burst.
        QTimer* conversion = FindTimer(window, "timeCONV");
        int bursts = 0;
        qint64 passEndNs = 0;
        connect(conversion, &QTimer::timeout, this, [&] {
            ++bursts;
            if (!conversion->isActive()) {
                passEndNs = clock.nsecsElapsed();
            }
        });

        clock.start();
        FindAction(window, "menuFileOpen")->trigger();
        const qint64 setUpNs = clock.nsecsElapsed();
        QVERIFY(conversion->isActive());
        probe.start();
        QTRY_VERIFY_WITH_TIMEOUT(!conversion->isActive(), 60000);
        const qint64 passNs = passEndNs - setUpNs;
        probe.stop();

        qInfo("Open command (reading %d events, one handler): %.1f ms", events, setUpNs / 1e6);
        qInfo(
            "pass: %.1f ms in %d bursts; largest event-loop gap during the pass: %.1f ms "
            "(%d probe ticks)",
            passNs / 1e6, bursts, largestGap / 1e6, probeTicks);

        const std::string output = ReadFile(home.file("LARGEST.CP2"));
        QCOMPARE(static_cast<int>(std::count(output.begin(), output.end(), '\n')), events + 1);
    }
};

QTEST_MAIN(ResponsivenessTest)
#include "responsiveness_test.moc"
