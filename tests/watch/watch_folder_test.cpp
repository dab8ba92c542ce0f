#include "watch/watch_folder.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace skedora {
namespace {

// The folder lists names in its own order; files are still taken by upper-case name, then byte.
TEST(WatchFolder, TakesFilesInNameOrderWhateverTheListingOrder) {
    test::TempDir home;
    const auto now = std::chrono::system_clock::now();
    const auto old = now - std::chrono::hours(1);
    const auto noLookUp = [](const std::string&) {
        return std::optional<std::chrono::system_clock::time_point>();
    };
    for (const bool deleteOn : {false, true}) {
        WatchFolder watch(home.file("FileList.txt"));
        std::vector<FolderName> listing;
        for (const char* name : {"b.csv", "\xe9.csv", "a.csv", "B.CSV", "A.CSV", "\xc9.CSV"}) {
            listing.push_back({name, old});
        }
        std::vector<std::string> taken;
        while (const auto file = watch.PickNext(".CSV", listing, deleteOn, now, noLookUp)) {
            taken.push_back(file->name);
            watch.JobStarted(home.folderText() + file->name, *file, deleteOn);
            watch.JobEnded(true, true);
            if (deleteOn) {
                watch.SourceDeleted(true);
                std::erase_if(listing, [&](const FolderName& e) { return e.name == file->name; });
            }
        }
        EXPECT_EQ(taken, (std::vector<std::string>{"A.CSV", "a.csv", "B.CSV", "b.csv", "\xc9.CSV",
                                                   "\xe9.csv"}))
            << "Delete " << deleteOn;
    }
}

}  // namespace
}  // namespace skedora
