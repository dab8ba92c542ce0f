// The window as the watcher of a large folder, timed on the offscreen platform:
//   skedora-watch-window-bench gap [files]  the longest event-loop turn while polling a folder
//                                           of known files (default 100000) every half second
//   skedora-watch-window-bench backlog      200 files of 1,000 events present at start: the time
//                                           until all are converted

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "os/atomic_file.h"
#include "os/posix_file_system.h"
#include "settings/settings_store.h"
#include "ui/main_window.h"

using namespace skedora;
namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace {

/** A home watching its "watch" folder into "out"; removed at exit. */
class BenchHome {
  public:
    explicit BenchHome(bool deleteOn) {
        std::string pattern = (fs::temp_directory_path() / "skedora-window-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
        fs::create_directory(Watch());
        fs::create_directory(Out());
        RuleSet rules;
        rules.AutoLoadSettings = {
            Watch().string() + "/", Out().string() + "/", true, true, deleteOn, false};
        if (SaveSettings(m_path, rules)) {
            std::fprintf(stderr, "SK.ini not written\n");
            std::exit(1);
        }
    }
    ~BenchHome() {
        std::error_code ec;
        fs::remove_all(m_path, ec);
    }
    fs::path Path() const { return m_path; }
    fs::path Watch() const { return m_path / "watch"; }
    fs::path Out() const { return m_path / "out"; }

  private:
    fs::path m_path;
};

void Write(const fs::path& path, const std::string& text) {
    if (WriteFileAtomically(path, text)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

std::string Events(int count) {
    std::string text =
        "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,"
        "tochnm_hd,fch,fchnm_hd,co,systemname,U1,U2\r\n";
    char line[160];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(line, sizeof line,
                      "%d,03/05/2024,TUE,%02d:%02d:00,%02d:%02d:00,Show %d,X,,Y,note,5,K%03d,6,"
                      "W%03d,%d,NORTH,,\r\n",
                      i % 7 + 1, i % 24, i % 60, (i + 1) % 24, i % 60, i % 30, i % 30, i % 30,
                      i % 50);
        text += line;
    }
    return text;
}

int Gap(QApplication& qapp, int count) {
    BenchHome home(false);
    std::string names;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "SCHED%07d.%s", i, i % 2 == 0 ? "DBF" : "csv");
        const int fd = ::open((home.Watch() / name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
        }
        names += name;
        names += "\r\n";
    }
    Write(home.Path() / "FileList.txt", names);

    PosixFileSystem files;
    const auto listStart = Steady::now();
    const auto listed = files.ListScheduleNames(home.Watch().string() + "/").size();
    const double listMs =
        std::chrono::duration<double, std::milli>(Steady::now() - listStart).count();

    MainWindow window(home.Path());
    window.show();
    auto* timeWatch = window.findChild<QTimer*>(QStringLiteral("timeWatch"));
    timeWatch->setInterval(500);

    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    auto last = Steady::now();
    Steady::duration longest{};
    int turns = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const auto now = Steady::now();
        longest = std::max(longest, now - last);
        last = now;
        ++turns;
    });
    // Measured once the window is up: from the first probe on.
    QTimer::singleShot(0, [&] {
        last = Steady::now();
        probe.start();
    });
    QTimer::singleShot(6000, &qapp, &QApplication::quit);
    qapp.exec();
    std::printf(
        "%d known files (%zu listed by name in %.1f ms): longest event-loop turn %.1f ms over "
        "6 s of polls every 0.5 s (%d probe ticks)\n",
        count, listed, listMs, std::chrono::duration<double, std::milli>(longest).count(), turns);
    return fs::directory_iterator(home.Out()) == fs::directory_iterator() ? 0 : 1;
}

int Backlog(QApplication& qapp) {
    constexpr int kFiles = 200;
    BenchHome home(true);
    const std::string events = Events(1000);
    for (int i = 1; i <= kFiles; ++i) {
        const fs::path file = home.Watch() / ("B" + std::to_string(i) + ".CSV");
        Write(file, events);
        fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    }
    const auto start = Steady::now();
    MainWindow window(home.Path());
    window.show();
    double seconds = -1;
    QTimer check;
    check.setInterval(20);
    QObject::connect(&check, &QTimer::timeout, [&] {
        int outputs = 0;
        for (const auto& entry : fs::directory_iterator(home.Out())) {
            outputs += entry.path().extension() == ".CP2";
        }
        if (outputs == kFiles) {
            seconds = std::chrono::duration<double>(Steady::now() - start).count();
            qapp.quit();
        }
    });
    check.start();
    QTimer::singleShot(120000, &qapp, &QApplication::quit);
    qapp.exec();
    if (seconds < 0) {
        std::printf("backlog: not all %d files converted within 120 s\n", kFiles);
        return 1;
    }
    std::printf("backlog: %d files of 1000 events converted in the window in %.2f s\n", kFiles,
                seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication qapp(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "gap";
    if (mode == "gap") {
        return Gap(qapp, argc > 2 ? std::atoi(argv[2]) : 100000);
    }
    if (mode == "backlog") {
        return Backlog(qapp);
    }
    std::fprintf(stderr, "usage: %s gap [files] | backlog\n", argv[0]);
    return 2;
}
