// Faults as the window shows them: an output that cannot be created, a schedule that cannot be
// read, a settings file that cannot be replaced, a converted-file list that cannot be read or
// written. Each ends in the error box or the status line, and nothing is lost.
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "settings/settings_store.h"
#include "support/schedule_files.h"
#include "window_test_support.h"

using namespace skedora;
using namespace skedora::test;

namespace {

struct Fixture {
    /** The window on a fresh home folder, prepared by before first. */
    explicit Fixture(const std::function<void(const TempDir&)>& before = {}) {
        if (before) {
            before(home);
        }
        auto stub = std::make_unique<StubChooser>();
        chooser = stub.get();
        window = std::make_unique<MainWindow>(home.path(), std::move(stub));
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) {
            qWarning("the main window did not become active");
        }
    }

    QString StatusLine() { return FindLabel(*window, "lblStatusLine")->text(); }
    bool JobRunning() { return FindTimer(*window, "timeCONV")->isActive(); }

    TempDir home;
    StubChooser* chooser = nullptr;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

class FaultScenariosTest : public QObject {
    Q_OBJECT

  private slots:
    void anOutputThatCannotBeCreatedShowsTheErrorAndNoSuccess() {
        Fixture f;
        const auto input = f.home.file("A.CSV");
        const std::string schedule = CsvSchedule({{}, {}});
        WriteFile(input, schedule);
        std::filesystem::create_directory(f.home.file("A.CP2"));  // a folder where it should go
        f.chooser->next = Pick(input);

        MessageBoxAnswerer boxes;
        FindAction(*f.window, "menuFileOpen")->trigger();
        QTRY_COMPARE(boxes.count, 1);
        QVERIFY2(boxes.text.contains(QStringLiteral("Error number =  75.")),
                 qPrintable(boxes.text));
        QTRY_VERIFY(!f.JobRunning());
        QVERIFY2(f.StatusLine().startsWith(QStringLiteral("Last job: A.CSV -> A.CP2 failed")),
                 qPrintable(f.StatusLine()));
        QVERIFY(std::filesystem::is_directory(f.home.file("A.CP2")));
        QCOMPARE(ReadFile(input), schedule);
    }

    void aScheduleThatCannotBeReadShowsTheErrorAndStartsNothing() {
        Fixture f;
        const auto input = f.home.file("LIES.DBF");
        WriteDbfSchedule(input, {{}, {}});
        std::string bytes = ReadFile(input);
        bytes[4] = 100;  // a hundred rows, in a file that holds two
        WriteFile(input, bytes);
        f.chooser->next = Pick(input);

        MessageBoxAnswerer boxes;
        FindAction(*f.window, "menuFileOpen")->trigger();
        QTRY_COMPARE(boxes.count, 1);
        QCOMPARE(boxes.text, QStringLiteral("Error! (LIES.DBF is shorter than its header says).  "
                                            "Error number =  3001.  Error Source = Skedora"));
        QVERIFY(!f.JobRunning());
        QVERIFY(!std::filesystem::exists(f.home.file("LIES.CP2")));
        QVERIFY2(f.StatusLine().startsWith(QStringLiteral("Could not convert LIES.DBF")),
                 qPrintable(f.StatusLine()));
    }

    void aSettingsFileThatCannotBeReplacedShowsWhyAndKeepsTheEdits() {
        Fixture f;
        std::filesystem::create_directory(SettingsFilePath(f.home.path()));
        FindAction(*f.window, "menuSetDelete")->trigger();
        QWidget* dialog = nullptr;
        QTRY_VERIFY((dialog = QApplication::activeWindow()) != f.window.get() && dialog != nullptr);
        auto* apply = dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QVERIFY(apply != nullptr);

        MessageBoxAnswerer boxes;
        apply->click();
        QTRY_COMPARE(boxes.count, 1);
        QCOMPARE(boxes.icon, QMessageBox::Critical);
        QVERIFY2(boxes.text.contains(QStringLiteral("SK.ini")), qPrintable(boxes.text));
        QVERIFY(std::filesystem::is_directory(SettingsFilePath(f.home.path())));
        QVERIFY(dialog->isVisible());
        dialog->close();
    }

    void aFileListThatCannotBeReadOrWrittenStillConvertsEachFileOnce() {
        // A folder where FileList.txt should be: neither loaded at start-up nor ever replaced.
        Fixture f([](const TempDir& home) {
            std::filesystem::create_directory(home.file("FileList.txt"));
        });
        QVERIFY(FindTimer(*f.window, "timeWatch")->isActive());
        QVERIFY(f.window->application().fileList().Names().empty());

        TempDir watch;
        TempDir out;
        AutoLoadSettingsGroup& settings = f.window->application().rules().AutoLoadSettings;
        settings.Path = watch.folderText();
        settings.OutPath = out.folderText();
        settings.CSV = true;
        settings.Delete = false;
        WriteCsvSchedule(watch.file("A.CSV"), {{}});
        std::filesystem::last_write_time(
            watch.file("A.CSV"),
            std::filesystem::file_time_type::clock::now() - std::chrono::minutes(1));

        for (int poll = 0; poll < 3; ++poll) {
            f.window->application().PollWatchFolder();
            QTRY_VERIFY(!f.JobRunning());
        }
        QCOMPARE(f.StatusLine(),
                 QStringLiteral("Last job: A.CSV -> A.CP2: 1 written, 0 deleted, 0 skipped"));
        QCOMPARE(FileLines(out.file("A.CP2")).size(), std::size_t{2});
        QVERIFY(std::filesystem::is_directory(f.home.file("FileList.txt")));
    }
};

QTEST_MAIN(FaultScenariosTest)
#include "window_fault_scenarios_test.moc"
