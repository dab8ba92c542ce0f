#include "os/home_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_dir.h"

namespace skedora {
namespace {

TEST(HomeLock, OneHolderPerHomeUntilItsLockGoes) {
    test::TempDir home, otherHome;
    auto first = HomeLock::TryAcquire(home.path(), "skedora-cli");
    ASSERT_TRUE(std::holds_alternative<HomeLock>(first));
    EXPECT_EQ(test::ModeOf(home.file("skedora.lock")), 0600u);

    // The holder a second one is told of is checked through the command line.
    EXPECT_TRUE(std::holds_alternative<LockHolder>(HomeLock::TryAcquire(home.path(), "skedora")));
    EXPECT_TRUE(std::holds_alternative<HomeLock>(HomeLock::TryAcquire(otherHome.path(), "x")));

    {
        HomeLock moved = std::move(std::get<HomeLock>(first));
        first = LockHolder{};
        EXPECT_TRUE(std::holds_alternative<LockHolder>(HomeLock::TryAcquire(home.path(), "b")));
    }
    EXPECT_TRUE(std::holds_alternative<HomeLock>(HomeLock::TryAcquire(home.path(), "skedora")));
}

TEST(HomeLock, RefusesALinkOrANonFileInPlaceOfTheLockFile) {
    test::TempDir home, elsewhere;
    test::WriteFile(elsewhere.file("target"), "keep");
    std::filesystem::create_symlink(elsewhere.file("target"), home.file("skedora.lock"));
    auto linked = HomeLock::TryAcquire(home.path(), "skedora");
    ASSERT_TRUE(std::holds_alternative<Error>(linked));
    EXPECT_NE(std::get<Error>(linked).description.find("link"), std::string::npos);
    EXPECT_EQ(test::ReadFile(elsewhere.file("target")), "keep");

    ASSERT_EQ(::mkfifo(elsewhere.file("skedora.lock").c_str(), 0600), 0);
    auto fifo = HomeLock::TryAcquire(elsewhere.path(), "skedora");  // must not wait for a writer
    ASSERT_TRUE(std::holds_alternative<Error>(fifo));
    EXPECT_EQ(std::get<Error>(fifo).number, errors::kPathFileAccess);

    auto missingHome = HomeLock::TryAcquire(home.file("missing"), "skedora");
    EXPECT_TRUE(std::holds_alternative<Error>(missingHome));
}

}  // namespace
}  // namespace skedora
