#pragma once

#include <filesystem>
#include <string>

#include "model/error.h"

namespace skedora {

/**
 * Reads the whole file into bytes. A file that does not exist leaves bytes empty and is no error;
 * one that exists but cannot be read (a folder, no access) is, naming the file and the reason.
 */
MaybeError ReadFileIfPresent(const std::filesystem::path& path, std::string& bytes);

}  // namespace skedora
