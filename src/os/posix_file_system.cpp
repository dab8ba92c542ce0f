#include "os/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "model/text.h"

namespace skedora {

namespace {
bool IsScheduleName(std::string_view name) {
    return HasExtension(name, ".DBF") || HasExtension(name, ".CSV");
}

std::chrono::system_clock::time_point ModificationTime(const struct stat& info) {
    using namespace std::chrono;
    return system_clock::time_point(duration_cast<system_clock::duration>(
        seconds(info.st_mtim.tv_sec) + nanoseconds(info.st_mtim.tv_nsec)));
}

/**
 * The regular files (or links to one) of the folder whose names do not start with "." and are
 * schedule files' names, ordered by upper-case name, then byte by byte. The folder is read once;
 * a file is looked at, relative to the open folder, only when the folder does not say it is a
 * regular file. The names are gathered in one buffer and sorted there, so a name costs
 * one allocation, for the entry it ends in.
 */
std::vector<FolderName> ListScheduleFolder(const std::string& folder) {
    struct Found {
        std::uint32_t offset;
        std::uint32_t length;
        std::chrono::system_clock::time_point modified;
        bool timed;
    };
    std::string names;
    std::vector<Found> found;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) {
        return {};
    }
    const int dirFd = ::dirfd(dir);
    while (const dirent* item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        if (name.empty() || name[0] == '.' || !IsScheduleName(name)) {
            continue;
        }
        // A type other than a regular file or a link can be ruled out without a look-up.
        if (item->d_type != DT_UNKNOWN && item->d_type != DT_REG && item->d_type != DT_LNK) {
            continue;
        }
        Found entry{static_cast<std::uint32_t>(names.size()),
                    static_cast<std::uint32_t>(name.size()),
                    {},
                    false};
        if (item->d_type != DT_REG) {
            struct stat info {};
            if (::fstatat(dirFd, item->d_name, &info, 0) != 0 || !S_ISREG(info.st_mode)) {
                continue;
            }
            entry.modified = ModificationTime(info);
            entry.timed = true;
        }
        names.append(name);
        found.push_back(entry);
    }
    ::closedir(dir);

    const auto nameOf = [&names](const Found& entry) {
        return std::string_view(names).substr(entry.offset, entry.length);
    };
    std::sort(found.begin(), found.end(), [&](const Found& a, const Found& b) {
        const std::string_view left = nameOf(a);
        const std::string_view right = nameOf(b);
        if (const int order = CompareUpperCase1252(left, right); order != 0) {
            return order < 0;
        }
        return left < right;
    });
    std::vector<FolderName> entries;
    entries.reserve(found.size());
    for (const Found& entry : found) {
        entries.push_back({std::string(nameOf(entry)),
                           entry.timed ? std::optional(entry.modified) : std::nullopt});
    }
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
    return skedora::ModificationTime(info);
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
