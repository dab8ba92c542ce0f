#include "watch/converted_file_list.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::WriteFile;
using Names = std::vector<std::string>;

TEST(ConvertedFileList, APassForgetsOnlyUnmetNamesOfItsOwnKindAndSavesTheRestInOrder) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    EXPECT_EQ(list.LoadFileList(), std::nullopt);  // a missing file is an empty list
    EXPECT_TRUE(list.Names().empty());
    WriteFile(home.file("FileList.txt"), "A.DBF\r\n\r\n  B.CSV  \r\nA.DBF\r\n   \r\na.dbf\nC.CSV");
    EXPECT_EQ(list.LoadFileList(), std::nullopt);
    EXPECT_EQ(list.Names(), (Names{"A.DBF", "B.CSV", "a.dbf", "C.CSV"}));

    list.MarkNotSeen(".dbf");
    EXPECT_TRUE(list.IsKnownFile("a.dbf"));
    EXPECT_FALSE(list.IsKnownFile("A.dbf"));
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "B.CSV\r\na.dbf\r\nC.CSV\r\n");
    list.AddKnownFile("D.DBF");
    list.AddKnownFile("E.DBF");
    ASSERT_EQ(list.SaveFileList(), std::nullopt);
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "D.DBF\r\nB.CSV\r\na.dbf\r\nC.CSV\r\nE.DBF\r\n");

    // A pass that meets every name of its kind drops nothing and saves nothing.
    std::filesystem::remove(list.File());
    list.MarkNotSeen(".DBF");
    for (const char* name : {"D.DBF", "a.dbf", "E.DBF", "E.DBF"}) {
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
    EXPECT_EQ(ReadFile(list.File()), "D.DBF\r\na.dbf\r\nC.CSV\r\nE.DBF\r\nF.CSV\r\n");

    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(list.Size(), 5u);
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
    const MaybeError error = list.LoadFileList();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_NE(error->description.find(home.file("FileList.txt").string()), std::string::npos);
    EXPECT_EQ(list.Names(), (Names{"KEPT.DBF", "GONE.DBF"}));

    list.MarkNotSeen(".DBF");
    list.IsKnownFile("KEPT.DBF");
    const MaybeError saveError = list.ForgetNotSeen();
    ASSERT_TRUE(saveError.has_value());
    EXPECT_EQ(saveError->number, errors::kPathFileAccess);
    EXPECT_EQ(list.Names(), Names{"KEPT.DBF"});
    EXPECT_TRUE(std::filesystem::is_directory(list.File()));
}

}  // namespace
}  // namespace skedora
