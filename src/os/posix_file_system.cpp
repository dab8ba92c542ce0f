#include "os/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "os/file_identity.h"

namespace skedora {

namespace {

/**
 * The regular files (or links to one) of the folder whose names do not start with "." and are
 * schedule files' names, in the folder's order. The folder is read once; a file is looked at,
 * relative to the open folder, only when the folder does not say it is a regular file.
 */
std::vector<FolderName> ListScheduleFolder(const std::string& folder) {
    std::vector<FolderName> entries;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return entries;
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (!IsScheduleFileName(name)) {
            continue;
        }
        // A type other than a regular file or a link can be ruled out without a look-up.
        if (item->d_type != DT_UNKNOWN && item->d_type != DT_REG && item->d_type != DT_LNK) {
            continue;
        }
        std::optional<std::chrono::system_clock::time_point> modified;
        if (item->d_type != DT_REG) {
            struct stat info {};
            if (::fstatat(dirFd, item->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) {
                continue;
            }
            modified = ModificationTimeOf(info);
        }
        entries.push_back({std::string(name), modified});
    }
    ::closedir(dir);
    return entries;
}
}  // namespace

std::vector<FolderName> PosixFileSystem::ListScheduleNames(const std::string& folder) const {
    return ListScheduleFolder(folder);
}

std::optional<std::chrono::system_clock::time_point> PosixFileSystem::ModificationTime(
    const std::string& folder, const std::string& name) const {
    struct stat info {};
    if (name.empty() || ::stat((folder + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return ModificationTimeOf(info);
}

MaybeError PosixFileSystem::DeleteFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        const int err = errno;
        if (err == ENOENT) {
            return errors::FileNotFound();
        }
        return errors::PathFileAccess("cannot delete " + path + ": " + std::strerror(err));
    }
    return std::nullopt;
}

}  // namespace skedora
