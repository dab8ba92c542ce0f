// Faults around automatic conversion: a missing output folder, a converted-file list that cannot
// be read or written, a full disk, a watch folder that vanishes, files that vanish or are still
// being copied. Each ends with the failure reported to the job listener (the window's status
// line, the command-line program's output) and with no schedule lost or converted twice.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <memory>

#include "engine/application.h"
#include "support/fake_platform.h"
#include "support/private_mounts.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TestEvent;

/** The local file system, where chosen files disappear right after a listing shows them. */
class VanishingFileSystem : public test::TestFileSystem {
  public:
    std::vector<FolderEntry> ListFiles(const std::string& folder,
                                       std::string_view extension) const override {
        auto entries = PosixFileSystem::ListFiles(folder, extension);
        for (const auto& entry : entries) {
            if (vanishing.contains(entry.name)) {
                std::filesystem::remove(folder + entry.name);
            }
        }
        return entries;
    }
    std::set<std::string> vanishing;
};

class WatchFaultTest : public ::testing::Test {
  protected:
    WatchFaultTest() { Restart(); }

    /** A fresh application on the same home folder, as after a program restart. */
    void Restart() {
        m_app.reset();
        m_platform = std::make_unique<test::FakePlatform>();
        Platform platform = m_platform->For();
        m_app = std::make_unique<Application>(m_home.path(), Platform{
                                                                 platform.conversionTimer,
                                                                 platform.watchTimer,
                                                                 platform.status,
                                                                 platform.chooser,
                                                                 platform.messages,
                                                                 m_files,
                                                                 platform.clock,
                                                                 platform.listener,
                                                             });
        m_app->StartUp();
        auto& settings = m_app->rules().AutoLoadSettings;
        settings.Path = m_watch.folderText();
        settings.OutPath = m_out.folderText();
        settings.DBF = true;
        settings.CSV = true;
        settings.Delete = false;
        settings.PrefixDate = false;
    }

    /** One poll and the job it started run to its end: the input's bare name or "". */
    std::string PollAndConvert() {
        m_app->PollWatchFolder();
        if (!m_app->IsJobRunning()) {
            return "";
        }
        const std::string name = m_app->job().InputFileTitle;
        test::RunJob(*m_app);
        return name;
    }
    bool InWatch(const std::string& name) const {
        return std::filesystem::exists(m_watch.file(name));
    }
    AutoLoadSettingsGroup& Settings() { return m_app->rules().AutoLoadSettings; }
    const std::vector<std::string>& Reports() const { return m_platform->listener.lines; }
    const std::vector<JobReport>& Ended() const { return m_platform->listener.reports; }

    test::TempDir m_home;
    test::TempDir m_watch;
    test::TempDir m_out;
    VanishingFileSystem m_files;
    std::unique_ptr<test::FakePlatform> m_platform;
    std::unique_ptr<Application> m_app;
};

TEST_F(WatchFaultTest, AnOutputFolderThatCannotTakeTheOutputFailsTheJobAndKeepsTheSource) {
    test::WriteFile(m_out.file("plain file"), "x");
    const struct {
        const char* what;
        std::string outPath;
    } folders[] = {
        {"missing", m_out.folderText() + "missing/"},
        {"a file where the folder should be", m_out.folderText() + "plain file/"},
    };
    for (const auto& folder : folders) {
        for (const bool deleteSource : {false, true}) {
            SCOPED_TRACE(std::string(folder.what) + (deleteSource ? ", Delete on" : ""));
            Restart();
            Settings().OutPath = folder.outPath;
            Settings().Delete = deleteSource;
            test::WriteCsvSchedule(m_watch.file("A.CSV"), {{}, {}});

            EXPECT_EQ(PollAndConvert(), "A.CSV");
            ASSERT_EQ(Ended().size(), 1u);
            ASSERT_TRUE(Ended()[0].failure);
            EXPECT_EQ(Ended()[0].failure->number, errors::kPathFileAccess);
            EXPECT_NE(Ended()[0].failure->description.find(folder.outPath + "A.CP2"),
                      std::string::npos);
            EXPECT_TRUE(InWatch("A.CSV"));
            EXPECT_TRUE(m_files.deleted.empty());
            // Not tried again while it stays, so a failure is reported once, not at every poll.
            EXPECT_EQ(PollAndConvert(), "");
            EXPECT_EQ(Ended().size(), 1u);
            std::filesystem::remove(m_watch.file("A.CSV"));
            std::filesystem::remove(m_home.file("FileList.txt"));
        }
    }
}

TEST_F(WatchFaultTest, AFullDiskFailsTheJobKeepsTheSourceAndTheOldFileList) {
    test::WriteFile(m_home.file("FileList.txt"), "OLD.CSV\r\n");
    Restart();
    Settings().Delete = true;
    std::vector<TestEvent> events(200);
    test::WriteCsvSchedule(m_watch.file("A.CSV"), events);

    // A file size limit stands in for a full disk: the list and the output both hit it.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string converted = PollAndConvert();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(converted, "A.CSV");
    ASSERT_EQ(Ended().size(), 1u);
    ASSERT_TRUE(Ended()[0].failure);
    EXPECT_EQ(Ended()[0].failure->number, errors::kPathFileAccess);
    EXPECT_TRUE(InWatch("A.CSV"));
    EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "OLD.CSV\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_home.path()), {}), 1);
}

TEST_F(WatchFaultTest, AReadOnlyOrFullOutputFolderFailsTheJobAndKeepsTheSource) {
    const struct {
        const char* what;
        const char* reason;
        bool (*prepare)(const std::filesystem::path& out);
    } faults[] = {
        {"read-only", "Read-only file system", &test::MountReadOnly},
        // The output of 300 events is several times the room there is.
        {"full", "No space left on device",
         [](const std::filesystem::path& out) { return test::MountSmallDisk(out, 8192); }},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        Restart();
        Settings().Delete = true;
        const std::string schedule = test::CsvSchedule(std::vector<TestEvent>(300));
        test::WriteFile(m_watch.file("A.CSV"), schedule);
        const auto failure = test::WithPrivateMounts([&]() -> std::string {
            if (!fault.prepare(m_out.path())) {
                return "the fault could not be set up";
            }
            if (PollAndConvert() != "A.CSV" || Ended().size() != 1) {
                return "no job ran";
            }
            const MaybeError& error = Ended()[0].failure;
            if (!error || error->number != errors::kPathFileAccess ||
                error->description.find(fault.reason) == std::string::npos) {
                return "wrong report: " + (error ? error->description : std::string("success"));
            }
            if (ReadFile(m_watch.file("A.CSV")) != schedule || !m_files.deleted.empty()) {
                return "the source was not kept";
            }
            if (PollAndConvert() != "" || Ended().size() != 1) {
                return "the source was converted again";
            }
            return "";
        });
        if (!failure) {
            GTEST_SKIP() << "this machine does not allow private mounts";
        }
        EXPECT_EQ(*failure, "");
        std::filesystem::remove(m_watch.file("A.CSV"));
    }
}

TEST_F(WatchFaultTest, AFileListThatCannotBeReadOrWrittenConvertsNothingTwiceInTheRun) {
    // A folder where FileList.txt should be can be neither read nor replaced.
    std::filesystem::create_directory(m_home.file("FileList.txt"));
    Restart();
    EXPECT_TRUE(m_platform->watchTimer.IsEnabled());
    EXPECT_TRUE(m_app->fileList().Names().empty());
    test::WriteCsvSchedule(m_watch.file("A.CSV"), {{}});
    test::WriteDbfSchedule(m_watch.file("B.DBF"), {{}});

    EXPECT_EQ(PollAndConvert(), "B.DBF");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_EQ(PollAndConvert(), "");
    }
    EXPECT_EQ(Ended().size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(m_home.file("FileList.txt")));
}

TEST_F(WatchFaultTest, AWatchFolderThatVanishesForgetsNothing) {
    test::WriteCsvSchedule(m_watch.file("A.CSV"), {{}});
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    const std::string savedList = ReadFile(m_home.file("FileList.txt"));

    const auto moved = m_home.file("watch-away");
    std::filesystem::rename(m_watch.path(), moved);
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), savedList);

    // Back again, with a new file: only the new one is converted.
    std::filesystem::rename(moved, m_watch.path());
    test::WriteCsvSchedule(m_watch.file("B.CSV"), {{}});
    EXPECT_EQ(PollAndConvert(), "B.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(Ended().size(), 2u);
}

TEST_F(WatchFaultTest, AFileRemovedBetweenTheListingAndTheReadStartsNoJob) {
    for (const bool deleteSource : {false, true}) {
        for (const char* name : {"A.CSV", "A.DBF"}) {
            SCOPED_TRACE(std::string(name) + (deleteSource ? ", Delete on" : ""));
            Restart();
            Settings().Delete = deleteSource;
            m_files.vanishing = {name};
            const bool dbase = std::string_view(name).ends_with("DBF");
            if (dbase) {
                test::WriteDbfSchedule(m_watch.file(name), {{}});
            } else {
                test::WriteCsvSchedule(m_watch.file(name), {{}});
            }
            test::WriteCsvSchedule(m_watch.file("B.CSV"), {{}});

            EXPECT_EQ(PollAndConvert(), "");
            ASSERT_FALSE(Reports().empty());
            EXPECT_EQ(Reports().back(), "set-up failed " + m_watch.folderText() + name + ": " +
                                            std::to_string(errors::kFileNotFound));
            EXPECT_FALSE(std::filesystem::exists(m_out.file("A.CP2")));
            // The next poll goes on with the other files.
            EXPECT_EQ(PollAndConvert(), "B.CSV");
            EXPECT_TRUE(Ended().size() == 1 && !Ended()[0].failure);
            std::filesystem::remove(m_watch.file("B.CSV"));
            std::filesystem::remove(m_home.file("FileList.txt"));
        }
    }
}

TEST_F(WatchFaultTest, AFileStillBeingWrittenIsConvertedWholeOnceItIsQuiet) {
    Settings().Delete = true;
    const auto path = m_watch.file("A.CSV");
    const std::string whole = test::CsvSchedule(std::vector<TestEvent>(10));
    const std::size_t half = whole.size() / 2;
    auto& now = m_platform->clock.now;

    test::WriteFile(path, whole.substr(0, half));
    now = std::chrono::system_clock::now() + std::chrono::milliseconds(500);
    EXPECT_EQ(PollAndConvert(), "");
    test::WriteFile(path, whole);  // the copy goes on: modified again
    now = std::chrono::system_clock::now() + std::chrono::seconds(1);
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_TRUE(InWatch("A.CSV"));

    now += std::chrono::seconds(2);
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    ASSERT_EQ(Ended().size(), 1u);
    EXPECT_EQ(Ended()[0].read, 10);
    EXPECT_EQ(Ended()[0].written, 10);
    EXPECT_FALSE(InWatch("A.CSV"));
}

TEST_F(WatchFaultTest, SchedulesThatCannotBeReadAreReportedAndKeptWithDeleteOn) {
    Settings().Delete = true;
    std::string lyingHeader;
    {
        test::WriteDbfSchedule(m_home.file("model.dbf"), {{}, {}});
        lyingHeader = ReadFile(m_home.file("model.dbf"));
        lyingHeader[4] = 100;  // a hundred rows, in a file that holds two
    }
    std::string overflow = test::CsvSchedule({});
    for (int i = 0; i <= EventTable::kMaxEvents; ++i) {
        overflow += "1,d,w,10:00,11:00,p,,,,,1,A,2,B,3,S,,\r\n";
    }
    const struct {
        const char* name;
        std::string bytes;
        int error;
    } files[] = {
        {"EMPTY.DBF", "", errors::kBadTable},
        {"LIES.DBF", lyingHeader, errors::kBadTable},
        {"BIG.CSV", overflow, errors::kOverflow},
    };
    for (const auto& file : files) {
        test::WriteFile(m_watch.file(file.name), file.bytes);
    }
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        EXPECT_EQ(PollAndConvert(), "");
        ASSERT_FALSE(Reports().empty());
        EXPECT_EQ(Reports().back(), "set-up failed " + m_watch.folderText() + file.name + ": " +
                                        std::to_string(file.error));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_out.path()), {}), 0);
    }
    // All held back and still there; none reported again.
    const std::size_t reported = Reports().size();
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(Reports().size(), reported);
    for (const auto& file : files) {
        EXPECT_EQ(ReadFile(m_watch.file(file.name)), file.bytes);
    }
}

}  // namespace
}  // namespace skedora
