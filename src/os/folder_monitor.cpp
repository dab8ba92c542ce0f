#include "os/folder_monitor.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "model/text.h"
#include "os/file_system.h"

namespace skedora {

namespace {
constexpr std::uint32_t kChangeEvents = IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_MODIFY |
                                        IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

std::string Reason(int err) {
    switch (err) {
        case ENOENT:
            return "the folder does not exist";
        case ENOTDIR:
            return "it is not a folder";
        case EACCES:
            return "permission denied";
        case ENOSPC:
            return "the system's limit of watched folders is reached (fs.inotify.max_user_watches)";
        case EMFILE:
            return "the system's limit of notification instances is reached "
                   "(fs.inotify.max_user_instances)";
        case ENOSYS:
        case EINVAL:
        case EOPNOTSUPP:
            return "the file system does not send change notifications";
        default:
            return std::strerror(err);
    }
}

Error NoNotifications(const std::string& folder, int err) {
    Error error = err == ENOENT ? errors::PathNotFound() : errors::PathFileAccess();
    error.description += ": no change notifications for " + folder + ": " + Reason(err) +
                         "; the folder is looked at on the timer only";
    return error;
}

}  // namespace

FolderMonitor::~FolderMonitor() {
    Close();
}

FolderMonitor::FolderMonitor(FolderMonitor&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_watch(std::exchange(other.m_watch, -1)),
      m_folder(std::move(other.m_folder)) {}

FolderMonitor& FolderMonitor::operator=(FolderMonitor&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_watch = std::exchange(other.m_watch, -1);
        m_folder = std::move(other.m_folder);
    }
    return *this;
}

void FolderMonitor::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = -1;
    m_watch = -1;
}

MaybeError FolderMonitor::Watch(const std::string& folder) {
    if (m_watch >= 0 && folder == m_folder) {
        return std::nullopt;
    }
    Stop();
    m_folder = folder;
    if (m_fd < 0) {
        m_fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (m_fd < 0) {
            return NoNotifications(folder, errno);
        }
    }
    const int watch =
        ::inotify_add_watch(m_fd, folder.empty() ? "." : folder.c_str(), kChangeEvents);
    if (watch < 0) {
        return NoNotifications(folder, errno);
    }
    m_watch = watch;
    // Whatever was pending concerned the folder watched before.
    (void)TakeChanges();
    return std::nullopt;
}

void FolderMonitor::Stop() {
    if (m_watch >= 0) {
        ::inotify_rm_watch(m_fd, m_watch);
        m_watch = -1;
    }
}

bool FolderMonitor::TakeChanges() {
    if (m_fd < 0) {
        return false;
    }
    bool changed = false;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;  // EAGAIN: nothing more pending
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            const std::string_view name =
                event.len > 0 ? std::string_view(buffer + at + sizeof event) : std::string_view();
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (event.mask & IN_Q_OVERFLOW) {
                changed = true;
                continue;
            }
            if (event.wd != m_watch || m_watch < 0) {
                continue;  // left over from a folder no longer watched
            }
            if (event.mask & IN_IGNORED) {
                m_watch = -1;  // the folder was removed, or its file system unmounted
                changed = true;
            } else if (event.mask & IN_MOVE_SELF) {
                // The folder text no longer names the folder watched: watch it again by name.
                Stop();
                changed = true;
            } else if (event.mask & IN_DELETE_SELF) {
                changed = true;
            } else if (IsScheduleFileName(name)) {
                changed = true;
            }
        }
    }
    return changed;
}

}  // namespace skedora
