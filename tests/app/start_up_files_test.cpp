// The files the program finds in its home at start-up.
#include <gtest/gtest.h>

#include "support/fake_platform.h"

namespace skedora {
namespace {

struct StartUpTest : ::testing::Test, test::TestApp {};

// The older program's SKCONV.INI, alone in the home, is read by the start-up itself: its rules
// are in use at once, whatever the current folder is. An SK.ini that cannot be read stops it.
TEST_F(StartUpTest, ReadsTheOlderSettingsFileAloneAndStopsAtAnUnreadableSkIni) {
    test::WriteFile(home.file("SKCONV.INI"), "\"SKCONV\"\r\n\"WOLD\",\"12\"\r\n");
    Restart();
    EXPECT_EQ(app->Rules().DeleteCallLetterRules[1], (DeleteCallLetterRule{"WOLD", "12"}));
    EXPECT_TRUE(ports->observer.problems.empty());
    EXPECT_TRUE(exists(home.file("SKCONV.INI")));

    std::filesystem::create_directory(home.file("SK.ini"));
    EXPECT_EQ(app->StartUp()->number, errors::kPathFileAccess);
    EXPECT_FALSE(ports->watchTimer.IsEnabled());
}

}  // namespace
}  // namespace skedora
