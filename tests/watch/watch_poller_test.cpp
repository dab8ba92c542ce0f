#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>

#include "engine/application.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TestEvent;

class WatchPollerTest : public ::testing::Test {
  protected:
    WatchPollerTest() { Restart(); }

    /** A fresh application on the same home folder, as after a program restart. */
    void Restart() {
        m_app.reset();
        m_platform = std::make_unique<test::FakePlatform>();
        m_app = std::make_unique<Application>(m_home.path(), m_platform->For());
        m_app->StartUp();
        auto& settings = m_app->rules().AutoLoadSettings;
        settings.Path = m_watch.folderText();
        settings.OutPath = m_out.folderText();
        settings.DBF = true;
        settings.CSV = true;
        settings.Delete = false;
        settings.PrefixDate = false;
    }

    void AddCsv(const std::string& name) { test::WriteCsvSchedule(m_watch.file(name), {{}}); }
    void AddDbf(const std::string& name) { test::WriteDbfSchedule(m_watch.file(name), {{}}); }
    bool InWatch(const std::string& name) const {
        return std::filesystem::exists(m_watch.file(name));
    }

    /** One poll, then the job it started (if any) to its end: the input's bare name or "". */
    std::string PollAndConvert() {
        m_app->PollWatchFolder();
        if (!m_app->IsJobRunning()) {
            return "";
        }
        const std::string name = m_app->job().InputFileTitle;
        test::RunJob(*m_app);
        return name;
    }
    std::string FileList() const { return ReadFile(m_home.file("FileList.txt")); }
    AutoLoadSettingsGroup& Settings() { return m_app->rules().AutoLoadSettings; }

    test::TempDir m_home;
    test::TempDir m_watch;
    test::TempDir m_out;
    std::unique_ptr<test::FakePlatform> m_platform;
    std::unique_ptr<Application> m_app;
};

TEST_F(WatchPollerTest, DoesNothingWithBothKindsOffOrAnEmptyFolder) {
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_FALSE(std::filesystem::exists(m_home.file("FileList.txt")));
    AddDbf("A.DBF");
    AddCsv("B.CSV");
    Settings().DBF = false;
    Settings().CSV = false;
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_FALSE(std::filesystem::exists(m_home.file("FileList.txt")));
}

TEST_F(WatchPollerTest, ConvertsANewFileOnceAlsoAcrossARestart) {
    AddDbf("A.DBF");
    m_app->PollWatchFolder();
    ASSERT_TRUE(m_app->IsJobRunning());
    // The name is saved before the conversion runs.
    EXPECT_EQ(FileList(), "A.DBF\r\n");
    test::RunJob(*m_app);
    EXPECT_EQ(test::FileLines(m_out.file("A.CP2")).size(), 2u);
    EXPECT_EQ(PollAndConvert(), "");

    ASSERT_EQ(m_app->SaveSettings(), std::nullopt);
    Restart();
    EXPECT_EQ(m_app->fileList().Names(), std::vector<std::string>{"A.DBF"});
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList(), "A.DBF\r\n");
    EXPECT_TRUE(InWatch("A.DBF"));
}

TEST_F(WatchPollerTest, OneJobPerPollDbaseFirstThenNameOrder) {
    AddCsv("A.CSV");
    AddDbf("C.DBF");
    AddDbf("b.dbf");
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    EXPECT_EQ(PollAndConvert(), "b.dbf");
    EXPECT_EQ(PollAndConvert(), "C.DBF");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList(), "A.DBF\r\nb.dbf\r\nC.DBF\r\nA.CSV\r\n");
}

TEST_F(WatchPollerTest, PollsDoNothingWhileAJobRuns) {
    AddDbf("A.DBF");
    m_app->PollWatchFolder();
    ASSERT_TRUE(m_app->IsJobRunning());
    AddCsv("B.CSV");
    m_app->PollWatchFolder();
    EXPECT_EQ(m_app->job().InputFileTitle, "A.DBF");
    EXPECT_EQ(FileList(), "A.DBF\r\n");
    test::RunJob(*m_app);
    EXPECT_EQ(PollAndConvert(), "B.CSV");
}

TEST_F(WatchPollerTest, ForgetsNamesThatLeftTheFolder) {
    AddDbf("A.DBF");
    AddDbf("B.DBF");
    PollAndConvert();
    PollAndConvert();
    ASSERT_EQ(FileList(), "A.DBF\r\nB.DBF\r\n");
    std::filesystem::remove(m_watch.file("A.DBF"));
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(FileList(), "B.DBF\r\n");
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
}

TEST_F(WatchPollerTest, NamesDifferingInCaseAreDifferentFiles) {
    AddDbf("a.dbf");
    EXPECT_EQ(PollAndConvert(), "a.dbf");
    std::filesystem::remove(m_watch.file("a.dbf"));
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
}

TEST_F(WatchPollerTest, KnownFilesOfTheOtherKindAreNeverConvertedAgain) {
    AddDbf("A.DBF");
    AddCsv("B.CSV");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    EXPECT_EQ(PollAndConvert(), "B.CSV");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(PollAndConvert(), "");
    }
    EXPECT_EQ(FileList(), "A.DBF\r\nB.CSV\r\n");
}

TEST_F(WatchPollerTest, WithDeleteOnEveryFileIsConvertedAndDeletedAfterItsJob) {
    Settings().Delete = true;
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    EXPECT_FALSE(InWatch("A.DBF"));

    // Known or not, a listed file is converted; it stays until its output is complete.
    AddDbf("A.DBF");
    AddCsv("B.CSV");
    m_app->PollWatchFolder();
    ASSERT_TRUE(m_app->IsJobRunning());
    EXPECT_TRUE(InWatch("A.DBF"));
    test::RunJob(*m_app);
    EXPECT_FALSE(InWatch("A.DBF"));
    EXPECT_EQ(PollAndConvert(), "B.CSV");
    EXPECT_FALSE(InWatch("B.CSV"));
    EXPECT_EQ(FileList(), "A.DBF\r\nB.CSV\r\n");

    // Delete switched off: a new file under a remembered name is left alone.
    Settings().Delete = false;
    AddCsv("B.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_TRUE(InWatch("B.CSV"));
}

TEST_F(WatchPollerTest, WithDeleteOnAFailedSetUpKeepsTheSourceAndHoldsItBack) {
    Settings().Delete = true;
    test::WriteFile(m_watch.file("A.DBF"), "not a table");
    AddDbf("B.DBF");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_TRUE(InWatch("A.DBF"));
    EXPECT_EQ(PollAndConvert(), "B.DBF");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_TRUE(InWatch("A.DBF"));
    EXPECT_EQ(m_platform->listener.lines.front().rfind("set-up failed", 0), 0u);

    // A file copied in anew under the same name is tried again.
    std::filesystem::remove(m_watch.file("A.DBF"));
    EXPECT_EQ(PollAndConvert(), "");
    AddDbf("A.DBF");
    EXPECT_EQ(PollAndConvert(), "A.DBF");
    EXPECT_FALSE(InWatch("A.DBF"));
}

TEST_F(WatchPollerTest, WithDeleteOnAFailedDeletionIsNotConvertedAgain) {
    Settings().Delete = true;
    AddCsv("A.CSV");
    m_platform->files.failingDeletes.insert(m_watch.folderText() + "A.CSV");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_TRUE(InWatch("A.CSV"));
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(m_platform->listener.reports.size(), 1u);
}

TEST_F(WatchPollerTest, WithDeleteOnAFailedWriteKeepsTheSource) {
    Settings().Delete = true;
    AddCsv("A.CSV");
    std::filesystem::create_symlink("/dev/full", m_out.file("A.CP2"));
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    ASSERT_EQ(m_platform->listener.reports.size(), 1u);
    EXPECT_TRUE(m_platform->listener.reports[0].failure.has_value());
    EXPECT_TRUE(InWatch("A.CSV"));
    EXPECT_TRUE(m_platform->files.deleted.empty());
    EXPECT_EQ(PollAndConvert(), "");

    // After a restart the source is converted again.
    std::filesystem::remove(m_out.file("A.CP2"));
    Restart();
    Settings().Delete = true;
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_FALSE(InWatch("A.CSV"));
}

TEST_F(WatchPollerTest, WithDeleteOnAnExitDuringTheJobKeepsTheSource) {
    Settings().Delete = true;
    test::WriteCsvSchedule(m_watch.file("A.CSV"), {{}, {}, {}});
    m_app->PollWatchFolder();
    m_app->ConversionTick();
    m_app->CloseOpenFiles();
    EXPECT_TRUE(InWatch("A.CSV"));
    EXPECT_FALSE(m_app->IsJobRunning());
}

TEST_F(WatchPollerTest, AFileStillBeingCopiedIsLeftForALaterPoll) {
    AddDbf("KNOWN.DBF");
    EXPECT_EQ(PollAndConvert(), "KNOWN.DBF");
    m_platform->clock.now = std::chrono::system_clock::now();
    AddDbf("KNOWN.DBF");  // written again just now
    AddDbf("NEW.DBF");
    EXPECT_EQ(PollAndConvert(), "");
    // Counted as seen: neither forgotten nor added.
    EXPECT_EQ(FileList(), "KNOWN.DBF\r\n");
    m_platform->clock.now += std::chrono::seconds(3);
    EXPECT_EQ(PollAndConvert(), "NEW.DBF");
}

TEST_F(WatchPollerTest, AnEmptyWatchFolderSettingWatchesNothing) {
    test::TempDir current;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(current.path());
    test::WriteCsvSchedule(current.file("A.CSV"), {{}});
    Settings().Path = "";
    Settings().Delete = true;
    EXPECT_EQ(PollAndConvert(), "");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::exists(current.file("A.CSV")));
}

TEST_F(WatchPollerTest, AnEmptyOutputFolderPutsOutputsInTheWatchFolder) {
    Settings().OutPath = "";
    Settings().PrefixDate = true;
    AddCsv("A.CSV");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_TRUE(InWatch("20240305140709A.CP2"));
}

TEST_F(WatchPollerTest, FoldersWithoutTheirFinalSeparatorStillNameTheFolders) {
    // As a hand-edited SK.ini or an imported SKCONV.INI may hold them.
    Settings().Path = m_watch.path().string();
    Settings().OutPath = " " + m_out.path().string() + " ";
    Settings().Delete = true;
    AddCsv("A.CSV");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(test::FileLines(m_out.file("A.CP2")).size(), 2u);
    EXPECT_FALSE(InWatch("A.CSV"));
}

TEST_F(WatchPollerTest, HiddenFilesAndFoldersAreNotListed) {
    AddCsv(".hidden.csv");
    std::filesystem::create_directory(m_watch.file("folder.csv"));
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_FALSE(std::filesystem::exists(m_home.file("FileList.txt")));
}

}  // namespace
}  // namespace skedora
