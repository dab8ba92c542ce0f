#include "watch/converted_file_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <set>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using Names = std::vector<std::string>;

TEST(ConvertedFileList, AHandEditedListLoadsAndOnlyAPassThatEndsForgetsOrSaves) {
    test::TempDir home;
    ConvertedFileList list(home.file("FileList.txt"));
    EXPECT_EQ(list.LoadFileList(), std::nullopt);  // a missing file is an empty list
    EXPECT_TRUE(list.Names().empty());
    test::WriteFile(home.file("FileList.txt"),
                    "A.DBF\r\n\r\n  B.CSV  \r\nA.DBF\r\n   \r\na.dbf\nC.CSV");
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
    EXPECT_EQ(test::ReadFile(list.File()), "A.DBF\r\na.dbf\r\nC.CSV\r\nF.CSV\r\n");

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

// Random adds and passes that forget names, checked against a plain set: a name the list loses
// is converted again, a name it keeps by mistake is never converted.
TEST(ConvertedFileList, AgreesWithASetThroughRandomAddsAndForgets) {
    test::TempDir home;
    std::mt19937 random(20261207);
    for (int round = 0; round < 20; ++round) {
        ConvertedFileList list(home.file("FileList.txt"));
        std::set<std::string> expected;
        const auto nameOf = [](int n) {
            return "F" + std::to_string(n) + (n % 3 == 0 ? ".CSV" : ".dbf");
        };
        for (int step = 0; step < 400; ++step) {
            const int n = static_cast<int>(random() % 600);
            if (random() % 8 != 0) {
                list.AddKnownFile(nameOf(n));
                expected.insert(nameOf(n));
                continue;
            }
            // A pass over the .dbf names meets about half of them; the rest are forgotten.
            list.MarkNotSeen(".DBF");
            std::vector<FolderName> listing;
            for (const auto& name : expected) {
                if (name.ends_with(".dbf") && random() % 2 == 0) {
                    listing.push_back({name, std::nullopt});
                }
            }
            std::vector<std::uint32_t> places;
            list.PlacesOf(listing, places);
            for (const std::uint32_t place : places) {
                ASSERT_NE(place, ConvertedFileList::kNotHeld);
                list.MarkPlaceSeen(place);
            }
            ASSERT_EQ(list.ForgetNotSeen(), std::nullopt);
            std::erase_if(expected, [&](const std::string& name) {
                return name.ends_with(".dbf") &&
                       std::none_of(listing.begin(), listing.end(),
                                    [&](const FolderName& e) { return e.name == name; });
            });
        }
        const auto names = list.Names();
        ASSERT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
        ASSERT_EQ(list.Size(), expected.size());
        for (int n = 0; n < 600; ++n) {
            ASSERT_EQ(list.IsKnownFile(nameOf(n)), expected.contains(nameOf(n))) << nameOf(n);
        }
        ASSERT_EQ(list.SaveFileList(), std::nullopt);
        ConvertedFileList reloaded(home.file("FileList.txt"));
        ASSERT_EQ(reloaded.LoadFileList(), std::nullopt);
        ASSERT_EQ(reloaded.Names(), names);
    }
}

}  // namespace
}  // namespace skedora
