#pragma once

#include <filesystem>
#include <string_view>

#include "model/error.h"

namespace skedora {

/**
 * Replaces the file with the bytes: they are written to a temporary file in the same folder,
 * flushed to disk and renamed over the file, so the file is either the old one or the new one,
 * never a half-written mix. The error names the file and the system's reason.
 */
MaybeError WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace skedora
