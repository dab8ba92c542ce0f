// Any SKCONV.INI imports without a crash, and every time amount ends up eight characters long.
#include <cstdlib>

#include "fuzz_file.h"
#include "settings/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFile file(data, size, "SKCONV.INI");
    skedora::RuleSet rules;
    skedora::ImportOldSettings(FuzzFile::Folder(), rules);
    for (const auto& rule : rules.ChangeTimeRules) {
        if (rule.Time.size() != 8) {
            std::abort();
        }
    }
    if (rules.AutoLoadSettings.Path.empty()) {
        std::abort();
    }
    return 0;
}
