#include "settings/settings_store.h"

#include <cstdint>

#include "model/text.h"
#include "os/atomic_file.h"
#include "os/file_contents.h"
#include "settings/profile_file.h"
#include "settings/settings_layout.h"

namespace skedora {

namespace {
constexpr const char* kVersionSection = "Skedora";
constexpr const char* kVersionKey = "Version";

/** True exactly when the value's number is 1. */
bool FlagValue(std::string_view value) {
    return LeadingNumber(TrimSpaces(value)) == 1.0;
}

class SettingsLoader {
  public:
    explicit SettingsLoader(const ProfileFile& file) : m_file(file) {}

    void Text(const char* section, const std::string& key, std::string& value) {
        value = m_file.Get(section, key, "");
    }
    void Flag(const char* section, const std::string& key, bool& value, bool defaultValue) {
        value = FlagValue(m_file.Get(section, key, defaultValue ? "1" : "0"));
    }
    void Math(const char* section, const std::string& key, std::int16_t& value) {
        // A number outside 16 bits names no operation; -1 changes nothing.
        value = RoundToInt16(LeadingNumber(m_file.Get(section, key, ""))).value_or(-1);
    }
    void Folder(const char* section, const std::string& key, std::string& value,
                const std::string& defaultValue) {
        value = std::string(TrimSpaces(m_file.Get(section, key, defaultValue)));
    }

  private:
    const ProfileFile& m_file;
};

class SettingsWriter {
  public:
    explicit SettingsWriter(ProfileFile& file) : m_file(file) {}

    void Text(const char* section, const std::string& key, const std::string& value) {
        m_file.Set(section, key, value);
    }
    void Flag(const char* section, const std::string& key, bool value, bool) {
        m_file.Set(section, key, value ? "1" : "0");
    }
    void Math(const char* section, const std::string& key, std::int16_t value) {
        m_file.Set(section, key, std::to_string(value));
    }
    void Folder(const char* section, const std::string& key, const std::string& value,
                const std::string&) {
        m_file.Set(section, key, value);
    }

  private:
    ProfileFile& m_file;
};
}  // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& home) {
    return home / "SK.ini";
}

std::filesystem::path OldSettingsFilePath(const std::filesystem::path& home) {
    return home / "SKCONV.INI";
}

std::string DefaultWatchFolder() {
#ifdef _WIN32
    return "C:\\";
#else
    return "/";
#endif
}

LoadedSettings LoadSettings(const std::filesystem::path& home, RuleSet& rules) {
    const auto path = SettingsFilePath(home);
    std::string bytes;
    if (auto error = ReadFileIfPresent(path, bytes)) {
        return {false, std::move(error)};
    }
    std::error_code ec;
    if (bytes.empty() && std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec)) &&
        !std::filesystem::exists(path, ec)) {
        return {false, errors::PathFileAccess("cannot read " + path.string() +
                                              ": the link leads to no file")};
    }
    return {LoadSettingsText(bytes, rules), std::nullopt};
}

bool LoadSettingsText(std::string_view text, RuleSet& rules) {
    const ProfileFile file = ProfileFile::Parse(text);
    const bool current = LeadingNumber(file.Get(kVersionSection, kVersionKey, "0")) > 0;
    SettingsLoader loader(file);
    VisitSettingsKeys(rules, loader, DefaultWatchFolder());
    ResetMalformedChangeTimes(rules);
    return current;
}

MaybeError SaveSettings(const std::filesystem::path& home, const RuleSet& rules) {
    const auto path = SettingsFilePath(home);
    std::string bytes;
    // A file that is there but unreadable is not replaced: its other keys would be lost.
    if (auto error = ReadFileIfPresent(path, bytes)) {
        return error;
    }
    return WriteFileAtomically(path, SettingsFileText(bytes, rules));
}

std::string SettingsFileText(std::string_view oldText, const RuleSet& rules) {
    ProfileFile file = ProfileFile::Parse(oldText);
    file.Set(kVersionSection, kVersionKey, "1");
    SettingsWriter writer(file);
    VisitSettingsKeys(rules, writer, DefaultWatchFolder());
    return file.Serialize();
}

}  // namespace skedora
