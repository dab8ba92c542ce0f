#include <unistd.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <filesystem>
#include <variant>

#include "os/home_lock.h"
#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "ui_test_support.h"

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;

namespace {

constexpr int kGenerous = 60000;  // ms; a fault shows as never, not as late

/** A home whose SK.ini watches watch for both kinds into out, deleting the sources. */
struct WatchedHome : WindowFixture {
    explicit WatchedHome(const std::vector<std::string>& names) {
        fs::create_directory(watch());
        fs::create_directory(out());
        RuleSet rules;
        rules.AutoLoadSettings = {
            watch().string() + "/", out().string() + "/", true, true, true, false};
        if (SaveSettings(home.path(), rules)) {
            qFatal("SK.ini not written");
        }
        for (const auto& name : names) {
            WriteCsvSchedule(watch() / name, {{}});
            Age(watch() / name);
        }
    }
    fs::path watch() const { return home.file("watch"); }
    fs::path out() const { return home.file("out"); }
};

}  // namespace

class WatchWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void backlogDrainsAFolderChangedInAutoLoadIsFollowedAndAKeptSourceNamed() {
        WatchedHome f({"A.CSV", "B.CSV", "C.CSV", "D.CSV", "E.CSV"});
        fs::create_directory(f.home.file("FileList.txt"));  // the list cannot be saved
        const fs::path other = f.home.file("other");
        fs::create_directory(other);
        WriteCsvSchedule(other / "F.CSV", {{}});
        Age(other / "F.CSV");
        // F.CSV cannot be deleted: immutable where that may be set, else in a read-only folder.
        fs::permissions(other, fs::perms::owner_write, fs::perm_options::remove);
        const bool kept = SetImmutable(other / "F.CSV", true) || ::access(other.c_str(), W_OK) != 0;
        const auto restore = qScopeGuard([&] {
            SetImmutable(other / "F.CSV", false);
            fs::permissions(other, fs::perms::owner_write, fs::perm_options::add);
        });
        f.Start();
        f.Get<QTimer>("timeWatch")->setInterval(3600 * 1000);
        const auto files = [](const fs::path& folder) {
            return std::distance(fs::directory_iterator(folder), {});
        };
        QTRY_VERIFY_WITH_TIMEOUT(files(f.out()) == 5 && files(f.watch()) == 0, kGenerous);
        QVERIFY(f.WatchLine().startsWith(QStringLiteral("Watching %1/ for CSV and DBF files")
                                             .arg(QString::fromStdString(f.watch().string()))));
        QTRY_VERIFY(f.StatusLine().contains(QStringLiteral("FileList.txt")));

        fs::remove(f.home.file("FileList.txt"));  // saved again: the status line tells the job
        f.Get<QAction>("menuSetAutoLoad")->trigger();
        auto* dialog = f.Get<QWidget>("frmSetAutoLoad");
        auto* path = Child(*dialog, "txtPath");
        path->selectAll();
        QTest::keyClicks(path, QString::fromStdString(other.string() + "/"));
        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(f.out() / "F.CP2"), kGenerous);
        QVERIFY(f.WatchLine().startsWith(
            QStringLiteral("Watching %1/").arg(QString::fromStdString(other.string()))));
        QCOMPARE(fs::exists(other / "F.CSV"), kept);
        QCOMPARE(f.Get<QLabel>("lblStatusLine")->toolTip().contains(QStringLiteral("F.CSV kept: ")),
                 kept);
    }

    void watchedElsewhereUntilTheHolderEndsThenAHeldBackFileConvertsAgain() {
        WatchedHome f({});
        for (const auto& [name, events] : {std::pair{"SAME.CSV", 1}, {"SAME.csv", 2}}) {
            WriteCsvSchedule(f.watch() / name, std::vector<TestEvent>(events));
            Age(f.watch() / name);
        }
        auto lock = HomeLock::TryAcquire(f.home.path(), "skedora-cli");
        f.Start();
        QCOMPARE(f.WatchLine(),
                 QStringLiteral("Watched by another process (skedora-cli, process %1)")
                     .arg(QCoreApplication::applicationPid()));
        f.Get<QAction>("menuViewHistory")->trigger();
        auto* history = f.Get<QWidget>("frmJobHistory");
        auto* table = Child<QTableView>(*history, "tblJobs");
        auto* again = Child<QPushButton>(*history, "cmdConvertAgain");
        QTest::qWait(200);
        QCOMPARE(table->model()->rowCount(), 0);

        lock = LockHolder{};  // the other watcher ends
        QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 2, kGenerous);
        QVERIFY(f.WatchLine().startsWith(QStringLiteral("Watching ")));
        QVERIFY(
            std::holds_alternative<LockHolder>(HomeLock::TryAcquire(f.home.path(), "skedora-cli")));
        const std::string firstOutput = ReadFile(f.out() / "SAME.CP2");
        QVERIFY(!firstOutput.empty());

        const QString outcome = table->model()->index(0, 1).data().toString();
        QVERIFY2(outcome.contains(QStringLiteral("failed")), qPrintable(outcome));
        QVERIFY(table->model()->index(0, 1).data(Qt::ForegroundRole).isValid());
        QVERIFY(!again->isEnabled());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(0, 2)).center());
        QVERIFY(again->isEnabled());
        QTest::mouseClick(again, Qt::LeftButton);

        QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 3, kGenerous);
        QCOMPARE(table->model()->index(0, 1).data().toString(), QStringLiteral("finished"));
        QVERIFY(fs::exists(f.watch() / "SAME.CP2"));  // beside its source, not over the first
        QCOMPARE(ReadFile(f.out() / "SAME.CP2"), firstOutput);
    }
};

QTEST_MAIN(WatchWindowTest)
#include "watch_window_test.moc"
