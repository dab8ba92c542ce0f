#include <gtest/gtest.h>

#include "app/application.h"
#include "input/output_naming.h"
#include "support/fake_platform.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

TEST(OutputPath, ByHandTheExtensionIsReplacedWatchedTheDateMayLeadTheName) {
    const std::pair<ChosenFile, std::optional<std::string>> cases[] = {
        {{"/my.data/week1.csv", "week1.csv"}, "/my.data/week1.CP2"},
        {{"/sched/week.1.Csv", "week.1.Csv"}, "/sched/week.1.CP2"},
        {{"  /sched/week1.dbf  ", "week1.dbf"}, "/sched/week1.CP2"},
        {{"/my.data/week1", "week1"}, std::nullopt},
        {{"/sched/.csv", ".csv"}, "/sched/.CP2"},
    };
    for (const auto& [chosen, output] : cases) {
        EXPECT_EQ(ManualOutputPath(chosen.path, chosen.name), output) << chosen.path;
    }

    AutoLoadSettingsGroup settings{"/watch", " /out/ ", true, true, false, false};
    const LocalDateTime now{2024, 3, 5, 14, 7, 9};
    EXPECT_EQ(AutomaticOutputPath(settings, "WEEK1.DBF", now), "/out/WEEK1.CP2");
    settings.PrefixDate = true;
    EXPECT_EQ(AutomaticOutputPath(settings, " WEEK1.CSV ", now), "/out/20240305140709WEEK1.CP2");
    settings.OutPath = "";  // the watch folder
    EXPECT_EQ(AutomaticOutputPath(settings, "a.csv", {2031, 12, 1, 0, 0, 5}),
              "/watch/20311201000005a.CP2");
}

struct JobSetUpTest : ::testing::Test, test::TestApp {
    MaybeError Convert(const std::string& name) {
        return app->ConvertChosenFile({data.file(name).string(), name});
    }
};

// The older program's SKCONV.INI, alone in the home, is read by the start-up itself: its rules
// are in use at once, whatever the current folder is.
TEST_F(JobSetUpTest, StartUpReadsTheOlderSettingsFileAlone) {
    test::WriteFile(home.file("SKCONV.INI"), "\"SKCONV\"\r\n\"WOLD\",\"12\"\r\n");
    Restart();
    EXPECT_EQ(app->Rules().DeleteCallLetterRules[1], (DeleteCallLetterRule{"WOLD", "12"}));
    EXPECT_TRUE(ports->observer.problems.empty());
    EXPECT_TRUE(exists(home.file("SKCONV.INI")));
}

// The pick is a dBASE file outside the current folder, so it is found by its whole path.
TEST_F(JobSetUpTest, AChosenFileIsConvertedBesideItOrItsErrorReturned) {
    test::WriteDbfSchedule(data.file("Week1.Dbf"), {{}, {}});
    EXPECT_EQ(Convert("Week1.Dbf"), std::nullopt);
    ASSERT_TRUE(app->IsJobRunning());
    EXPECT_EQ(app->Job().InputFileTitle, "Week1.Dbf");
    EXPECT_EQ(ports->observer.prepared,
              std::vector<std::string>{data.file("Week1.Dbf").string() + " -> " +
                                       data.file("Week1.CP2").string()});
    // While a job runs, another pick is refused.
    EXPECT_EQ(Convert("Week1.Dbf")->number, errors::kInvalidCall);
    test::RunJob(*app);
    EXPECT_EQ(test::FileLines(data.file("Week1.CP2")).size(), 3u);

    // A failed pick is also told to the observer, for the window's job history.
    EXPECT_EQ(Convert("missing.dbf"), errors::FileNotFound());
    EXPECT_FALSE(app->IsJobRunning());
    EXPECT_EQ(ports->observer.setUpFailures,
              std::vector<std::string>{data.file("missing.dbf").string() + ": 53"});
    EXPECT_FALSE(exists(data.file("missing.CP2")));
}

}  // namespace
}  // namespace skedora
