#include "os/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

TEST(WriteFileAtomically, ANewFileGetsThePlainCreateModeAndNoTemporaryFileStays) {
    test::TempDir dir;
    const mode_t previous = ::umask(027);
    const MaybeError error = WriteFileAtomically(dir.file("FileList.txt"), "A.CSV\r\n");
    ::umask(previous);
    ASSERT_EQ(error, std::nullopt);
    EXPECT_EQ(test::ModeOf(dir.file("FileList.txt")), 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(RemoveStaleTemporaryFiles, RemovesOnlyOldRegularFilesOfThePatternFollowingNoLink) {
    test::TempDir dir, elsewhere;
    const auto temporary = [&](const char* finalName) {
        TemporaryFile temp;
        EXPECT_EQ(CreateTemporaryFile(dir.path(), finalName, 0666, temp), std::nullopt);
        ::close(temp.fd);
        return fs::path(temp.path);
    };
    const fs::path stale = temporary("SK.ini");
    const fs::path fresh = temporary("SK.ini");
    const fs::path otherName = temporary("FileList.txt");
    const fs::path outside = elsewhere.file("precious");
    test::WriteFile(outside, "keep");
    const fs::path link = dir.file(".SK.ini.abcdef.tmp");
    fs::create_symlink(outside, link);
    const fs::path folder = dir.file(".SK.ini.ghijkl.tmp");
    fs::create_directory(folder);
    std::vector<fs::path> others = {otherName, link, folder};
    for (const char* name : {"SK.ini.abcdef.tmp", ".SK.ini.abcdef", ".SK.ini.ab-def.tmp"}) {
        others.push_back(dir.file(name));
        test::WriteFile(others.back(), "");
    }
    // Everything but one is dated an hour back (a link itself, not its target).
    const timespec hourAgo{::time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    for (const fs::path& path : others) {
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    ::utimensat(AT_FDCWD, stale.c_str(), times, 0);
    ::utimensat(AT_FDCWD, outside.c_str(), times, 0);

    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.path(), "SK.ini"), std::nullopt);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh));
    for (const fs::path& path : others) {
        EXPECT_TRUE(fs::exists(fs::symlink_status(path))) << path;
    }
    EXPECT_EQ(test::ReadFile(outside), "keep");
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.file("missing"), "SK.ini"), std::nullopt);
}

}  // namespace
}  // namespace skedora
