// Any SKCONV.INI text imports without a crash, every time amount ends up eight characters long,
// and the members the older file does not hold keep their values.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    skedora::RuleSet rules;
    rules.DeleteCallLetterRules[25].CallLetter = "KEEP";
    rules.DeleteSourceDestinationRules[48].Destination = "KEEP";
    rules.AutoLoadSettings.OutPath = "/out/";
    rules.AutoLoadSettings.Delete = true;
    skedora::ImportOldSettingsText(std::string_view(reinterpret_cast<const char*>(data), size),
                                   rules);

    for (const auto& rule : rules.ChangeTimeRules) {
        if (rule.Time.size() != 8) {
            std::abort();
        }
    }
    if (rules.AutoLoadSettings.Path.empty() ||
        rules.DeleteCallLetterRules[25].CallLetter != "KEEP" ||
        rules.DeleteSourceDestinationRules[48].Destination != "KEEP" ||
        rules.AutoLoadSettings.OutPath != "/out/" || !rules.AutoLoadSettings.Delete) {
        std::abort();
    }
    return 0;
}
