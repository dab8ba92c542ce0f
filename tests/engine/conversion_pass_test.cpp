#include <gtest/gtest.h>

#include "engine/application.h"
#include "engine/conversion_burst.h"
#include "input/csv_reader.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::FileLines;
using test::TestEvent;

class ConversionPassTest : public ::testing::Test {
  protected:
    ConversionPassTest() : m_app(m_home.path(), m_platform.For()) { m_app.StartUp(); }

    /** Opens the CSV schedule as the Open command would and returns the output path. */
    std::string Open(const std::vector<TestEvent>& events, const std::string& name = "week1.csv") {
        test::WriteCsvSchedule(m_data.file(name), events);
        EXPECT_TRUE(m_app.OpenScheduleFile({m_data.file(name).string(), name}));
        return m_data.file(name).replace_extension(".CP2").string();
    }

    test::TempDir m_home;
    test::TempDir m_data;
    test::FakePlatform m_platform;
    Application m_app;
};

TEST_F(ConversionPassTest, CountsSkipsAndDeletesAndShowsTheCaptionsInOrder) {
    m_app.rules().DeleteCallLetterRules[1] = {"WDEL", "12"};
    m_app.rules().ChangeCallLetterRules[1] = {"wxyz", "12", "kxyz"};
    const std::string output = Open({{"WABC", "WXYZ", "12", "One"},
                                     {"WABC", "   ", "12", "Blank"},
                                     {"WDEL", "WXYZ", "12", "Gone"},
                                     {"WABC", "WQQQ", "0012", "Four"},
                                     {"WABC", "WXYZ", "12", "Five"}});
    ASSERT_TRUE(m_app.IsJobRunning());
    m_platform.status.changes.clear();

    EXPECT_EQ(test::RunJob(m_app), 6);
    const auto& job = m_app.job();
    EXPECT_EQ(job.RecordIndex, 6);
    EXPECT_EQ(job.OutputCount, 3);
    EXPECT_EQ(job.InputFileTitle, "");

    const auto lines = FileLines(output);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], CsvHeaderText());
    EXPECT_NE(lines[1].find(",One,"), std::string::npos);
    EXPECT_NE(lines[1].find(",KXYZ,"), std::string::npos);
    EXPECT_NE(lines[2].find(",Four,"), std::string::npos);
    EXPECT_NE(lines[3].find(",Five,"), std::string::npos);

    const std::vector<std::string> expected = {
        // Event 1: written.
        "lblRECNUM(1)= 1", "lblCLTO(1)=WABC", "lblCLFROM(1)=WXYZ", "lblCO(1)=12", "lblDESC(1)=One",
        "lblRECNUM(2)= 1", "lblCLTO(2)=WABC", "lblCLFROM(2)=KXYZ", "lblCO(2)=12", "lblDESC(2)=One",
        // Event 2: skipped without a trace. Event 3: shown on the input side only.
        "lblRECNUM(1)= 3", "lblCLTO(1)=WDEL", "lblCLFROM(1)=WXYZ", "lblCO(1)=12", "lblDESC(1)=Gone",
        // Event 4.
        "lblRECNUM(1)= 4", "lblCLTO(1)=WABC", "lblCLFROM(1)=WQQQ", "lblCO(1)=0012",
        "lblDESC(1)=Four", "lblRECNUM(2)= 2", "lblCLTO(2)=WABC", "lblCLFROM(2)=WQQQ",
        "lblCO(2)=0012", "lblDESC(2)=Four",
        // Event 5.
        "lblRECNUM(1)= 5", "lblCLTO(1)=WABC", "lblCLFROM(1)=WXYZ", "lblCO(1)=12", "lblDESC(1)=Five",
        "lblRECNUM(2)= 3", "lblCLTO(2)=WABC", "lblCLFROM(2)=KXYZ", "lblCO(2)=12", "lblDESC(2)=Five",
        // The end clears all twelve, input frame first.
        "lblRECNUM(1)=", "lblCLTO(1)=", "lblCLFROM(1)=", "lblCO(1)=", "lblDESC(1)=", "lblFILE(1)=",
        "lblRECNUM(2)=", "lblCLTO(2)=", "lblCLFROM(2)=", "lblCO(2)=", "lblDESC(2)=", "lblFILE(2)="};
    EXPECT_EQ(m_platform.status.changes, expected);

    ASSERT_EQ(m_platform.listener.reports.size(), 1u);
    const JobReport& report = m_platform.listener.reports[0];
    EXPECT_EQ(report.read, 5);
    EXPECT_EQ(report.skipped, 1);
    EXPECT_EQ(report.deleted, 1);
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(report.failure, std::nullopt);
    EXPECT_EQ(report.output, output);
}

TEST_F(ConversionPassTest, AnEmptyTableEndsOnTheFirstTickWithTheHeaderOnly) {
    const std::string output = Open({});
    EXPECT_EQ(test::RunJob(m_app), 1);
    EXPECT_EQ(FileLines(output), std::vector<std::string>{std::string(CsvHeaderText())});
    for (auto label : {StatusLabel::lblRECNUM, StatusLabel::lblFILE, StatusLabel::lblDESC}) {
        EXPECT_EQ(m_platform.status.Caption(label, 1), "");
        EXPECT_EQ(m_platform.status.Caption(label, 2), "");
    }
    EXPECT_EQ(m_app.job().OutputCount, 0);
    EXPECT_FALSE(m_app.IsJobRunning());
}

TEST_F(ConversionPassTest, ARuleSavedDuringThePassAppliesFromTheNextEventOn) {
    const std::string output = Open({{}, {}, {}});
    m_app.ConversionTick();
    m_app.rules().DeleteCallLetterRules[1] = {"WABC", "12"};
    test::RunJob(m_app);
    EXPECT_EQ(FileLines(output).size(), 2u);
    EXPECT_EQ(m_platform.listener.reports.at(0).deleted, 2);
}

TEST_F(ConversionPassTest, ThePassOverTheLargestTableEndsNormally) {
    const std::string output = Open(std::vector<TestEvent>(EventTable::kMaxEvents));
    EXPECT_EQ(test::RunJob(m_app), EventTable::kMaxEvents + 1);
    EXPECT_EQ(m_app.job().OutputCount, EventTable::kMaxEvents);
    EXPECT_EQ(FileLines(output).size(), EventTable::kMaxEvents + 1u);
    EXPECT_EQ(m_platform.listener.reports.at(0).failure, std::nullopt);
}

TEST_F(ConversionPassTest, BurstsRunWholeTicksUntilTheJobEnds) {
    Open(std::vector<TestEvent>(100));
    int ticks = 0;
    while (m_app.IsJobRunning()) {
        ticks += RunConversionBurst(m_app, std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ticks, 101);
    EXPECT_EQ(RunConversionBurst(m_app, std::chrono::milliseconds(10)), 0);
}

TEST_F(ConversionPassTest, AFailedWriteIsReportedWithItsReason) {
    test::WriteCsvSchedule(m_data.file("week1.csv"), {{}, {}});
    ASSERT_TRUE(m_app.OpenScheduleFile({m_data.file("week1.csv").string(), "week1.csv"},
                                       std::string("/dev/full")));
    test::RunJob(m_app);
    ASSERT_EQ(m_platform.listener.reports.size(), 1u);
    const auto& failure = m_platform.listener.reports[0].failure;
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->number, errors::kPathFileAccess);
    EXPECT_NE(failure->description.find("No space left on device"), std::string::npos)
        << failure->description;
    // The pass itself still walked the whole table.
    EXPECT_EQ(m_app.job().OutputCount, 2);
}

TEST_F(ConversionPassTest, ClosingAtExitKeepsTheLinesWrittenSoFar) {
    const std::string output = Open({{}, {}, {}});
    m_app.ConversionTick();
    m_app.ConversionTick();
    m_app.CloseOpenFiles();
    EXPECT_FALSE(m_app.IsJobRunning());
    EXPECT_EQ(FileLines(output).size(), 3u);
}

}  // namespace
}  // namespace skedora
