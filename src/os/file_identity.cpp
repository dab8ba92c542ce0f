#include "os/file_identity.h"

#include <sys/stat.h>

namespace skedora {

FileIdentity IdentityOfStat(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return IdentityOfStat(info);
}

std::optional<FileIdentity> IdentityOfOpenFile(int fd) {
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        return std::nullopt;
    }
    return IdentityOfStat(info);
}

std::chrono::system_clock::time_point ModificationTimeOf(const struct stat& info) {
    using namespace std::chrono;
    return system_clock::time_point(duration_cast<system_clock::duration>(
        seconds(info.st_mtim.tv_sec) + nanoseconds(info.st_mtim.tv_nsec)));
}

const char* FileKindText(mode_t mode) {
    if (S_ISREG(mode)) {
        return "a file";
    }
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISLNK(mode)) {
        return "a link";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    return "a socket";
}

bool IsUnchangedSince(const std::string& path, const SourceIdentity& read) {
    return !read.changedWhileRead && IdentityOf(path) == read.atStart;
}

}  // namespace skedora
