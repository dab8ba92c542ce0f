#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "model/error.h"

namespace skedora {

/** Who holds the home's lock, as its lock file tells; pid 0 when the file does not say. */
struct LockHolder {
    std::string program;
    pid_t pid = 0;

    bool operator==(const LockHolder&) const = default;
};

/**
 * The lock that makes one process the watcher of a home: an advisory lock on the file
 * "skedora.lock" in the home folder. The kernel releases it when the holding process ends, however
 * it ends, so a lock is never left behind. The file names the holder (program and process id).
 */
class HomeLock {
  public:
    static constexpr std::string_view kFileName = "skedora.lock";

    /**
     * Takes the lock for programName, or tells who holds it. The error says why the lock file
     * cannot be opened (a link or other non-file in its place, no permission).
     */
    static std::variant<HomeLock, LockHolder, Error> TryAcquire(const std::filesystem::path& home,
                                                                std::string_view programName);

    ~HomeLock();
    HomeLock(HomeLock&& other) noexcept;
    HomeLock& operator=(HomeLock&& other) noexcept;
    HomeLock(const HomeLock&) = delete;
    HomeLock& operator=(const HomeLock&) = delete;

  private:
    explicit HomeLock(int fd) : m_fd(fd) {}

    int m_fd = -1;
};

}  // namespace skedora
