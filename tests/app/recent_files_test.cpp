#include "app/recent_files.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(RecentFiles, NewestFirstOnceEachAtMostEightAndReadBackByALaterRun) {
    TempDir home;
    RecentFiles recent(home.path());
    ASSERT_FALSE(recent.Load());
    EXPECT_EQ(recent.LastFolder(), "");
    for (int n = 1; n <= 10; ++n) {
        ASSERT_FALSE(recent.Add("/in/W" + std::to_string(n) + ".CSV"));
    }
    ASSERT_FALSE(recent.Add("/in/W5.CSV"));    // again: it moves to the front
    ASSERT_FALSE(recent.Add("/in/a\nb.CSV"));  // cannot be a line: left out
    ASSERT_FALSE(recent.Add("/other/\xE9t\xE9.DBF"));
    const std::vector<std::string> expected{"/other/\xE9t\xE9.DBF", "/in/W5.CSV", "/in/W10.CSV",
                                            "/in/W9.CSV",           "/in/W8.CSV", "/in/W7.CSV",
                                            "/in/W6.CSV",           "/in/W4.CSV"};
    EXPECT_EQ(recent.Files(), expected);
    EXPECT_EQ(recent.LastFolder(), "/other/");

    RecentFiles later(home.path());
    ASSERT_FALSE(later.Load());
    EXPECT_EQ(later.Files(), expected);
}

TEST(RecentFiles, AHandEditedFileIsReadSensibly) {
    TempDir home;
    WriteFile(home.file("Recent.txt"), "/a/1.CSV\r\n\n/a/1.CSV\n/b/2.DBF");
    RecentFiles recent(home.path());
    ASSERT_FALSE(recent.Load());
    EXPECT_EQ(recent.Files(), (std::vector<std::string>{"/a/1.CSV", "/b/2.DBF"}));
    ASSERT_FALSE(recent.Add("/b/2.DBF"));
    EXPECT_EQ(ReadFile(home.file("Recent.txt")), "/b/2.DBF\n/a/1.CSV\n");
}

}  // namespace
}  // namespace skedora
