#pragma once

#include <string>

namespace skedora {

/** The program's version, major.minor.revision ("7.0.16"): the one place every program takes it. */
inline std::string VersionText() {
    return std::to_string(SKEDORA_VERSION_MAJOR) + "." + std::to_string(SKEDORA_VERSION_MINOR) +
           "." + std::to_string(SKEDORA_VERSION_REVISION);
}

}  // namespace skedora
