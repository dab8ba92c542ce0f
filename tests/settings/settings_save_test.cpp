#include <gtest/gtest.h>
#include <sys/stat.h>

#include "settings/filled_rule_set.h"
#include "settings/settings_store.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

namespace fs = std::filesystem;

TEST(SettingsSave, ALinkedPrivateFileIsSavedThroughKeepingItsModeAndAReadOnlyOneIsRefused) {
    test::TempDir home;
    test::TempDir shared;
    const std::string old = "[Skedora]\r\nVersion=1\r\n[Delete]\r\nCall_Letter_1=KOLD\r\n";
    test::WriteFile(shared.file("SK.ini"), old);
    ::chmod(shared.file("SK.ini").c_str(), 0600);
    fs::create_symlink(shared.file("SK.ini"), home.file("SK.ini"));

    ASSERT_EQ(SaveSettings(home.path(), test::FilledRuleSet()), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(home.file("SK.ini")));
    RuleSet loaded;
    EXPECT_TRUE(LoadSettings(home.path(), loaded));
    EXPECT_EQ(loaded.DeleteCallLetterRules, test::FilledRuleSet().DeleteCallLetterRules);
    struct stat info {};
    ::stat(shared.file("SK.ini").c_str(), &info);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(shared.path()), {}), 1);

    // Made read-only, it is left as it is and the error names it.
    const std::string saved = test::ReadFile(shared.file("SK.ini"));
    ::chmod(shared.file("SK.ini").c_str(), 0400);
    const MaybeError error = SaveSettings(home.path(), RuleSet{});
    ASSERT_NE(error, std::nullopt);
    EXPECT_EQ(error->number, errors::kPathFileAccess);
    EXPECT_NE(error->description.find(home.file("SK.ini").string()), std::string::npos)
        << error->description;
    EXPECT_NE(error->description.find("read-only"), std::string::npos) << error->description;
    EXPECT_EQ(test::ReadFile(shared.file("SK.ini")), saved);
}

}  // namespace
}  // namespace skedora
