#include <gtest/gtest.h>

#include "engine/application.h"
#include "input/csv_reader.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::FileLines;
using test::TestEvent;

TEST(ManualOutputPath, ReplacesTheBareNamesExtensionOnly) {
    const struct {
        ChosenFile chosen;
        std::optional<std::string> output;
    } cases[] = {
        {{"/sched/week1.dbf", "week1.dbf"}, "/sched/week1.CP2"},
        {{"/my.data/week1.csv", "week1.csv"}, "/my.data/week1.CP2"},
        {{"/sched/week.1.Csv", "week.1.Csv"}, "/sched/week.1.CP2"},
        {{"  /sched/week1.csv  ", "week1.csv"}, "/sched/week1.CP2"},
        {{"/my.data/week1", "week1"}, std::nullopt},
        {{"/sched/.csv", ".csv"}, "/sched/.CP2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Application::ManualOutputPath(c.chosen), c.output) << c.chosen.path;
    }
}

class JobSetUpTest : public ::testing::Test {
  protected:
    JobSetUpTest() : m_app(m_home.path(), m_platform.For()) {
        m_app.StartUp();
        auto& settings = m_app.rules().AutoLoadSettings;
        settings.Path = m_watch.folderText();
        settings.OutPath = m_out.folderText();
    }

    void Choose(const std::string& name) {
        m_platform.chooser.answer = ChosenFile{m_data.file(name).string(), name};
    }
    std::string BoxText() const {
        return m_platform.messages.texts.empty() ? "" : m_platform.messages.texts.back();
    }

    test::TempDir m_home;
    test::TempDir m_data;
    test::TempDir m_watch;
    test::TempDir m_out;
    test::FakePlatform m_platform;
    Application m_app;
};

TEST_F(JobSetUpTest, OpenConvertsTheChosenFileBesideIt) {
    test::WriteCsvSchedule(m_data.file("Week1.Csv"), {{}, {}});
    Choose("Week1.Csv");
    m_app.OpenScheduleCommand();
    EXPECT_EQ(m_platform.chooser.lastFilter, "Skedora (*.dbf;*.csv)|*.dbf;*.csv");
    EXPECT_TRUE(m_app.IsJobRunning());
    EXPECT_EQ(m_app.job().InputFileTitle, "Week1.Csv");
    EXPECT_EQ(m_platform.status.Caption(StatusLabel::lblFILE, 1), m_data.file("Week1.Csv"));
    EXPECT_EQ(m_platform.status.Caption(StatusLabel::lblFILE, 2), m_data.file("Week1.CP2"));
    test::RunJob(m_app);
    EXPECT_EQ(FileLines(m_data.file("Week1.CP2")).size(), 3u);
    EXPECT_TRUE(m_platform.messages.texts.empty());
}

TEST_F(JobSetUpTest, OpenReadsDbaseTables) {
    test::WriteDbfSchedule(m_data.file("WEEK1.DBF"), {{}, {"WABC", "", "12", "x"}, {}});
    Choose("WEEK1.DBF");
    m_app.OpenScheduleCommand();
    ASSERT_TRUE(m_platform.messages.texts.empty()) << BoxText();
    test::RunJob(m_app);
    EXPECT_EQ(FileLines(m_data.file("WEEK1.CP2")).size(), 3u);
    EXPECT_EQ(m_platform.listener.reports.at(0).skipped, 1);
}

TEST_F(JobSetUpTest, OpenDoesNothingWhileAJobRunsAndNothingWhenCancelled) {
    test::WriteCsvSchedule(m_data.file("a.csv"), {{}});
    Choose("a.csv");
    m_app.OpenScheduleCommand();
    ASSERT_TRUE(m_app.IsJobRunning());
    m_app.OpenScheduleCommand();
    EXPECT_EQ(m_platform.chooser.shown, 1);
    test::RunJob(m_app);

    m_platform.chooser.answer.reset();
    const auto captions = m_platform.status.changes.size();
    m_app.OpenScheduleCommand();
    EXPECT_EQ(m_platform.chooser.shown, 2);
    EXPECT_FALSE(m_app.IsJobRunning());
    EXPECT_EQ(m_platform.status.changes.size(), captions);
    EXPECT_TRUE(m_platform.messages.texts.empty());
}

TEST_F(JobSetUpTest, OpenShowsTheErrorBoxAndStartsNothing) {
    test::WriteFile(m_data.file("notes.txt"), "hello");
    test::WriteFile(m_data.file("README"), "hello");
    test::WriteCsvSchedule(m_data.file("big.csv"),
                           std::vector<TestEvent>(EventTable::kMaxEvents + 1));
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"README",
         "Error! (Invalid procedure call or argument).  Error number =  5.  Error Source = "
         "Skedora"},
        {"notes.txt",
         "Error! (Only .DBF and .CSV schedule files can be converted).  Error number =  5.  "
         "Error Source = Skedora"},
        {"missing.csv", "Error number =  53."},
        {"missing.dbf", "Error number =  53."},
        {"big.csv", "Error number =  6."},
    };
    for (const auto& c : cases) {
        Choose(c.name);
        m_app.OpenScheduleCommand();
        EXPECT_NE(BoxText().find(c.text), std::string::npos) << c.name << ": " << BoxText();
        EXPECT_EQ(m_platform.messages.titles.back(), "Error.");
        EXPECT_FALSE(m_app.IsJobRunning()) << c.name;
    }
    EXPECT_EQ(m_platform.messages.texts.size(), std::size(cases));
    for (const char* output : {"README.CP2", "notes.CP2", "missing.CP2", "big.CP2"}) {
        EXPECT_FALSE(std::filesystem::exists(m_data.file(output))) << output;
    }
}

TEST_F(JobSetUpTest, OpenRefusesThePickWhenThePollStartedAJobMeanwhile) {
    test::WriteCsvSchedule(m_watch.file("AUTO.CSV"), {{}, {}});
    test::WriteCsvSchedule(m_data.file("mine.csv"), {{}});
    m_app.rules().AutoLoadSettings.CSV = true;
    Choose("mine.csv");
    m_platform.chooser.whileShown = [&] { m_app.PollWatchFolder(); };
    m_app.OpenScheduleCommand();

    ASSERT_EQ(m_platform.messages.texts.size(), 1u);
    EXPECT_NE(BoxText().find("A conversion is running"), std::string::npos);
    EXPECT_EQ(m_app.job().InputFileTitle, "AUTO.CSV");
    test::RunJob(m_app);
    EXPECT_EQ(FileLines(m_out.file("AUTO.CP2")).size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(m_data.file("mine.CP2")));
}

TEST_F(JobSetUpTest, AnOutputThatCannotBeCreatedIsReportedAndThePassStillRuns) {
    test::WriteCsvSchedule(m_data.file("week1.csv"), {{}, {}});
    std::filesystem::create_directory(m_data.file("week1.CP2"));
    Choose("week1.csv");
    m_app.OpenScheduleCommand();
    EXPECT_NE(BoxText().find("Error number =  75."), std::string::npos) << BoxText();
    EXPECT_TRUE(m_app.IsJobRunning());
    EXPECT_EQ(test::RunJob(m_app), 3);
    ASSERT_TRUE(m_platform.listener.reports.at(0).failure.has_value());
}

TEST_F(JobSetUpTest, AutomaticOutputNamesWithAndWithoutTheDatePrefix) {
    auto& settings = m_app.rules().AutoLoadSettings;
    settings.OutPath = " /out/ ";
    EXPECT_EQ(m_app.AutomaticOutputPath("WEEK1.DBF"), "/out/WEEK1.CP2");
    settings.PrefixDate = true;
    EXPECT_EQ(m_app.AutomaticOutputPath(" WEEK1.CSV "), "/out/20240305140709WEEK1.CP2");
    m_platform.clock.local = {2031, 12, 1, 0, 0, 5};
    EXPECT_EQ(m_app.AutomaticOutputPath("a.csv"), "/out/20311201000005a.CP2");
    settings.OutPath = "";
    settings.PrefixDate = false;
    EXPECT_EQ(m_app.AutomaticOutputPath("a.csv"), m_watch.folderText() + "a.CP2");
}

TEST_F(JobSetUpTest, AutomaticLoadersReportWhetherTheJobStarted) {
    test::WriteCsvSchedule(m_watch.file("A.CSV"), {{}});
    test::WriteDbfSchedule(m_watch.file("B.DBF"), {{}});
    EXPECT_TRUE(m_app.LoadCsvSchedule("A.CSV"));
    EXPECT_EQ(m_platform.status.Caption(StatusLabel::lblFILE, 1), m_watch.folderText() + "A.CSV");
    EXPECT_EQ(m_platform.status.Caption(StatusLabel::lblFILE, 2), m_out.folderText() + "A.CP2");
    test::RunJob(m_app);
    EXPECT_TRUE(m_app.LoadDbaseSchedule("B.DBF"));
    test::RunJob(m_app);
    EXPECT_EQ(FileLines(m_out.file("B.CP2")).size(), 2u);

    // A missing file: no job, no output, no message.
    EXPECT_FALSE(m_app.LoadCsvSchedule("C.CSV"));
    EXPECT_FALSE(m_app.LoadDbaseSchedule("D.DBF"));
    EXPECT_FALSE(m_app.IsJobRunning());
    EXPECT_FALSE(std::filesystem::exists(m_out.file("C.CP2")));
    EXPECT_FALSE(std::filesystem::exists(m_out.file("D.CP2")));
    EXPECT_TRUE(m_platform.messages.texts.empty());
}

}  // namespace
}  // namespace skedora
