#include "os/posix_file_system.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace skedora {
namespace {

std::vector<std::string> NamesOf(const std::vector<FolderName>& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        names.push_back(entry.name);
    }
    return names;
}

TEST(PosixFileSystem, ListsTheScheduleFilesOfBothKinds) {
    test::TempDir watch;
    for (const char* name : {"b.dbf", "A.CSV", "a.csv", "C.DBF", "\xe9.csv", "\xc9.CSV", "\xff.csv",
                             "x.txt", ".hidden.dbf", "DBF", "Z.dbf.bak"}) {
        test::WriteFile(watch.file(name), "x");
    }
    std::filesystem::create_directory(watch.file("folder.csv"));
    std::filesystem::create_symlink(watch.file("C.DBF"), watch.file("link.dbf"));
    std::filesystem::create_symlink(watch.file("gone"), watch.file("dangling.csv"));

    PosixFileSystem files;
    const std::vector<std::string> all = {"A.CSV",    "a.csv",    "b.dbf",    "C.DBF",
                                          "link.dbf", "\xff.csv", "\xc9.CSV", "\xe9.csv"};
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {watch.folderText(), all},
        {watch.path().string(), all},
        {watch.folderText() + "missing/", {}},
        {watch.folderText() + "x.txt/", {}},
    };
    for (const auto& [folder, expected] : cases) {
        EXPECT_THAT(NamesOf(files.ListScheduleNames(folder)),
                    ::testing::UnorderedElementsAreArray(expected))
            << folder;
    }

    const timespec times[2] = {{0, UTIME_OMIT}, {1700000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, watch.file("C.DBF").c_str(), times, 0), 0);
    const auto expected = std::chrono::system_clock::from_time_t(1700000000) +
                          std::chrono::duration_cast<std::chrono::system_clock::duration>(
                              std::chrono::nanoseconds(123456789));
    for (const char* name : {"C.DBF", "link.dbf"}) {
        EXPECT_EQ(files.ModificationTime(watch.folderText(), name), expected) << name;
    }
    for (const char* name : {"dangling.csv", "folder.csv", "missing.csv", ""}) {
        EXPECT_EQ(files.ModificationTime(watch.folderText(), name), std::nullopt) << name;
    }
}

}  // namespace
}  // namespace skedora
