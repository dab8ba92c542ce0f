#include "watch/converted_file_list.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;

TEST(ConvertedFileList, LoadsOneSlotPerDistinctTrimmedNameAndSavesThemInSlotOrder) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    list.LoadFileList();
    EXPECT_TRUE(list.Names().empty());
    test::WriteFile(home.file("FileList.txt"),
                    "A.DBF\r\n\r\n  B.CSV  \r\nA.DBF\r\n   \r\na.dbf\nC.CSV");
    list.LoadFileList();
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"A.DBF", "B.CSV", "a.dbf", "C.CSV"}));
    EXPECT_EQ(list.SlotCount(), 101);

    // A forgotten name leaves its slot to the next new one.
    list.MarkNotSeen(".dbf");
    list.IsKnownFile("a.dbf");
    list.ForgetNotSeen();
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "B.CSV\r\na.dbf\r\nC.CSV\r\n");
    list.AddKnownFile("D.DBF");
    ASSERT_EQ(list.SaveFileList(), std::nullopt);
    EXPECT_EQ(ReadFile(home.file("FileList.txt")), "D.DBF\r\nB.CSV\r\na.dbf\r\nC.CSV\r\n");
}

TEST(ConvertedFileList, GrowsByOneHundredSlotsWhenFull) {
    ConvertedFileList list("FileList.txt");
    for (int i = 0; i < 101; ++i) {
        list.AddKnownFile("F" + std::to_string(i) + ".CSV");
    }
    EXPECT_EQ(list.SlotCount(), 101);
    list.AddKnownFile("NEW.CSV");
    EXPECT_EQ(list.SlotCount(), 201);
    EXPECT_EQ(list.Slot(101), (ConvertedFileEntry{true, "NEW.CSV", false}));
    EXPECT_FALSE(list.Slot(102).InUse);
}

}  // namespace
}  // namespace skedora
