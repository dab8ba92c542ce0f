// The window as the watcher of its home: a backlog present at start drains at once, and a window
// that another process keeps from watching converts nothing until it takes the watch over.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QLabel>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>
#include <chrono>
#include <filesystem>
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
        QVERIFY(!window.findChild<QLabel*>(QStringLiteral("lblWatchNote"))->isVisibleTo(&window));
    }

    void watchedElsewhereUntilTheHolderEnds() {
        WatchedHome home({"A.CSV"});
        auto lock = HomeLock::TryAcquire(home.home.path(), "skedora-cli");
        QVERIFY(std::holds_alternative<HomeLock>(lock));

        MainWindow window(home.home.path());
        auto* timeWatch = window.findChild<QTimer*>(QStringLiteral("timeWatch"));
        auto* note = window.findChild<QLabel*>(QStringLiteral("lblWatchNote"));
        QVERIFY(!timeWatch->isActive());
        QCOMPARE(note->text(), QStringLiteral("Watched by skedora-cli (process %1)")
                                   .arg(QCoreApplication::applicationPid()));
        QTest::qWait(200);
        QCOMPARE(home.Converted({"A.CSV"}), 0);

        lock = LockHolder{};  // the other watcher ends
        QTRY_COMPARE_WITH_TIMEOUT(home.Converted({"A.CSV"}), 1, kGenerous);
        QVERIFY(timeWatch->isActive());
        QVERIFY(note->text().isEmpty());
        // The lock is this window's now.
        QVERIFY(std::holds_alternative<LockHolder>(
            HomeLock::TryAcquire(home.home.path(), "skedora-cli")));
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
