// How files arriving and processes ending on a real desk reach the watch folder and the programs.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/fake_platform.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

using test::FileLines;
using test::ReadFile;

struct NoScheduleLostTest : ::testing::Test, test::TestApp {
    void AddCsv(const std::string& name, int events = 1) {
        test::WriteCsvSchedule(watch.file(name), std::vector<test::TestEvent>(events));
    }
    std::string FileList() const { return ReadFile(home.file("FileList.txt")); }
    const std::vector<std::string>& SetUpFailures() const { return ports->observer.setUpFailures; }
};

TEST_F(NoScheduleLostTest, ASourceChangedDuringItsJobIsKeptAndConvertedAgainWhole) {
    for (const bool deleteOn : {true, false}) {
        Restart();
        Settings().Delete = deleteOn;
        AddCsv("A.CSV", 3);
        ASSERT_TRUE(app->PollWatchFolder());
        app->ConversionTick();
        AddCsv("A.CSV", 5);  // the rest of an upload arrives while the job runs
        test::RunJob(*app);
        ASSERT_FALSE(Reports().empty());
        EXPECT_NE(Reports().back().sourceKept, "") << deleteOn;
        EXPECT_TRUE(InWatch("A.CSV")) << deleteOn;
        EXPECT_EQ(FileList().find("A.CSV"), std::string::npos) << deleteOn;
        EXPECT_EQ(PollAndConvert(), "A.CSV") << deleteOn;  // the whole file this time
        EXPECT_EQ(FileLines(out.file("A.CP2")).size(), 6u) << deleteOn;
        EXPECT_EQ(InWatch("A.CSV"), !deleteOn);
        std::filesystem::remove(home.file("FileList.txt"));
        std::filesystem::remove(watch.file("A.CSV"));
    }
}

TEST_F(NoScheduleLostTest, TwoSourcesOfOneOutputConvertTheFirstAndKeepTheSecond) {
    Settings().Delete = true;
    AddCsv("SAME.DBF", 0);
    test::WriteDbfSchedule(watch.file("SAME.DBF"), {{}, {}});
    AddCsv("SAME.CSV", 4);
    EXPECT_EQ(PollAndConvert(), "SAME.DBF");
    EXPECT_EQ(PollAndConvert(), "");
    ASSERT_EQ(SetUpFailures().size(), 1u);
    EXPECT_EQ(SetUpFailures()[0], watch.folderText() + "SAME.CSV: 75");
    EXPECT_EQ(FileLines(out.file("SAME.CP2")).size(), 3u);  // the first output stays
    EXPECT_TRUE(InWatch("SAME.CSV"));
    EXPECT_FALSE(InWatch("SAME.DBF"));
}

TEST_F(NoScheduleLostTest, ANewVersionRenamedInDuringTheJobIsKeptAndConvertedAgain) {
    Settings().Delete = true;
    AddCsv("A.CSV", 2);
    ASSERT_TRUE(app->PollWatchFolder());
    app->ConversionTick();
    AddCsv("A.new", 7);  // same size or not, it is another file under the name
    std::filesystem::rename(watch.file("A.new"), watch.file("A.CSV"));
    test::RunJob(*app);
    ASSERT_EQ(Reports().size(), 1u);
    EXPECT_NE(Reports()[0].sourceKept, "");
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(FileLines(out.file("A.CP2")).size(), 8u);
    EXPECT_FALSE(InWatch("A.CSV"));
}

TEST_F(NoScheduleLostTest, NamesDifferingOnlyInLetterCaseShareAnOutputSoTheSecondIsKept) {
    Settings().Delete = true;
    AddCsv("X.CSV", 2);
    AddCsv("X.csv", 5);
    EXPECT_EQ(PollAndConvert(), "X.CSV");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(SetUpFailures(), std::vector<std::string>{watch.folderText() + "X.csv: 75"});
    EXPECT_EQ(FileLines(out.file("X.CP2")).size(), 3u);
    EXPECT_TRUE(InWatch("X.csv"));
}

TEST_F(NoScheduleLostTest, NamesTheListCannotHoldAreReportedOnceAndLeft) {
    for (const char* name : {"two\nlines.csv", " leading.csv", "trailing.csv "}) {
        AddCsv(name);
    }
    AddCsv("later.csv");  // a real file of what a split name's second line would say
    EXPECT_EQ(PollAndConvert(), "later.csv");
    EXPECT_EQ(PollAndConvert(), "");
    // A trailing blank ends the name past its extension: not a schedule file's name at all.
    EXPECT_EQ(ports->observer.problems.size(), 2u);
    for (const char* name : {"two\nlines.csv", " leading.csv", "trailing.csv "}) {
        EXPECT_TRUE(InWatch(name)) << name;
    }
    EXPECT_EQ(FileList(), "later.csv\r\n");
}

TEST_F(NoScheduleLostTest, AJobCutShortIsConvertedAgainAfterARestart) {
    AddCsv("A.CSV", 4);
    test::WriteFile(out.file("A.CP2"), "an earlier, complete output");
    ASSERT_TRUE(app->PollWatchFolder());
    app->ConversionTick();
    app->CloseOpenFiles();  // the program ends in the middle of the job
    EXPECT_EQ(ReadFile(out.file("A.CP2")), "an earlier, complete output");
    Restart();
    EXPECT_EQ(PollAndConvert(), "A.CSV");
    EXPECT_EQ(FileLines(out.file("A.CP2")).size(), 5u);
}

TEST_F(NoScheduleLostTest, AnUnreadableSettingsFileStopsStartUp) {
    std::filesystem::create_directory(home.file("SK.ini"));
    EXPECT_EQ(app->StartUp()->number, errors::kPathFileAccess);
    EXPECT_FALSE(ports->watchTimer.IsEnabled());
}

}  // namespace
}  // namespace skedora
