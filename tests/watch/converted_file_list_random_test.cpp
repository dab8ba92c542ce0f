#include <gtest/gtest.h>

#include <random>
#include <set>

#include "support/temp_dir.h"
#include "watch/converted_file_list.h"

namespace skedora {
namespace {

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
