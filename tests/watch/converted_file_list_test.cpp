#include "watch/converted_file_list.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::WriteFile;
using Names = std::vector<std::string>;

TEST(ConvertedFileList, LoadsOneEntryPerDistinctTrimmedNameAndSavesThemInOrder) {
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
}

TEST(ConvertedFileList, ReportsAListThatExistsButCannotBeRead) {
    test::TempDir home;
    std::filesystem::create_directory(home.file("FileList.txt"));
    ConvertedFileList list(home.file("FileList.txt"));
    list.AddKnownFile("KEPT.DBF");
    const MaybeError error = list.LoadFileList();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_NE(error->description.find(home.file("FileList.txt").string()), std::string::npos);
    EXPECT_EQ(list.Names(), Names{"KEPT.DBF"});
}

TEST(ConvertedFileList, APassForgetsOnlyUnmetNamesOfItsOwnKind) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    for (const char* name : {"A.DBF", "B.csv", "C.dbf", "D.CSV", "E"}) {
        list.AddKnownFile(name);
    }
    list.MarkNotSeen(".DBF");
    list.IsKnownFile("C.dbf");
    list.IsKnownFile("A.DBF");
    list.IsKnownFile("A.DBF");  // met twice still counts once
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(list.File()));

    list.MarkNotSeen(".DBF");
    list.MarkNotSeen(".Csv");
    list.IsKnownFile("D.CSV");
    list.AddKnownFile("F.CSV");  // added during the pass: met
    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(list.Names(), (Names{"A.DBF", "C.dbf", "D.CSV", "E", "F.CSV"}));
    EXPECT_EQ(ReadFile(list.File()), "A.DBF\r\nC.dbf\r\nD.CSV\r\nE\r\nF.CSV\r\n");

    EXPECT_EQ(list.ForgetNotSeen(), std::nullopt);
    EXPECT_EQ(list.Size(), 5u);
    list.Reset();
    EXPECT_TRUE(list.Names().empty());
    EXPECT_FALSE(list.IsKnownFile("A.DBF"));
}

TEST(ConvertedFileList, AFailedSaveAfterForgettingIsReported) {
    test::TempDir home;
    ConvertedFileList list(home.file("missing") / "FileList.txt");
    list.AddKnownFile("A.DBF");
    list.MarkNotSeen(".DBF");
    const MaybeError error = list.ForgetNotSeen();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_TRUE(list.Names().empty());  // the list in memory still counts
}

}  // namespace
}  // namespace skedora
