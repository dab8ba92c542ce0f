#include "watch/converted_file_list.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::WriteFile;

class ConvertedFileListTest : public ::testing::Test {
  protected:
    test::TempDir m_home;
    ConvertedFileList m_list{m_home.file("FileList.txt")};
};

TEST_F(ConvertedFileListTest, LoadsOneSlotPerDistinctTrimmedName) {
    WriteFile(m_home.file("FileList.txt"),
              "A.DBF\r\n\r\n  B.CSV  \r\nA.DBF\r\n   \r\na.dbf\nC.CSV");
    m_list.LoadFileList();
    EXPECT_EQ(m_list.Names(), (std::vector<std::string>{"A.DBF", "B.CSV", "a.dbf", "C.CSV"}));
    EXPECT_EQ(m_list.SlotCount(), 101);
}

TEST_F(ConvertedFileListTest, AMissingOrUnreadableFileLeavesTheListEmpty) {
    m_list.LoadFileList();
    EXPECT_TRUE(m_list.Names().empty());
    std::filesystem::create_directory(m_home.file("FileList.txt"));
    m_list.LoadFileList();
    EXPECT_TRUE(m_list.Names().empty());
}

TEST_F(ConvertedFileListTest, SavesTheNamesInSlotOrderWithCrLf) {
    m_list.AddKnownFile("B.CSV");
    m_list.AddKnownFile("A.DBF");
    m_list.AddKnownFile("B.CSV");
    ASSERT_EQ(m_list.SaveFileList(), std::nullopt);
    EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "B.CSV\r\nA.DBF\r\n");

    // A new name takes the lowest empty slot.
    m_list.MarkNotSeen(".CSV");
    m_list.ForgetNotSeen();
    EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "A.DBF\r\n");
    m_list.AddKnownFile("C.CSV");
    EXPECT_EQ(m_list.Slot(0).FileName, "C.CSV");
}

TEST_F(ConvertedFileListTest, GrowsByOneHundredSlotsWhenFull) {
    for (int i = 0; i < 101; ++i) {
        m_list.AddKnownFile("F" + std::to_string(i) + ".CSV");
    }
    EXPECT_EQ(m_list.SlotCount(), 101);
    m_list.AddKnownFile("NEW.CSV");
    EXPECT_EQ(m_list.SlotCount(), 201);
    EXPECT_EQ(m_list.Slot(101).FileName, "NEW.CSV");
    EXPECT_TRUE(m_list.Slot(101).InUse);
    EXPECT_FALSE(m_list.Slot(102).InUse);
}

TEST_F(ConvertedFileListTest, MarksOnlyTheNamesOfTheKindBeingPolled) {
    for (const char* name : {"A.DBF", "b.dbf", "C.CSV", "d.Csv"}) {
        m_list.AddKnownFile(name);
    }
    ASSERT_EQ(m_list.SaveFileList(), std::nullopt);
    m_list.MarkNotSeen(".DBF");
    EXPECT_TRUE(m_list.IsKnownFile("b.dbf"));  // met in the listing
    m_list.ForgetNotSeen();
    EXPECT_EQ(m_list.Names(), (std::vector<std::string>{"b.dbf", "C.CSV", "d.Csv"}));
    EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "b.dbf\r\nC.CSV\r\nd.Csv\r\n");

    // Nothing forgotten: the file is not rewritten.
    WriteFile(m_home.file("FileList.txt"), "untouched");
    m_list.MarkNotSeen(".CSV");
    m_list.IsKnownFile("C.CSV");
    m_list.IsKnownFile("d.Csv");
    m_list.ForgetNotSeen();
    EXPECT_EQ(ReadFile(m_home.file("FileList.txt")), "untouched");
}

}  // namespace
}  // namespace skedora
