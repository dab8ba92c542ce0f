#include "os/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace skedora {

namespace {
Error WriteError(const std::filesystem::path& path, int err) {
    return {errors::kPathFileAccess,
            "Path/File access error: cannot write " + path.string() + ": " + std::strerror(err)};
}
}  // namespace

MaybeError WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::string temp = path.string() + ".tmp-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        return WriteError(path, errno);
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        return WriteError(path, err);
    };
    // mkstemp creates the file readable by its owner only; give it the usual mode.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return WriteError(path, err);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return WriteError(path, err);
    }
    return std::nullopt;
}

}  // namespace skedora
