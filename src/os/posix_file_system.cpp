#include "os/posix_file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/text.h"

namespace skedora {

namespace {
std::chrono::system_clock::time_point ModificationTime(const struct stat& info) {
    using namespace std::chrono;
    return system_clock::time_point(duration_cast<system_clock::duration>(
        seconds(info.st_mtim.tv_sec) + nanoseconds(info.st_mtim.tv_nsec)));
}

bool NameBefore(const FolderEntry& a, const FolderEntry& b) {
    const std::string upperA = UpperCase1252(a.name);
    const std::string upperB = UpperCase1252(b.name);
    if (upperA != upperB) {
        return upperA < upperB;
    }
    return a.name < b.name;
}
}  // namespace

std::vector<FolderEntry> PosixFileSystem::ListFiles(const std::string& folder,
                                                    std::string_view extension) const {
    std::vector<FolderEntry> entries;
    const std::string dirPath = folder.empty() ? std::string(".") : folder;
    DIR* dir = ::opendir(dirPath.c_str());
    if (dir == nullptr) {
        return entries;
    }
    const std::string prefix = dirPath.back() == '/' ? dirPath : dirPath + "/";
    while (const dirent* item = ::readdir(dir)) {
        const std::string name = item->d_name;
        if (name.empty() || name[0] == '.' || !HasExtension(name, extension)) {
            continue;
        }
        struct stat info {};
        if (::stat((prefix + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        entries.push_back({name, ModificationTime(info)});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), NameBefore);
    return entries;
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
