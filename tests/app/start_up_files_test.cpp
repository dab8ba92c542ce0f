// The files the program finds in its home at start-up and the ones it rewrites there.
#include <gtest/gtest.h>

#include "app/application.h"
#include "support/fake_platform.h"
#include "watch/converted_file_list.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

using test::ModeOf;

// A private home file stays private after it is rewritten through its temporary file, and a shared
// one stays readable by the group.
TEST(RewrittenHomeFiles, KeepTheirFileMode) {
    for (const unsigned mode : {0600u, 0640u}) {
        test::TempDir home;
        test::WriteFile(home.file("FileList.txt"), "A.DBF\r\n");
        ::chmod(home.file("FileList.txt").c_str(), mode);

        ConvertedFileList list(home.file("FileList.txt"));
        ASSERT_EQ(list.LoadFileList(), std::nullopt);
        list.AddKnownFile("B.CSV");
        ASSERT_EQ(list.SaveFileList(), std::nullopt);

        EXPECT_EQ(test::ReadFile(home.file("FileList.txt")), "A.DBF\r\nB.CSV\r\n");
        EXPECT_EQ(ModeOf(home.file("FileList.txt")), mode) << std::oct << mode;
        EXPECT_EQ(std::distance(fs::directory_iterator(home.path()), {}), 1);
    }
}

// The older program's SKCONV.INI, alone in the home, is read by the start-up itself: its rules
// are in use at once, whatever the current folder is.
TEST(StartUp, ReadsTheOlderSettingsFileWhenThereIsNoSkIni) {
    test::TempDir home;
    test::WriteFile(home.file("SKCONV.INI"), "\"SKCONV\"\r\n\"WOLD\",\"12\"\r\n");
    test::FakePorts ports;
    Application app(home.path(), Ports{ports.conversionTimer, ports.watchTimer, ports.files,
                                       ports.clock, ports.observer});
    ASSERT_EQ(app.StartUp(), std::nullopt);
    EXPECT_EQ(app.Rules().DeleteCallLetterRules[1], (DeleteCallLetterRule{"WOLD", "12"}));
    EXPECT_TRUE(ports.observer.problems.empty());
    EXPECT_TRUE(fs::exists(home.file("SKCONV.INI")));
}

}  // namespace
}  // namespace skedora
