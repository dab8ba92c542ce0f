#include "os/folder_monitor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>

#include <functional>
#include <tuple>

#include "support/expect_error.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

bool Readable(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    return ::poll(&waiting, 1, 0) == 1;
}

TEST(FolderMonitor, TellsOfScheduleFilesArrivingAndNothingElse) {
    test::TempDir watch, other;
    FolderMonitor monitor;
    EXPECT_EQ(monitor.FileDescriptor(), -1);
    EXPECT_FALSE(monitor.TakeChanges());
    ASSERT_EQ(monitor.Watch(watch.folderText()), std::nullopt);
    ASSERT_GE(monitor.FileDescriptor(), 0);
    EXPECT_TRUE(::fcntl(monitor.FileDescriptor(), F_GETFD) & FD_CLOEXEC);
    EXPECT_FALSE(monitor.TakeChanges());  // nothing pending: returns at once

    test::WriteFile(other.file("MOVED.DBF"), "x");
    const std::tuple<const char*, std::function<void()>, bool> cases[] = {
        {"written", [&] { test::WriteFile(watch.file("A.CSV"), "x"); }, true},
        {"lower case", [&] { test::WriteFile(watch.file("b.dbf"), "x"); }, true},
        {"other kind", [&] { test::WriteFile(watch.file("notes.txt"), "x"); }, false},
        {"hidden", [&] { test::WriteFile(watch.file(".part.csv"), "x"); }, false},
        {"renamed into its name",
         [&] { std::filesystem::rename(watch.file(".part.csv"), watch.file("C.CSV")); }, true},
        {"moved in",
         [&] { std::filesystem::rename(other.file("MOVED.DBF"), watch.file("MOVED.DBF")); }, true},
        {"removed", [&] { std::filesystem::remove(watch.file("A.CSV")); }, false},
        {"touched",
         [&] {
             std::filesystem::last_write_time(watch.file("b.dbf"),
                                              std::filesystem::file_time_type::clock::now());
         },
         true},
    };
    for (const auto& [what, change, expected] : cases) {
        SCOPED_TRACE(what);
        change();
        if (expected) {
            EXPECT_TRUE(Readable(monitor.FileDescriptor()));
        }
        EXPECT_EQ(monitor.TakeChanges(), expected);
        EXPECT_FALSE(Readable(monitor.FileDescriptor()));
        EXPECT_FALSE(monitor.TakeChanges());
    }
}

TEST(FolderMonitor, FollowsTheFolderLastGivenUntilItGoesAwayAndMayWatchItAgain) {
    test::TempDir first, home;
    const std::filesystem::path folder = home.file("watch");
    std::filesystem::create_directory(folder);
    const std::string folderText = folder.string() + "/";
    FolderMonitor monitor;
    ASSERT_EQ(monitor.Watch(first.folderText()), std::nullopt);
    const int fd = monitor.FileDescriptor();
    test::WriteFile(first.file("PENDING.DBF"), "x");  // pending when the folder changes
    ASSERT_EQ(monitor.Watch(folderText), std::nullopt);
    EXPECT_EQ(monitor.FileDescriptor(), fd);
    EXPECT_FALSE(monitor.TakeChanges());
    test::WriteFile(first.file("LATER.DBF"), "x");
    EXPECT_FALSE(monitor.TakeChanges());
    test::WriteFile(folder / "NEW.CSV", "x");
    EXPECT_TRUE(monitor.TakeChanges());
    EXPECT_EQ(monitor.Watch(folderText), std::nullopt);

    std::filesystem::rename(folder, home.file("elsewhere"));
    EXPECT_TRUE(monitor.TakeChanges());
    EXPECT_TRUE(test::IsError(monitor.Watch(folderText), errors::kPathNotFound,
                              {folderText, "does not exist"}));

    std::filesystem::create_directory(folder);
    ASSERT_EQ(monitor.Watch(folderText), std::nullopt);
    std::filesystem::remove_all(folder);
    EXPECT_TRUE(monitor.TakeChanges());

    test::WriteFile(home.file("plain"), "x");
    EXPECT_TRUE(test::IsError(monitor.Watch(home.file("plain").string()), errors::kPathFileAccess,
                              {"not a folder"}));
}

}  // namespace
}  // namespace skedora
