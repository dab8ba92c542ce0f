#include "os/file_contents.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace skedora {

namespace {
Error ReadError(const std::filesystem::path& path, const std::string& reason) {
    return errors::PathFileAccess("cannot read " + path.string() + ": " + reason);
}
}  // namespace

MaybeError ReadFileIfPresent(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    // Not blocking, so a FIFO in the file's place is refused below instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        return ReadError(path, std::strerror(errno));
    }
    MaybeError error;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = ReadError(path, std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        error = ReadError(path, "not a file");
    } else {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                error = ReadError(path, std::strerror(errno));
                bytes.clear();
                break;
            }
            if (got == 0) {
                break;
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return error;
}

}  // namespace skedora
