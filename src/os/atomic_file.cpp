#include "os/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "os/file_identity.h"

namespace skedora {

namespace {

constexpr std::string_view kTemporaryEnd = ".tmp";
constexpr std::size_t kRandomLength = 6;
constexpr std::size_t kLongestKeptName = kLongestTemporaryFinalName;
static_assert(1 + kLongestKeptName + 1 + kRandomLength + kTemporaryEnd.size() == 255);
constexpr std::string_view kLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kMostLinkSteps = 40;

bool IsLetter(char c) {
    return kLetters.find(c) != std::string_view::npos;
}

std::string RandomLetters() {
    unsigned char bytes[kRandomLength] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // Without the system's randomness a clock reading tells attempts apart well enough:
        // the exclusive create settles any clash.
        auto seed = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        for (unsigned char& byte : bytes) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            byte = static_cast<unsigned char>(seed >> 56);
        }
    }
    std::string letters;
    for (const unsigned char byte : bytes) {
        letters += kLetters[byte % kLetters.size()];
    }
    return letters;
}

Error WriteError(const std::filesystem::path& path, const std::string& reason) {
    return errors::PathFileAccess("cannot write " + path.string() + ": " + reason);
}

/** The file a chain of symbolic links ends at; the path itself when it is no link. */
MaybeError ResolveLinks(const std::filesystem::path& path, std::filesystem::path& target) {
    target = path;
    for (int step = 0; step < kMostLinkSteps; ++step) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) {
            if (errno == ENOENT) {
                return std::nullopt;  // a new file, or a link to one still to be made
            }
            return WriteError(path, std::strerror(errno));
        }
        if (!S_ISLNK(info.st_mode)) {
            return std::nullopt;
        }
        std::string link(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)) + 256, '\0');
        const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
        if (length < 0) {
            return WriteError(path, std::strerror(errno));
        }
        link.resize(static_cast<std::size_t>(length));
        const std::filesystem::path next(link);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return WriteError(path, std::strerror(ELOOP));
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

MaybeError WriteAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Error{errors::kPathFileAccess, std::strerror(errno)};
        }
        written += static_cast<std::size_t>(n);
    }
    return std::nullopt;
}

std::filesystem::path FolderOf(const std::filesystem::path& path) {
    const auto folder = path.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

MaybeError CreateTemporaryFile(const std::filesystem::path& folder, std::string_view finalName,
                               mode_t mode, TemporaryFile& created) {
    const std::string prefix =
        (folder / ("." + std::string(finalName.substr(0, kLongestKeptName)) + ".")).string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = prefix + RandomLetters() + std::string(kTemporaryEnd);
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            created = {fd, std::move(path)};
            return std::nullopt;
        }
        if (errno != EEXIST) {
            return Error{errors::kPathFileAccess, std::strerror(errno)};
        }
    }
    return Error{errors::kPathFileAccess, std::strerror(EEXIST)};
}

std::string_view FinalNameOfTemporary(std::string_view name) {
    constexpr std::size_t kAdded = 2 + kRandomLength + kTemporaryEnd.size();
    if (name.size() <= kAdded || name.front() != '.' || !name.ends_with(kTemporaryEnd)) {
        return {};
    }
    const std::size_t randomAt = name.size() - kTemporaryEnd.size() - kRandomLength;
    const std::string_view random = name.substr(randomAt, kRandomLength);
    if (name[randomAt - 1] != '.' || !std::all_of(random.begin(), random.end(), IsLetter)) {
        return {};
    }
    return name.substr(1, randomAt - 2);
}

MaybeError SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return Error{errors::kPathFileAccess, std::strerror(errno)};
    }
    // Some file systems cannot flush a folder by itself; their renames are as safe as they get.
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const int err = errno;
    ::close(fd);
    if (!synced) {
        return Error{errors::kPathFileAccess, std::strerror(err)};
    }
    return std::nullopt;
}

MaybeError WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path target;
    if (auto error = ResolveLinks(path, target)) {
        return error;
    }
    const auto named = [&](const std::string& reason) {
        return target == path ? WriteError(path, reason)
                              : WriteError(path, "(" + target.string() + ") " + reason);
    };

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) {
            return named(std::string("not a regular file (") + FileKindText(existing.st_mode) +
                         ")");
        }
        // The owner's write bit counts even for the superuser, whom access() never refuses.
        if ((existing.st_mode & S_IWUSR) == 0) {
            return named("the file is read-only");
        }
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            return named(std::strerror(errno));
        }
    }

    TemporaryFile temp;
    // An existing file's contents stay as private as they were until its mode is copied over.
    if (auto error = CreateTemporaryFile(FolderOf(target), target.filename().string(),
                                         exists ? S_IRUSR | S_IWUSR : 0666, temp)) {
        return named(error->description);
    }
    auto fail = [&](const std::string& reason) {
        ::close(temp.fd);
        ::unlink(temp.path.c_str());
        return named(reason);
    };
    if (exists) {
        if (::geteuid() == 0 && ::fchown(temp.fd, existing.st_uid, existing.st_gid) != 0) {
            return fail(std::strerror(errno));
        }
        if (::fchmod(temp.fd, existing.st_mode & 07777) != 0) {
            return fail(std::strerror(errno));
        }
    }
    if (auto error = WriteAll(temp.fd, bytes)) {
        return fail(error->description);
    }
    if (::fsync(temp.fd) != 0) {
        return fail(std::strerror(errno));
    }
    if (::close(temp.fd) != 0) {
        const int err = errno;
        ::unlink(temp.path.c_str());
        return named(std::strerror(err));
    }
    if (::rename(temp.path.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.path.c_str());
        return named(std::strerror(err));
    }
    if (auto error = SyncFolder(FolderOf(target))) {
        return named(error->description);
    }
    return std::nullopt;
}

MaybeError RemoveStaleTemporaryFiles(const std::filesystem::path& folder,
                                     const std::function<bool(std::string_view)>& wanted,
                                     std::chrono::seconds olderThan) {
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return std::nullopt;
    }
    const std::unique_ptr<DIR, DirCloser> dir(::fdopendir(folderFd));
    if (!dir) {
        ::close(folderFd);
        return std::nullopt;
    }
    const auto now = std::chrono::system_clock::now();
    MaybeError firstFailure;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        const std::string_view finalName = FinalNameOfTemporary(name);
        if (finalName.empty() || !wanted(finalName)) {
            continue;
        }
        struct stat info {};
        if (::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode)) {
            continue;
        }
        if (now - ModificationTimeOf(info) <= olderThan) {
            continue;  // perhaps a save going on right now
        }
        if (::unlinkat(folderFd, entry->d_name, 0) != 0 && errno != ENOENT && !firstFailure) {
            firstFailure = errors::PathFileAccess("cannot remove " + (folder / name).string() +
                                                  ": " + std::strerror(errno));
        }
    }
    return firstFailure;
}

MaybeError RemoveStaleTemporaryFiles(const std::filesystem::path& folder,
                                     std::string_view baseName) {
    const std::string_view kept = baseName.substr(0, kLongestKeptName);
    return RemoveStaleTemporaryFiles(
        folder, [kept](std::string_view finalName) { return finalName == kept; });
}

}  // namespace skedora
