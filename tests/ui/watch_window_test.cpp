// The window as the watcher of its home: a backlog present at start drains at once, a window
// that another process keeps from watching converts nothing until it takes the watch over, a
// watch folder changed in Auto Load is followed at once, and a held-back file converts again.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <variant>

#include "os/home_lock.h"
#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"

using namespace skedora;
namespace fs = std::filesystem;

namespace {

constexpr int kGenerous = 60000;  // ms; a fault shows as never, not as late

/** A home whose rules watch its "watch" folder, with the schedules named there. */
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
            test::WriteCsvSchedule(watch() / name, {{}});
            // Old enough to be past the quiet period.
            fs::last_write_time(watch() / name,
                                fs::file_time_type::clock::now() - std::chrono::hours(1));
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

    test::TempDir home;
};

template <typename T>
T* Child(QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    if (child == nullptr) {
        qFatal("no %s", name);
    }
    return child;
}

/** Sets or clears a file's immutable flag; whether it is set now. */
bool SetImmutable(const fs::path& file, bool on) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    int flags = 0;
    bool set = false;
    if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        set = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0 && on;
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return set;
}

const std::vector<std::string> kBacklog = {"A.CSV", "B.CSV", "C.CSV", "D.CSV", "E.CSV", "F.CSV"};

}  // namespace

class WatchWindowTest : public QObject {
    Q_OBJECT

  private slots:
    // With the timed poll an hour apart, only draining converts the files after the first.
    void backlogPresentAtStartDrains() {
        WatchedHome home(kBacklog);
        MainWindow window(home.home.path());
        auto* timeWatch = window.findChild<QTimer*>(QStringLiteral("timeWatch"));
        QVERIFY(timeWatch->isActive());
        timeWatch->setInterval(3600 * 1000);
        QTRY_COMPARE_WITH_TIMEOUT(home.Converted(kBacklog), static_cast<int>(kBacklog.size()),
                                  kGenerous);
        // One watch state on the status bar: this window watches.
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("lblWatchNote")) == nullptr);
        QVERIFY(Child<QLabel>(window, "lblWatchLine")
                    ->text()
                    .startsWith(QStringLiteral("Watching %1/ for CSV and DBF files")
                                    .arg(QString::fromStdString(home.watch().string()))));
    }

    void watchedElsewhereUntilTheHolderEnds() {
        WatchedHome home({"A.CSV"});
        auto lock = HomeLock::TryAcquire(home.home.path(), "skedora-cli");
        QVERIFY(std::holds_alternative<HomeLock>(lock));

        MainWindow window(home.home.path());
        auto* timeWatch = window.findChild<QTimer*>(QStringLiteral("timeWatch"));
        auto* line = Child<QLabel>(window, "lblWatchLine");
        QVERIFY(!timeWatch->isActive());
        QCOMPARE(line->text(),
                 QStringLiteral("Watched by another process (skedora-cli, process %1)")
                     .arg(QCoreApplication::applicationPid()));
        QVERIFY(line->toolTip().startsWith(line->text() + QLatin1Char('\n')));
        QTest::qWait(200);
        QCOMPARE(home.Converted({"A.CSV"}), 0);

        lock = LockHolder{};  // the other watcher ends
        QTRY_COMPARE_WITH_TIMEOUT(home.Converted({"A.CSV"}), 1, kGenerous);
        QVERIFY(timeWatch->isActive());
        QVERIFY2(line->text().startsWith(QStringLiteral("Watching ")), qPrintable(line->text()));
        // The lock is this window's now.
        QVERIFY(std::holds_alternative<LockHolder>(
            HomeLock::TryAcquire(home.home.path(), "skedora-cli")));
    }

    // Saving another watch folder polls it at once, though the next timed poll is an hour away.
    void folderChangedInAutoLoadIsFollowedAtOnce() {
        WatchedHome home({});
        const fs::path other = home.home.file("other");
        fs::create_directory(other);
        test::WriteCsvSchedule(other / "A.CSV", {{}});
        fs::last_write_time(other / "A.CSV",
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
        MainWindow window(home.home.path());
        window.findChild<QTimer*>(QStringLiteral("timeWatch"))->setInterval(3600 * 1000);
        window.show();

        Child<QAction>(window, "menuSetAutoLoad")->trigger();
        auto* dialog = Child<QWidget>(window, "frmSetAutoLoad");
        auto* path = Child<QLineEdit>(*dialog, "txtPath");
        path->selectAll();
        QTest::keyClicks(path, QString::fromStdString(other.string() + "/"));
        QTest::mouseClick(Child<QPushButton>(*dialog, "cmdOk"), Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(home.out() / "A.CP2") && !fs::exists(other / "A.CSV"),
                                 kGenerous);
        QVERIFY(
            Child<QLabel>(window, "lblWatchLine")
                ->text()
                .startsWith(
                    QStringLiteral("Watching %1/").arg(QString::fromStdString(other.string()))));
    }

    // SAME.CSV and SAME.csv map to one output: the second is held back, marked as a failure in
    // the history, and Convert Again writes it beside its source, not over the first's output.
    void heldBackFileConvertsAgainBesideItsSource() {
        WatchedHome home({});
        test::WriteCsvSchedule(home.watch() / "SAME.CSV", {{}});
        test::WriteCsvSchedule(home.watch() / "SAME.csv", {{}, {}});
        for (const char* name : {"SAME.CSV", "SAME.csv"}) {
            fs::last_write_time(home.watch() / name,
                                fs::file_time_type::clock::now() - std::chrono::hours(1));
        }
        MainWindow window(home.home.path());
        window.show();
        Child<QAction>(window, "menuViewHistory")->trigger();
        auto* table = Child<QTableView>(*Child<QWidget>(window, "frmJobHistory"), "tblJobs");
        QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 2, kGenerous);
        const std::string firstOutput = [&] {
            std::ifstream in(home.out() / "SAME.CP2", std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }();
        QVERIFY(!firstOutput.empty());

        // The newest row is the held-back file's; only a failure converts again.
        const QString outcome = table->model()->index(0, 1).data().toString();
        QVERIFY2(outcome.contains(QStringLiteral("failed")), qPrintable(outcome));
        QVERIFY(table->model()->index(0, 1).data(Qt::ForegroundRole).isValid());
        QVERIFY(table->model()->index(0, 3).data().toString().isEmpty());
        auto* again =
            Child<QPushButton>(*Child<QWidget>(window, "frmJobHistory"), "cmdConvertAgain");
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(0, 2)).center());
        QVERIFY(again->isEnabled());
        const std::string kept = table->model()->index(0, 2).data().toString().toStdString();
        QTest::mouseClick(again, Qt::LeftButton);

        QTRY_COMPARE_WITH_TIMEOUT(table->model()->rowCount(), 3, kGenerous);
        QCOMPARE(table->model()->index(0, 1).data().toString(), QStringLiteral("finished"));
        QVERIFY(fs::exists(home.watch() / "SAME.CP2"));
        QVERIFY(fs::exists(kept));  // a retry by hand keeps its source
        std::ifstream in(home.out() / "SAME.CP2", std::ios::binary);
        QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), firstOutput);
    }

    // A source that cannot be deleted after its job stays, and the status line says so.
    void aSourceThatCannotBeDeletedIsNamedInTheStatusLine() {
        WatchedHome home({"A.CSV"});
        // A read-only folder stops the owner; the immutable flag stops the superuser too.
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
        auto* status = window.findChild<QLabel*>(QStringLiteral("lblStatusLine"));
        QTRY_VERIFY_WITH_TIMEOUT(status->toolTip().contains(QStringLiteral("A.CSV kept: ")),
                                 kGenerous);
        QVERIFY(status->toolTip().contains(QStringLiteral("cannot delete")));
        QVERIFY(fs::exists(home.watch() / "A.CSV"));
    }
};

QTEST_MAIN(WatchWindowTest)
#include "watch_window_test.moc"
