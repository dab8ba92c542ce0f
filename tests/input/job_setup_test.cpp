#include <gtest/gtest.h>

#include "app/application.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

using test::FileLines;

TEST(ManualOutputPath, ReplacesTheBareNamesExtensionOnly) {
    const std::pair<ChosenFile, std::optional<std::string>> cases[] = {
        {{"/my.data/week1.csv", "week1.csv"}, "/my.data/week1.CP2"},
        {{"/sched/week.1.Csv", "week.1.Csv"}, "/sched/week.1.CP2"},
        {{"  /sched/week1.dbf  ", "week1.dbf"}, "/sched/week1.CP2"},
        {{"/my.data/week1", "week1"}, std::nullopt},
        {{"/sched/.csv", ".csv"}, "/sched/.CP2"},
    };
    for (const auto& [chosen, output] : cases) {
        EXPECT_EQ(Application::ManualOutputPath(chosen), output) << chosen.path;
    }
}

struct JobSetUpTest : ::testing::Test, test::TestApp {
    void Choose(const std::string& name) {
        platform->chooser.answer = ChosenFile{data.file(name).string(), name};
    }
    const std::vector<std::string>& Boxes() const { return platform->messages.boxes; }
};

TEST_F(JobSetUpTest, OpenConvertsTheChosenFileBesideItOrShowsTheErrorBox) {
    test::WriteCsvSchedule(data.file("Week1.Csv"), {{}, {}});
    Choose("Week1.Csv");
    platform->status.changes.clear();
    app->OpenScheduleCommand();
    ASSERT_TRUE(app->IsJobRunning());
    EXPECT_EQ(app->job().InputFileTitle, "Week1.Csv");
    EXPECT_EQ(platform->status.changes,
              (std::vector<std::string>{"lblFILE(1)=" + data.file("Week1.Csv").string(),
                                        "lblFILE(2)=" + data.file("Week1.CP2").string()}));
    app->OpenScheduleCommand();  // while the job runs: not even the dialog
    EXPECT_EQ(platform->chooser.shown, 1);
    test::RunJob(*app);
    EXPECT_EQ(FileLines(data.file("Week1.CP2")).size(), 3u);

    platform->chooser.answer.reset();  // cancelled: nothing happens
    const auto captions = platform->status.changes.size();
    app->OpenScheduleCommand();
    EXPECT_EQ(platform->chooser.shown, 2);
    EXPECT_EQ(platform->status.changes.size(), captions);
    EXPECT_TRUE(Boxes().empty());

    test::WriteFile(data.file("notes.txt"), "hello");  // failures: the error box, no job
    for (const char* name : {"notes.txt", "missing.dbf"}) {
        Choose(name);
        app->OpenScheduleCommand();
    }
    EXPECT_EQ(Boxes(), (std::vector<std::string>{
                           "Error.|Error! (Only .DBF and .CSV schedule files can be converted).  "
                           "Error number =  5.  Error Source = Skedora",
                           "Error.|Error! (File not found).  Error number =  53.  Error Source = "
                           "Skedora"}));
    EXPECT_FALSE(app->IsJobRunning());
    EXPECT_FALSE(exists(data.file("notes.CP2")) || exists(data.file("missing.CP2")));
}

TEST_F(JobSetUpTest, OpenRefusesThePickWhenThePollStartedAJobMeanwhile) {
    test::WriteCsvSchedule(watch.file("AUTO.CSV"), {{}, {}});
    test::WriteCsvSchedule(data.file("mine.csv"), {{}});
    Choose("mine.csv");
    platform->chooser.whileShown = [&] { app->PollWatchFolder(); };
    app->OpenScheduleCommand();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find("A conversion is running"), std::string::npos);
    EXPECT_EQ(app->job().InputFileTitle, "AUTO.CSV");
    test::RunJob(*app);
    EXPECT_EQ(FileLines(out.file("AUTO.CP2")).size(), 3u);
    EXPECT_FALSE(exists(data.file("mine.CP2")));
}

TEST_F(JobSetUpTest, AutomaticOutputNamesWithAndWithoutTheDatePrefix) {
    Settings().OutPath = " /out/ ";
    EXPECT_EQ(app->AutomaticOutputPath("WEEK1.DBF"), "/out/WEEK1.CP2");
    Settings().PrefixDate = true;
    EXPECT_EQ(app->AutomaticOutputPath(" WEEK1.CSV "), "/out/20240305140709WEEK1.CP2");
    platform->clock.local = {2031, 12, 1, 0, 0, 5};
    Settings().OutPath = "";  // the watch folder
    EXPECT_EQ(app->AutomaticOutputPath("a.csv"), watch.folderText() + "20311201000005a.CP2");
}

}  // namespace
}  // namespace skedora
