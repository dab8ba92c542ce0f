#include "app/home_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/expect_error.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;
using test::ModeOf;
using test::WriteFile;

TEST(HomeFolderTest, ResolvesByPrecedence) {
    test::TempDir portable, plain, oldOnly;
    WriteFile(portable.file("SK.ini"), "[Settings]\r\n");
    WriteFile(oldOnly.file("SKCONV.INI"), "");
    fs::create_directory(plain.file("SK.ini"));  // a folder of that name is not a settings file
    EXPECT_EQ(ResolveHomeFolder(fs::path("/srv/station"), portable.path(), "/x", "/h"),
              "/srv/station");  // a home given wins over everything
    const std::tuple<const char*, fs::path, const char*, const char*, fs::path> cases[] = {
        {"portable SK.ini", portable.path(), "/x", "/h", portable.path()},
        {"portable SKCONV.INI", oldOnly.path(), "/x", "/h", oldOnly.path()},
        {"XDG", plain.path(), "/x/conf", "/h", "/x/conf/skedora"},
        {"XDG unset", plain.path(), nullptr, "/h", "/h/.config/skedora"},
        {"XDG empty", plain.path(), "", "/h", "/h/.config/skedora"},
        {"XDG relative", plain.path(), "conf", "/h", "/h/.config/skedora"},
        {"no program folder", fs::path(), nullptr, "/h", "/h/.config/skedora"},
        {"HOME unset", plain.path(), nullptr, nullptr, fs::path()},
        {"HOME relative", plain.path(), "", "home", fs::path()},
    };
    for (const auto& [name, programFolder, xdg, home, expected] : cases) {
        EXPECT_EQ(ResolveHomeFolder(std::nullopt, programFolder, xdg, home), expected) << name;
    }
}

TEST(HomeFolderTest, CreatesMissingFoldersPrivatelyKeepsExistingOnesOrSaysWhyNot) {
    test::TempDir dir;
    const fs::path home = dir.path() / "config" / "skedora";
    ASSERT_EQ(EnsureHomeFolder(home), std::nullopt);
    EXPECT_EQ(ModeOf(home), 0700u);
    EXPECT_EQ(ModeOf(dir.path() / "config"), 0700u);

    // A second start finds it; a folder the user opened up keeps its mode; so does a link.
    fs::permissions(home, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    ASSERT_EQ(EnsureHomeFolder(home.string() + "/"), std::nullopt);
    EXPECT_EQ(ModeOf(home), 0750u);
    fs::create_directory_symlink(home, dir.file("linked"));
    EXPECT_EQ(EnsureHomeFolder(dir.file("linked")), std::nullopt);

    // What stands in the way is reported.
    WriteFile(dir.file("plain"), "x");
    fs::create_symlink(dir.file("nowhere"), dir.file("dangling"));
    EXPECT_EQ(EnsureHomeFolder(dir.file("plain")),
              errors::PathFileAccess(dir.file("plain").string() + ": not a folder"));
    EXPECT_EQ(EnsureHomeFolder(dir.file("dangling") / "skedora"),
              errors::PathFileAccess(dir.file("dangling").string() +
                                     ": cannot create the folder: File exists"));
    EXPECT_TRUE(test::IsError(EnsureHomeFolder(fs::path()), errors::kInvalidCall, {"--home"}));
}

}  // namespace
}  // namespace skedora
