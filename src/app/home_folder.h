#pragma once

#include <filesystem>
#include <optional>

#include "model/error.h"

namespace skedora {

/**
 * The folder of SK.ini, SKCONV.INI, FileList.txt and the job log: explicitHome when given; else
 * programFolder when it already holds SK.ini or SKCONV.INI (portable use); else
 * $XDG_CONFIG_HOME/skedora, or $HOME/.config/skedora when XDG_CONFIG_HOME is unset, empty or
 * relative. Empty when none of these applies (no absolute HOME either): EnsureHomeFolder then
 * reports it, rather than the settings landing in whatever the current folder happens to be.
 */
std::filesystem::path ResolveHomeFolder(const std::optional<std::filesystem::path>& explicitHome,
                                        const std::filesystem::path& programFolder,
                                        const char* xdgConfigHome, const char* userHome);

/**
 * Creates the folder, and its missing parents, each new one with mode 0700 (settings are the
 * user's own). An existing folder, or a link to one, is left as it is. An error naming the folder
 * when it cannot be created, when something else is in its place, or when home is empty.
 */
MaybeError EnsureHomeFolder(const std::filesystem::path& home);

/** The folder of the running executable (/proc/self/exe), else the current folder. */
std::filesystem::path ProgramFolder();

}  // namespace skedora
