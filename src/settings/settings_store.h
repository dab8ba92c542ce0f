#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "model/error.h"
#include "model/rule_set.h"

namespace skedora {

/** "SK.ini" in the home folder. */
std::filesystem::path SettingsFilePath(const std::filesystem::path& home);
/** "SKCONV.INI" in the home folder. */
std::filesystem::path OldSettingsFilePath(const std::filesystem::path& home);

/** The default watch folder: the file-system root, "/" here. */
std::string DefaultWatchFolder();

/** What LoadSettings found. */
struct LoadedSettings {
    /** The file's "Version" is above 0; false also when there is no file. */
    bool current = false;
    /** Why a file that is there cannot be read; rules are then left as they were. */
    MaybeError unreadable;
};

/**
 * Fills every member of rules from SK.ini in home (defaults where keys are missing). A link
 * named SK.ini that leads to no file cannot be read: the user's rules are elsewhere, not absent.
 */
LoadedSettings LoadSettings(const std::filesystem::path& home, RuleSet& rules);
/** The same from the text of a settings file. */
bool LoadSettingsText(std::string_view text, RuleSet& rules);

/**
 * Writes every member of rules to SK.ini in home, in one write to a temporary file renamed
 * into place. On failure the old file stays as it was.
 */
MaybeError SaveSettings(const std::filesystem::path& home, const RuleSet& rules);
/** The text SaveSettings writes over a file that held oldText. */
std::string SettingsFileText(std::string_view oldText, const RuleSet& rules);

/** Fills the members that SKCONV.INI in home holds; the others keep their values. */
void ImportOldSettings(const std::filesystem::path& home, RuleSet& rules);
/** The same from the text of an older settings file. */
void ImportOldSettingsText(std::string_view text, RuleSet& rules);

}  // namespace skedora
