#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
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
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

using namespace skedora;
using namespace skedora::test;
namespace fs = std::filesystem;

namespace {

constexpr int kGenerous = 60000;  // ms; a fault shows as never, not as late

struct WatchedHome {
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
    int Converted(const std::vector<std::string>& names) const {
        int count = 0;
        for (const auto& name : names) {
            count += fs::exists(out() / (name.substr(0, name.size() - 4) + ".CP2")) &&
                     !fs::exists(watch() / name);
        }
        return count;
    }
    QString WatchLine(MainWindow& window) const {
        return Child<QLabel>(window, "lblWatchLine")->text();
    }

    TempDir home;
};

bool SetImmutable(const fs::path& file, bool on) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    const bool set = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL,
                      ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0 && on);
    ::close(fd);
    return set;
}

}  // namespace

class WatchWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void backlogDrainsAndAFolderChangedInAutoLoadIsFollowedAtOnce() {
        const std::vector<std::string> backlog = {"A.CSV", "B.CSV", "C.CSV", "D.CSV", "E.CSV"};
        WatchedHome home(backlog);
        fs::create_directory(home.home.file("FileList.txt"));  // the list cannot be saved
        const fs::path other = home.home.file("other");
        fs::create_directory(other);
        WriteCsvSchedule(other / "F.CSV", {{}});
        Age(other / "F.CSV");
        MainWindow window(home.home.path());
        auto* timeWatch = Child<QTimer>(window, "timeWatch");
        QVERIFY(timeWatch->isActive());
        timeWatch->setInterval(3600 * 1000);
        QTRY_COMPARE_WITH_TIMEOUT(home.Converted(backlog), static_cast<int>(backlog.size()),
                                  kGenerous);
        QVERIFY(home.WatchLine(window).startsWith(
            QStringLiteral("Watching %1/ for CSV and DBF files")
                .arg(QString::fromStdString(home.watch().string()))));
        QTRY_VERIFY(Child<QLabel>(window, "lblStatusLine")
                        ->text()
                        .contains(QStringLiteral("FileList.txt")));

        window.show();
        Child<QAction>(window, "menuSetAutoLoad")->trigger();
        auto* dialog = Child<QWidget>(window, "frmSetAutoLoad");
        auto* path = Child(*dialog, "txtPath");
        path->selectAll();
        QTest::keyClicks(path, QString::fromStdString(other.string() + "/"));
        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(home.out() / "F.CP2") && !fs::exists(other / "F.CSV"),
                                 kGenerous);
        QVERIFY(home.WatchLine(window).startsWith(
            QStringLiteral("Watching %1/").arg(QString::fromStdString(other.string()))));
    }

    void watchedElsewhereUntilTheHolderEndsThenAHeldBackFileConvertsAgain() {
        WatchedHome home({});
        for (const auto& [name, events] : {std::pair{"SAME.CSV", 1}, {"SAME.csv", 2}}) {
            WriteCsvSchedule(home.watch() / name, std::vector<TestEvent>(events));
            Age(home.watch() / name);
        }
        auto lock = HomeLock::TryAcquire(home.home.path(), "skedora-cli");
        QVERIFY(std::holds_alternative<HomeLock>(lock));
        MainWindow window(home.home.path());
        window.show();
        auto* timeWatch = Child<QTimer>(window, "timeWatch");
        QVERIFY(!timeWatch->isActive());
        QCOMPARE(home.WatchLine(window),
                 QStringLiteral("Watched by another process (skedora-cli, process %1)")
                     .arg(QCoreApplication::applicationPid()));
        Child<QAction>(window, "menuViewHistory")->trigger();
        auto* history = Child<QWidget>(window, "frmJobHistory");
        auto* table = Child<QTableView>(*history, "tblJobs");
        auto* again = Child<QPushButton>(*history, "cmdConvertAgain");
        QTest::qWait(200);
        QCOMPARE(table->model()->rowCount(), 0);

        lock = LockHolder{};  // the other watcher ends
        QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 2, kGenerous);
        QVERIFY(timeWatch->isActive());
        QVERIFY(home.WatchLine(window).startsWith(QStringLiteral("Watching ")));
        QVERIFY(std::holds_alternative<LockHolder>(
            HomeLock::TryAcquire(home.home.path(), "skedora-cli")));
        const std::string firstOutput = ReadFile(home.out() / "SAME.CP2");
        QVERIFY(!firstOutput.empty());

        const QString outcome = table->model()->index(0, 1).data().toString();
        QVERIFY2(outcome.contains(QStringLiteral("failed")), qPrintable(outcome));
        QVERIFY(table->model()->index(0, 1).data(Qt::ForegroundRole).isValid());
        QVERIFY(!again->isEnabled());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(0, 2)).center());
        QVERIFY(again->isEnabled());
        const std::string kept = table->model()->index(0, 2).data().toString().toStdString();
        QTest::mouseClick(again, Qt::LeftButton);

        QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 3, kGenerous);
        QCOMPARE(table->model()->index(0, 1).data().toString(), QStringLiteral("finished"));
        QVERIFY(fs::exists(home.watch() / "SAME.CP2"));
        QVERIFY(fs::exists(kept));  // a retry by hand keeps its source
        QCOMPARE(ReadFile(home.out() / "SAME.CP2"), firstOutput);
    }

    void aSourceThatCannotBeDeletedIsNamedInTheStatusLine() {
        WatchedHome home({"A.CSV"});
        fs::permissions(home.watch(), fs::perms::owner_write, fs::perm_options::remove);
        const bool immutable = SetImmutable(home.watch() / "A.CSV", true);
        const auto restore = qScopeGuard([&] {
            SetImmutable(home.watch() / "A.CSV", false);
            fs::permissions(home.watch(), fs::perms::owner_write, fs::perm_options::add);
        });
        if (!immutable && ::access(home.watch().c_str(), W_OK) == 0) {
            QSKIP("no way to make a file undeletable here");
        }
        MainWindow window(home.home.path());
        auto* status = Child<QLabel>(window, "lblStatusLine");
        QTRY_VERIFY_WITH_TIMEOUT(status->toolTip().contains(QStringLiteral("A.CSV kept: ")),
                                 kGenerous);
        QVERIFY(status->toolTip().contains(QStringLiteral("cannot delete")));
        QVERIFY(fs::exists(home.watch() / "A.CSV"));
    }
};

QTEST_MAIN(WatchWindowTest)
#include "watch_window_test.moc"
