#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace skedora {

/**
 * Which file a name stood for, and in what state: a file replaced under the same name has
 * another device or inode, a file written to has another size or modification time.
 */
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  // since the epoch

    bool operator==(const FileIdentity&) const = default;
};

/** The file a reader read: its identity when the read began, and whether it changed since. */
struct SourceIdentity {
    FileIdentity atStart;
    bool changedWhileRead = false;
};

/**
 * The identity of the file the path leads to, following symbolic links as opening it would;
 * none when there is no such file.
 */
std::optional<FileIdentity> IdentityOf(const std::string& path);

/** The identity a stat gave. */
FileIdentity IdentityOfStat(const struct stat& info);

/** The identity of an open file; none when the descriptor is not one. */
std::optional<FileIdentity> IdentityOfOpenFile(int fd);

/** The modification time a stat gave. */
std::chrono::system_clock::time_point ModificationTimeOf(const struct stat& info);

/** What a file of the mode is, for messages: "a folder", "a FIFO", "a device", ... */
const char* FileKindText(mode_t mode);

/** True when the path still leads to the file that was read, unchanged since. */
bool IsUnchangedSince(const std::string& path, const SourceIdentity& read);

}  // namespace skedora
