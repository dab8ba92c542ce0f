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

/**
 * Fills every member of rules from SK.ini in home (defaults where keys are missing). True when
 * the file's "Version" is above 0, false otherwise, also when there is no file.
 */
bool LoadSettings(const std::filesystem::path& home, RuleSet& rules);
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
