// Any SK.ini loads without a crash, and what it loaded survives a save and a second load.
#include <cstdlib>

#include "fuzz_file.h"
#include "settings/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFile file(data, size, "SK.ini");
    const std::filesystem::path home = FuzzFile::Folder();

    skedora::RuleSet loaded;
    skedora::LoadSettings(home, loaded);
    if (skedora::SaveSettings(home, loaded)) {
        std::abort();
    }
    skedora::RuleSet reloaded;
    if (!skedora::LoadSettings(home, reloaded) || !(loaded == reloaded)) {
        std::abort();
    }
    return 0;
}
