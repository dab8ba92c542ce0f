#include <gtest/gtest.h>

#include "app/application.h"
#include "engine/conversion_burst.h"
#include "input/csv_reader.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

using test::TestEvent;

struct ConversionPassTest : ::testing::Test, test::TestApp {
    /** Opens the CSV schedule as the Open command would; the output path. */
    std::filesystem::path Open(const std::vector<TestEvent>& events) {
        test::WriteCsvSchedule(data.file("week1.csv"), events);
        EXPECT_TRUE(app->OpenScheduleFile({data.file("week1.csv").string(), "week1.csv"}));
        return data.file("week1.CP2");
    }
};

TEST_F(ConversionPassTest, CountsSkipsAndDeletesAndShowsTheCaptionsInOrder) {
    app->rules().DeleteCallLetterRules[1] = {"WDEL", "12"};
    app->rules().ChangeCallLetterRules[1] = {"wxyz", "12", "kxyz"};
    const auto output = Open({{"WABC", "WXYZ", "12", "One"},
                              {"WABC", "   ", "12", "Blank"},
                              {"WDEL", "WXYZ", "12", "Gone"},
                              {"WABC", "WQQQ", "0012", "Four"},
                              {"WABC", "WXYZ", "12", "Five"}});
    ASSERT_TRUE(app->IsJobRunning());
    platform->status.changes.clear();

    EXPECT_EQ(test::RunJob(*app), 6);
    EXPECT_EQ(app->job().RecordIndex, 6);
    EXPECT_EQ(app->job().OutputCount, 3);
    EXPECT_EQ(test::ReadFile(output),
              std::string(CsvHeaderText()) +
                  "\r\n1,03/05/2024,TUE,10:00:00,11:00:00,One,,,,,7,WABC,5,KXYZ,12,SYS,,,\r\n"
                  "4,03/05/2024,TUE,10:00:00,11:00:00,Four,,,,,7,WABC,5,WQQQ,0012,SYS,,,\r\n"
                  "5,03/05/2024,TUE,10:00:00,11:00:00,Five,,,,,7,WABC,5,KXYZ,12,SYS,,,\r\n");
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
    EXPECT_EQ(platform->status.changes, expected);

    ASSERT_EQ(Reports().size(), 1u);
    const JobReport& report = Reports()[0];
    EXPECT_EQ(report.output, output.string());
    EXPECT_EQ(std::tie(report.read, report.skipped, report.deleted, report.written),
              std::make_tuple(5, 1, 1, 3));
    EXPECT_EQ(report.failure, std::nullopt);
}

TEST_F(ConversionPassTest, AnEmptyTableEndsOnTheFirstTickWithTheHeaderOnly) {
    const auto output = Open({});
    EXPECT_EQ(test::RunJob(*app), 1);
    EXPECT_EQ(test::ReadFile(output), std::string(CsvHeaderText()) + "\r\n");
    EXPECT_EQ(platform->status.changes.size(), 2u + 12u);  // both files shown, then all cleared
    EXPECT_EQ(platform->status.changes.back(), "lblFILE(2)=");
}

TEST_F(ConversionPassTest, ARuleSavedDuringThePassAppliesFromTheNextEventOn) {
    const auto output = Open({{}, {}, {}});
    app->ConversionTick();
    app->rules().DeleteCallLetterRules[1] = {"WABC", "12"};
    test::RunJob(*app);
    EXPECT_EQ(test::FileLines(output).size(), 2u);
    EXPECT_EQ(Reports().at(0).deleted, 2);
}

TEST_F(ConversionPassTest, BurstsOfWholeTicksEndThePassOverTheLargestTable) {
    const auto output = Open(std::vector<TestEvent>(EventTable::kMaxEvents));
    int ticks = 0;
    while (app->IsJobRunning()) {
        ticks += RunConversionBurst(*app, std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ticks, EventTable::kMaxEvents + 1);
    EXPECT_EQ(RunConversionBurst(*app, std::chrono::milliseconds(10)), 0);
    EXPECT_EQ(app->job().OutputCount, EventTable::kMaxEvents);
    EXPECT_EQ(test::FileLines(output).size(), EventTable::kMaxEvents + 1u);
    EXPECT_EQ(Reports().at(0).failure, std::nullopt);
}

}  // namespace
}  // namespace skedora
