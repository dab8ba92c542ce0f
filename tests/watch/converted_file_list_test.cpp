#include "watch/converted_file_list.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::WriteFile;
using Names = std::vector<std::string>;

// Which names a pass forgets is checked against a set in converted_file_list_random_test.cpp.
TEST(ConvertedFileList, AHandEditedListLoadsAndOnlyAPassThatEndsForgetsOrSaves) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    EXPECT_EQ(list.LoadFileList(), std::nullopt);  // a missing file is an empty list
    EXPECT_TRUE(list.Names().empty());
    WriteFile(home.file("FileList.txt"), "A.DBF\r\n\r\n  B.CSV  \r\nA.DBF\r\n   \r\na.dbf\nC.CSV");
    EXPECT_EQ(list.LoadFileList(), std::nullopt);
    EXPECT_EQ(list.Names(), (Names{"A.DBF", "B.CSV", "a.dbf", "C.CSV"}));

    // A pass that meets every name of its kind drops nothing and saves nothing.
    std::filesystem::remove(list.File());
    list.MarkNotSeen(".DBF");
    for (const char* name : {"A.DBF", "a.dbf", "a.dbf"}) {
        EXPECT_TRUE(list.IsKnownFile(name));
    }
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(list.File()));

    // A new pass drops the marks of one that did not end; a name added during it was met.
    list.MarkNotSeen(".DBF");
    list.MarkNotSeen(".Csv");
    list.IsKnownFile("C.CSV");
    list.AddKnownFile("F.CSV");
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(ReadFile(list.File()), "A.DBF\r\na.dbf\r\nC.CSV\r\nF.CSV\r\n");

    list.Reset();
    EXPECT_TRUE(list.Names().empty());
    EXPECT_FALSE(list.IsKnownFile("a.dbf"));
}

TEST(ConvertedFileList, AListThatCannotBeReadOrSavedIsReportedAndTheOneInMemoryCounts) {
    test::TempDir home;
    std::filesystem::create_directory(home.file("FileList.txt"));
    ConvertedFileList list(home.file("FileList.txt"));
    list.AddKnownFile("KEPT.DBF");
    list.AddKnownFile("GONE.DBF");
    // The errors' words are checked through the command line.
    EXPECT_TRUE(list.LoadFileList().has_value());
    EXPECT_EQ(list.Names(), (Names{"KEPT.DBF", "GONE.DBF"}));

    list.MarkNotSeen(".DBF");
    list.IsKnownFile("KEPT.DBF");
    EXPECT_TRUE(list.ForgetNotSeen().has_value());
    EXPECT_EQ(list.Names(), Names{"KEPT.DBF"});
    EXPECT_TRUE(std::filesystem::is_directory(list.File()));
}

}  // namespace
}  // namespace skedora
