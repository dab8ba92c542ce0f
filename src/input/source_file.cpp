#include "input/source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace skedora {

MaybeError OpenScheduleFile(const std::string& path, std::FILE*& file, FileIdentity& identity) {
    file = nullptr;
    // Not blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        return err == ENOENT ? errors::FileNotFound()
                             : errors::PathFileAccess(path + ": " + std::strerror(err));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int err = errno;
        ::close(fd);
        return errors::PathFileAccess(path + ": " + std::strerror(err));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return errors::PathFileAccess(path + ": not a regular file (" + FileKindText(info.st_mode) +
                                      ")");
    }
    identity = IdentityOfStat(info);
    file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        const int err = errno;
        ::close(fd);
        return errors::PathFileAccess(path + ": " + std::strerror(err));
    }
    return std::nullopt;
}

void RecordRead(std::FILE* file, const FileIdentity& atStart, SourceIdentity* read) {
    if (read != nullptr) {
        read->atStart = atStart;
        read->changedWhileRead = IdentityOfOpenFile(::fileno(file)) != atStart;
    }
}

Error ReadInterrupted(const std::string& name) {
    return errors::PathFileAccess(name + ": read interrupted");
}

}  // namespace skedora
