#include "os/home_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "os/atomic_file.h"

namespace skedora {

namespace {
Error LockFileError(const std::filesystem::path& file, const std::string& reason) {
    return errors::PathFileAccess("cannot use the lock file " + file.string() + ": " + reason);
}

/** The file's first bytes; empty when it cannot be read. */
std::string ReadFrom(int fd) {
    char buffer[512];
    ssize_t got = 0;
    do {
        got = ::pread(fd, buffer, sizeof buffer, 0);
    } while (got < 0 && errno == EINTR);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

/** "program LF pid LF" as the holder writes it. */
LockHolder ParseHolder(std::string_view text) {
    LockHolder holder;
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
        return holder;
    }
    std::string_view pidText = text.substr(end + 1);
    pidText = pidText.substr(0, pidText.find('\n'));
    pid_t pid = 0;
    const auto [ptr, ec] = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid);
    if (ec == std::errc() && ptr == pidText.data() + pidText.size() && pid > 0) {
        holder.program = std::string(text.substr(0, end));
        holder.pid = pid;
    }
    return holder;
}

}  // namespace

std::variant<HomeLock, LockHolder, Error> HomeLock::TryAcquire(const std::filesystem::path& home,
                                                               std::string_view programName) {
    const std::filesystem::path file = home / kFileName;
    // No link is followed and nothing but a plain file is used: opening does not wait on a
    // planted pipe, and the file is readable by its owner only.
    const int fd = ::open(file.c_str(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0600);
    if (fd < 0) {
        const int err = errno;
        return LockFileError(file, err == ELOOP ? "it is a link" : std::strerror(err));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return LockFileError(file, "it is not a plain file");
    }
    int locked = 0;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int err = errno;
        if (err != EWOULDBLOCK) {
            ::close(fd);
            return LockFileError(file, std::strerror(err));
        }
        // The holder writes its name right after taking the lock; give it a moment to do so.
        LockHolder holder = ParseHolder(ReadFrom(fd));
        for (int attempt = 0; holder.pid == 0 && attempt < 20; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            holder = ParseHolder(ReadFrom(fd));
        }
        ::close(fd);
        return holder;
    }
    const std::string text = std::string(programName) + "\n" + std::to_string(::getpid()) + "\n";
    MaybeError written = ::ftruncate(fd, 0) == 0
                             ? WriteAll(fd, text)
                             : MaybeError(Error{errors::kPathFileAccess, std::strerror(errno)});
    if (written) {
        ::close(fd);
        return LockFileError(file, written->description);
    }
    return HomeLock(fd);
}

HomeLock::~HomeLock() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

HomeLock::HomeLock(HomeLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

HomeLock& HomeLock::operator=(HomeLock&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

}  // namespace skedora
