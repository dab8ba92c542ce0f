#include <gtest/gtest.h>

#include "engine/application.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

using test::FileLines;
using test::TestEvent;

TEST(ManualOutputPath, ReplacesTheBareNamesExtensionOnly) {
    const struct {
        ChosenFile chosen;
        std::optional<std::string> output;
    } cases[] = {
        {{"/my.data/week1.csv", "week1.csv"}, "/my.data/week1.CP2"},
        {{"/sched/week.1.Csv", "week.1.Csv"}, "/sched/week.1.CP2"},
        {{"  /sched/week1.dbf  ", "week1.dbf"}, "/sched/week1.CP2"},
        {{"/my.data/week1", "week1"}, std::nullopt},
        {{"/sched/.csv", ".csv"}, "/sched/.CP2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Application::ManualOutputPath(c.chosen), c.output) << c.chosen.path;
    }
}

struct JobSetUpTest : ::testing::Test, test::TestApp {
    void Choose(const std::string& name) {
        platform->chooser.answer = ChosenFile{data.file(name).string(), name};
    }
    const std::vector<std::string>& Boxes() const { return platform->messages.boxes; }
};

TEST_F(JobSetUpTest, OpenConvertsTheChosenFileBesideItOnlyWhenNoJobRuns) {
    test::WriteCsvSchedule(data.file("Week1.Csv"), {{}, {}});
    Choose("Week1.Csv");
    app->OpenScheduleCommand();
    ASSERT_TRUE(app->IsJobRunning());
    EXPECT_EQ(app->job().InputFileTitle, "Week1.Csv");
    EXPECT_EQ(platform->status.Caption(StatusLabel::lblFILE, 1), data.file("Week1.Csv"));
    EXPECT_EQ(platform->status.Caption(StatusLabel::lblFILE, 2), data.file("Week1.CP2"));
    app->OpenScheduleCommand();  // while the job runs: not even the dialog
    EXPECT_EQ(platform->chooser.shown, 1);
    test::RunJob(*app);
    EXPECT_EQ(FileLines(data.file("Week1.CP2")).size(), 3u);

    platform->chooser.answer.reset();  // cancelled: nothing happens
    const auto captions = platform->status.changes.size();
    app->OpenScheduleCommand();
    EXPECT_EQ(platform->chooser.shown, 2);
    EXPECT_FALSE(app->IsJobRunning());
    EXPECT_EQ(platform->status.changes.size(), captions);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(JobSetUpTest, OpenShowsTheErrorBoxAndStartsNothing) {
    test::WriteFile(data.file("notes.txt"), "hello");
    test::WriteFile(data.file("README"), "hello");
    test::WriteCsvSchedule(data.file("big.csv"),
                           std::vector<TestEvent>(EventTable::kMaxEvents + 1));
    const std::pair<const char*, const char*> cases[] = {
        {"README",
         "Error.|Error! (Invalid procedure call or argument).  Error number =  5.  Error Source = "
         "Skedora"},
        {"notes.txt",
         "Error.|Error! (Only .DBF and .CSV schedule files can be converted).  Error number =  5."
         "  Error Source = Skedora"},
        {"missing.csv",
         "Error.|Error! (File not found).  Error number =  53.  Error Source = Skedora"},
        {"missing.dbf",
         "Error.|Error! (File not found).  Error number =  53.  Error Source = Skedora"},
        {"big.csv", "Error.|Error! (Overflow).  Error number =  6.  Error Source = Skedora"},
    };
    for (const auto& [name, box] : cases) {
        Choose(name);
        app->OpenScheduleCommand();
        ASSERT_FALSE(Boxes().empty());
        EXPECT_EQ(Boxes().back(), box);
        EXPECT_FALSE(app->IsJobRunning()) << name;
    }
    EXPECT_EQ(Boxes().size(), std::size(cases));
    for (const char* output : {"README.CP2", "notes.CP2", "missing.CP2", "big.CP2"}) {
        EXPECT_FALSE(std::filesystem::exists(data.file(output))) << output;
    }
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
    EXPECT_FALSE(std::filesystem::exists(data.file("mine.CP2")));
}

TEST_F(JobSetUpTest, AnOutputThatCannotBeCreatedIsReportedAndNoSuccess) {
    test::WriteCsvSchedule(data.file("week1.csv"), {{}, {}});
    std::filesystem::create_directory(data.file("week1.CP2"));
    Choose("week1.csv");
    app->OpenScheduleCommand();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].find("Error number =  75."), std::string::npos) << Boxes()[0];
    EXPECT_EQ(test::RunJob(*app), 3);  // the pass still runs, as the window shows it
    ASSERT_TRUE(platform->listener.reports.at(0).failure.has_value());
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

TEST_F(JobSetUpTest, AutomaticLoadersReportWhetherTheJobStarted) {
    test::WriteCsvSchedule(watch.file("A.CSV"), {{}});
    test::WriteDbfSchedule(watch.file("B.DBF"), {{}, {"WABC", "", "12", "x"}});
    EXPECT_TRUE(app->LoadCsvSchedule("A.CSV"));
    EXPECT_EQ(platform->status.Caption(StatusLabel::lblFILE, 1), watch.folderText() + "A.CSV");
    EXPECT_EQ(platform->status.Caption(StatusLabel::lblFILE, 2), out.folderText() + "A.CP2");
    test::RunJob(*app);
    EXPECT_TRUE(app->LoadDbaseSchedule("B.DBF"));
    test::RunJob(*app);
    EXPECT_EQ(FileLines(out.file("B.CP2")).size(), 2u);
    EXPECT_EQ(platform->listener.reports.at(1).skipped, 1);

    // A missing file: no job, no output, no message.
    EXPECT_FALSE(app->LoadCsvSchedule("C.CSV"));
    EXPECT_FALSE(app->LoadDbaseSchedule("D.DBF"));
    EXPECT_FALSE(app->IsJobRunning());
    EXPECT_FALSE(std::filesystem::exists(out.file("C.CP2")));
    EXPECT_FALSE(std::filesystem::exists(out.file("D.CP2")));
    EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace skedora
