#include "engine/conversion_pass.h"

#include <gtest/gtest.h>

#include "input/csv_reader.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::TestEvent;

struct PassRecorder : PassObserver {
    void EventSkipped(int record) override { lines.push_back("skipped " + std::to_string(record)); }
    void EventRead(int record, const ScheduleRecord& event) override {
        lines.push_back("read " + std::to_string(record) + " " + event.fchnm_hd);
    }
    void EventDeleted(int record, const ScheduleRecord&) override {
        lines.push_back("deleted " + std::to_string(record));
    }
    void EventWritten(int record, int outputCount, const ScheduleRecord& event,
                      std::string_view) override {
        lines.push_back("written " + std::to_string(record) + " as " + std::to_string(outputCount) +
                        " " + event.fchnm_hd);
    }
    std::vector<std::string> lines;
};

struct ConversionPassTest : ::testing::Test {
    std::filesystem::path Begin(const std::vector<TestEvent>& events) {
        test::WriteCsvSchedule(dir.file("week1.csv"), events);
        EXPECT_EQ(ReadCsvSchedule(dir.file("week1.csv").string(), pass.Job().Events), std::nullopt);
        EXPECT_EQ(pass.Begin("week1.csv", dir.file("week1.CP2").string()), std::nullopt);
        return dir.file("week1.CP2");
    }

    test::TempDir dir;
    RuleSet rules;
    PassRecorder recorder;
    ConversionPass pass{rules, recorder};
};

TEST_F(ConversionPassTest, SkipsDeletesChangesAndWritesEachEventInOrder) {
    rules.DeleteCallLetterRules[1] = {"WDEL", "12"};
    rules.ChangeCallLetterRules[1] = {"wxyz", "12", "kxyz"};
    const auto output = Begin({{"WABC", "WXYZ", "12", "One"},
                               {"WABC", "   ", "12", "Blank"},
                               {"WDEL", "WXYZ", "12", "Gone"},
                               {"WABC", "WQQQ", "0012", "Four"},
                               {"WABC", "WXYZ", "12", "Five"}});
    while (pass.IsRunning()) {
        pass.Tick();
    }
    EXPECT_EQ(test::ReadFile(output),
              "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,"
              "tochnm_hd,fch,fchnm_hd,co,systemname,U1,U2\r\n"
              "1,03/05/2024,TUE,10:00:00,11:00:00,One,,,,,7,WABC,5,KXYZ,12,SYS,,,\r\n"
              "4,03/05/2024,TUE,10:00:00,11:00:00,Four,,,,,7,WABC,5,WQQQ,0012,SYS,,,\r\n"
              "5,03/05/2024,TUE,10:00:00,11:00:00,Five,,,,,7,WABC,5,KXYZ,12,SYS,,,\r\n");
    EXPECT_EQ(recorder.lines,
              (std::vector<std::string>{
                  "read 1 WXYZ", "written 1 as 1 KXYZ", "skipped 2", "read 3 WXYZ", "deleted 3",
                  "read 4 WQQQ", "written 4 as 2 WQQQ", "read 5 WXYZ", "written 5 as 3 KXYZ"}));
    EXPECT_EQ(pass.Result().failure, std::nullopt);
    EXPECT_TRUE(pass.Job().InputFileTitle.empty());
}

TEST_F(ConversionPassTest, ARuleSavedDuringThePassAppliesFromTheNextEventOn) {
    const auto output = Begin({{}, {}, {}});
    pass.Tick();
    rules.DeleteCallLetterRules[1] = {"WABC", "12"};
    while (pass.IsRunning()) {
        pass.Tick();
    }
    EXPECT_EQ(test::FileLines(output).size(), 2u);
}

TEST_F(ConversionPassTest, BurstsEndThePassOverTheLargestTable) {
    const auto output = Begin(std::vector<TestEvent>(EventTable::kMaxEvents));
    while (pass.IsRunning()) {
        pass.RunBurst(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(test::FileLines(output).size(), EventTable::kMaxEvents + 1u);
    EXPECT_EQ(pass.Result().failure, std::nullopt);
}

}  // namespace
}  // namespace skedora
