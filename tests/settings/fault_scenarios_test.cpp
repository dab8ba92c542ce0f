// SK.ini that cannot be replaced: in a read-only folder, on a full disk. The save reports why,
// naming the file, and the old file stays whole with no temporary file left beside it.
#include <gtest/gtest.h>

#include "settings/filled_rule_set.h"
#include "settings/settings_store.h"
#include "support/private_mounts.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(SettingsFaults, ASaveThatCannotReplaceSkIniKeepsTheOldOne) {
    const std::string old = "[Skedora]\r\nVersion=1\r\n[Delete]\r\nCall_Letter_1=KOLD\r\n";
    const struct {
        const char* what;
        const char* reason;
        bool (*prepare)(const std::filesystem::path& home, const std::string& old);
    } faults[] = {
        {"read-only folder", "Read-only file system",
         [](const std::filesystem::path& home, const std::string& old) {
             test::WriteFile(SettingsFilePath(home), old);
             return test::MountReadOnly(home);
         }},
        // Room for the old file only: the full rule set is several times its size.
        {"full disk", "No space left on device",
         [](const std::filesystem::path& home, const std::string& old) {
             if (!test::MountSmallDisk(home, 4096)) {
                 return false;
             }
             test::WriteFile(SettingsFilePath(home), old);
             return true;
         }},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.what);
        TempDir home;
        const auto failure = test::WithPrivateMounts([&]() -> std::string {
            if (!fault.prepare(home.path(), old)) {
                return "the fault could not be set up";
            }
            const MaybeError error = SaveSettings(home.path(), test::FilledRuleSet());
            if (!error || error->number != errors::kPathFileAccess ||
                error->description.find(SettingsFilePath(home.path()).string()) ==
                    std::string::npos ||
                error->description.find(fault.reason) == std::string::npos) {
                return "wrong error: " + (error ? error->description : std::string("none"));
            }
            if (ReadFile(SettingsFilePath(home.path())) != old) {
                return "the old SK.ini changed";
            }
            if (std::distance(std::filesystem::directory_iterator(home.path()), {}) != 1) {
                return "a temporary file was left behind";
            }
            RuleSet loaded;
            if (!LoadSettings(home.path(), loaded) ||
                loaded.DeleteCallLetterRules[1].CallLetter != "KOLD") {
                return "the old rules no longer load";
            }
            return "";
        });
        if (!failure) {
            GTEST_SKIP() << "this machine does not allow private mounts";
        }
        EXPECT_EQ(*failure, "");
    }
}

}  // namespace
}  // namespace skedora
