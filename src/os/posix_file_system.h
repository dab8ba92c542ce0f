#pragma once

#include "os/file_system.h"

namespace skedora {

/**
 * Folder listing and file operations on the local file system. A listed file is a regular file
 * (or a link to one) whose name does not start with "."; names are ordered by their upper-case
 * form, then byte by byte.
 */
class PosixFileSystem : public FileSystem {
  public:
    std::vector<FolderName> ListScheduleNames(const std::string& folder) const override;
    std::optional<std::chrono::system_clock::time_point> ModificationTime(
        const std::string& folder, const std::string& name) const override;
    MaybeError DeleteFile(const std::string& path) override;
};

}  // namespace skedora
