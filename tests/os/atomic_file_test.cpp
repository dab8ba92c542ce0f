#include "os/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <set>

#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

/** Dates the file, or the link itself, an hour back. */
void MakeOld(const fs::path& path) {
    const timespec hourAgo{::time(nullptr) - 3600, 0};
    const timespec times[2] = {hourAgo, hourAgo};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

TEST(WriteFileAtomically, ReplacesTheFileKeepingItsModeAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    const fs::path file = dir.file("SK.ini");
    test::WriteFile(file, "old");
    ::chmod(file.c_str(), 0600);
    ASSERT_EQ(WriteFileAtomically(file, "new"), std::nullopt);
    EXPECT_EQ(test::ReadFile(file), "new");
    EXPECT_EQ(ModeOf(file), 0600u);
    EXPECT_EQ(Names(dir.path()), std::set<std::string>{"SK.ini"});

    // A new file gets the mode a plain create gives it.
    const mode_t previous = ::umask(027);
    const MaybeError error = WriteFileAtomically(dir.file("FileList.txt"), "A.CSV\r\n");
    ::umask(previous);
    ASSERT_EQ(error, std::nullopt);
    EXPECT_EQ(ModeOf(dir.file("FileList.txt")), 0640u);
}

TEST(WriteFileAtomically, WritesThroughALinkToItsTargetAndTheLinkStays) {
    test::TempDir dir;
    fs::create_directory(dir.file("real"));
    test::WriteFile(dir.file("real/SK.ini"), "old");
    fs::create_symlink("real/SK.ini", dir.file("SK.ini"));
    fs::create_symlink("SK.ini", dir.file("again.ini"));  // a link to the link
    ASSERT_EQ(WriteFileAtomically(dir.file("again.ini"), "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir.file("SK.ini")) && fs::is_symlink(dir.file("again.ini")));
    EXPECT_EQ(test::ReadFile(dir.file("real/SK.ini")), "new");
    EXPECT_EQ(Names(dir.file("real")), std::set<std::string>{"SK.ini"});
}

TEST(WriteFileAtomically, RefusesAReadOnlyFileOrAFolderNamingItAndChangesNothing) {
    test::TempDir dir;
    const fs::path file = dir.file("SK.ini");
    test::WriteFile(file, "old");
    ::chmod(file.c_str(), 0444);
    fs::create_directory(dir.file("FOLDER"));
    for (const fs::path& path : {file, dir.file("FOLDER")}) {
        const MaybeError error = WriteFileAtomically(path, "new");
        ASSERT_NE(error, std::nullopt) << path;
        EXPECT_EQ(error->number, errors::kPathFileAccess);
        EXPECT_NE(error->description.find(path.string()), std::string::npos) << error->description;
    }
    EXPECT_EQ(test::ReadFile(file), "old");
    EXPECT_EQ(Names(dir.path()), (std::set<std::string>{"FOLDER", "SK.ini"}));
}

TEST(FinalNameOfTemporary, KnowsOnlyItsOwnPattern) {
    test::TempDir dir;
    TemporaryFile temp;
    ASSERT_EQ(CreateTemporaryFile(dir.path(), "WEEK1.CP2", 0666, temp), std::nullopt);
    ::close(temp.fd);
    const std::string name = fs::path(temp.path).filename().string();
    EXPECT_EQ(name.front(), '.');
    EXPECT_EQ(FinalNameOfTemporary(name), "WEEK1.CP2");
    for (const char* other :
         {"WEEK1.CP2", ".WEEK1.CP2", ".WEEK1.CP2.abc123", ".WEEK1.CP2.abc12.tmp", "..abc123.tmp",
          ".WEEK1.CP2.ab-123.tmp", "xWEEK1.CP2.abc123.tmp"}) {
        EXPECT_EQ(FinalNameOfTemporary(other), "") << other;
    }
    // A long final name is shortened so that the temporary name is still a valid name.
    const std::string longName(255, 'L');
    ASSERT_EQ(CreateTemporaryFile(dir.path(), longName, 0666, temp), std::nullopt);
    ::close(temp.fd);
    EXPECT_EQ(longName.find(FinalNameOfTemporary(fs::path(temp.path).filename().string())), 0u);
}

TEST(RemoveStaleTemporaryFiles, RemovesOnlyOldRegularFilesOfThePatternFollowingNoLink) {
    test::TempDir dir;
    test::TempDir elsewhere;
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
    test::WriteFile(dir.file("SK.ini.abcdef.tmp"), "");  // not hidden: not ours
    for (const fs::path& path :
         {stale, otherName, outside, link, folder, dir.file("SK.ini.abcdef.tmp")}) {
        MakeOld(path);
    }

    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.path(), "SK.ini"), std::nullopt);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh) && fs::exists(otherName) && fs::is_directory(folder));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::ReadFile(outside), "keep");
    EXPECT_TRUE(fs::exists(dir.file("SK.ini.abcdef.tmp")));
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.file("missing"), "SK.ini"), std::nullopt);
}

}  // namespace
}  // namespace skedora
