#include "model/atomic_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(WriteFileAtomically, ReplacesTheWholeFileAndLeavesNoTemporaryBehind) {
    TempDir dir;
    const auto path = dir.file("SK.ini");
    WriteFile(path, "old and much longer text\r\n");
    ASSERT_FALSE(WriteFileAtomically(path, "new\r\n"));
    EXPECT_EQ(ReadFile(path), "new\r\n");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(WriteFileAtomically, FailureInAReadOnlyFolderKeepsTheOldFileAndNamesIt) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    TempDir dir;
    const auto path = dir.file("SK.ini");
    WriteFile(path, "old\r\n");
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const auto error = WriteFileAtomically(path, "new\r\n");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_NE(error->description.find(path.string()), std::string::npos);
    EXPECT_EQ(ReadFile(path), "old\r\n");
}

TEST(WriteFileAtomically, MissingFolderIsAnError) {
    TempDir dir;
    EXPECT_TRUE(WriteFileAtomically(dir.file("missing") / "SK.ini", "x"));
}

}  // namespace
}  // namespace skedora
