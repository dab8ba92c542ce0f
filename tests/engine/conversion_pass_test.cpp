#include "engine/conversion_pass.h"

#include <gtest/gtest.h>

#include "input/csv_reader.h"
#include "support/schedule_files.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

/** Each event written, and as which output line (the window counts them). */
struct WrittenRecorder : PassObserver {
    void EventWritten(int record, int outputCount, const ScheduleRecord& event,
                      std::string_view) override {
        lines.push_back(std::to_string(record) + " as " + std::to_string(outputCount) + " " +
                        event.fchnm_hd);
    }
    std::vector<std::string> lines;
};

struct ConversionPassTest : ::testing::Test {
    std::filesystem::path Begin(const std::vector<test::TestEvent>& events) {
        test::WriteCsvSchedule(dir.file("week1.csv"), events);
        EXPECT_EQ(ReadCsvSchedule(dir.file("week1.csv").string(), pass.Job().Events), std::nullopt);
        EXPECT_EQ(pass.Begin("week1.csv", dir.file("week1.CP2").string()), std::nullopt);
        return dir.file("week1.CP2");
    }

    test::TempDir dir;
    RuleSet rules;
    WrittenRecorder recorder;
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
    // The other reports are checked through the audit (tests/app/rule_audit_test.cpp).
    EXPECT_EQ(recorder.lines,
              (std::vector<std::string>{"1 as 1 KXYZ", "4 as 2 WQQQ", "5 as 3 KXYZ"}));
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

}  // namespace
}  // namespace skedora
