// How files arriving and processes ending on a real desk reach the watch folder and the programs.

#include <gtest/gtest.h>

#include "support/fake_platform.h"
#include "support/schedule_files.h"

namespace skedora {
namespace {

struct NoScheduleLostTest : ::testing::Test, test::TestApp {};

// The rest of an upload arriving while the job runs (a new version renamed in over the name is
// told from the file read in tests/input/schedule_source_test.cpp, as this is).
TEST_F(NoScheduleLostTest, ASourceChangedDuringItsJobIsKeptAndConvertedAgainWhole) {
    for (const bool deleteOn : {true, false}) {
        SCOPED_TRACE(deleteOn);
        Restart();
        Settings().Delete = deleteOn;
        AddCsv("A.CSV", 3);
        ASSERT_TRUE(app->PollWatchFolder());
        app->ConversionTick();
        AddCsv("A.CSV", 5);
        test::RunJob(*app);
        ASSERT_FALSE(Reports().empty());
        EXPECT_NE(Reports().back().sourceKept, "");
        EXPECT_TRUE(InWatch("A.CSV"));
        EXPECT_EQ(FileList().find("A.CSV"), std::string::npos);
        EXPECT_EQ(PollAndConvert(), "A.CSV");  // the whole file this time
        EXPECT_EQ(test::FileLines(out.file("A.CP2")).size(), 6u);
        EXPECT_EQ(InWatch("A.CSV"), !deleteOn);
        std::filesystem::remove(home.file("FileList.txt"));
        std::filesystem::remove(watch.file("A.CSV"));
    }
}

// Two sources of one output, by extension or by letter case: the first converts, the second
// is kept with the error and the first output stays.
TEST_F(NoScheduleLostTest, TwoSourcesOfOneOutputConvertTheFirstAndKeepTheSecond) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"SAME.DBF", "SAME.CSV", "SAME.CP2"}, {"X.CSV", "X.csv", "X.CP2"}};
    for (const auto& [first, second, output] : cases) {
        Restart();
        Settings().Delete = true;
        std::string(first).ends_with("DBF") ? AddDbf(first, 2) : AddCsv(first, 2);
        AddCsv(second, 4);
        EXPECT_EQ(PollAndConvert(), first);
        EXPECT_EQ(PollAndConvert(), "");
        EXPECT_EQ(ports->observer.setUpFailures,
                  std::vector<std::string>{watch.folderText() + second + ": 75"});
        EXPECT_EQ(test::FileLines(out.file(output)).size(), 3u);
        EXPECT_TRUE(InWatch(second));
        EXPECT_FALSE(InWatch(first));
        std::filesystem::remove(watch.file(second));
    }
}

TEST_F(NoScheduleLostTest, NamesTheListCannotHoldAreReportedOnceAndLeft) {
    const char* const unlisted[] = {"two\nlines.csv", " leading.csv", "trailing.csv "};
    for (const char* name : unlisted) {
        AddCsv(name);
    }
    AddCsv("later.csv");
    EXPECT_EQ(PollAndConvert(), "later.csv");
    EXPECT_EQ(PollAndConvert(), "");
    EXPECT_EQ(ports->observer.problems.size(), 2u);
    for (const char* name : unlisted) {
        EXPECT_TRUE(InWatch(name)) << name;
    }
    EXPECT_EQ(FileList(), "later.csv\r\n");
}

}  // namespace
}  // namespace skedora
