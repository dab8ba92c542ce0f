// Any SK.ini text loads without a crash, and what it loaded survives a save and a second load;
// a second save over the first changes nothing.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    skedora::RuleSet loaded;
    skedora::LoadSettingsText(text, loaded);
    const std::string saved = skedora::SettingsFileText(text, loaded);

    skedora::RuleSet reloaded;
    if (!skedora::LoadSettingsText(saved, reloaded) || !(loaded == reloaded)) {
        std::abort();
    }
    if (skedora::SettingsFileText(saved, reloaded) != saved) {
        std::abort();
    }
    return 0;
}
