#include "support/private_mounts.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace skedora::test {

namespace {
constexpr int kNotAllowed = 77;
}  // namespace

std::optional<std::string> WithPrivateMounts(const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            ::_exit(kNotAllowed);
        }
        const std::string failure = body();
        const ssize_t written = ::write(channel[1], failure.data(), failure.size());
        ::_exit(written == static_cast<ssize_t>(failure.size()) ? 0 : 1);
    }
    ::close(channel[1]);
    std::string failure;
    char buffer[512];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        failure.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) {
        return std::nullopt;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNotAllowed) {
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return failure + " (the checking process ended abnormally)";
    }
    return failure;
}

bool MountReadOnly(const std::filesystem::path& folder) {
    const std::string path = folder.string();
    return ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

bool MountSmallDisk(const std::filesystem::path& folder, std::size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes);
    return ::mount("skedora-test", folder.string().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

}  // namespace skedora::test
