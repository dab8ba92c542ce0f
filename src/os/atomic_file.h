#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "model/error.h"

namespace skedora {

/**
 * Replaces the file with the bytes: they are written to a temporary file beside it, flushed to
 * disk and renamed over the file, so the file is either the old one or the new one, never a
 * half-written mix. A symbolic link is written through: the file it leads to is replaced and the
 * link stays. The file keeps its mode (and, for the superuser, its owner and group); a new file
 * gets the mode a plain create would give it. A file that is read-only or not writable is
 * refused. Other hard links of a replaced file keep its old contents. The error names the file
 * and the system's reason.
 */
MaybeError WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

/** Writes all of bytes at the descriptor's offset; the error holds the system's reason. */
MaybeError WriteAll(int fd, std::string_view bytes);

/** The folder a path names a file in; "." for a bare name. */
std::filesystem::path FolderOf(const std::filesystem::path& path);

/** A temporary file just created, open for writing. */
struct TemporaryFile {
    int fd = -1;
    std::string path;
};

/**
 * Creates an empty temporary file in folder for a file to be named finalName: exclusively,
 * following no link, with the mode given as open() takes it (the umask applies). Its name is
 * hidden (it starts with ".") and ends in ".tmp", so no folder listing of schedules or outputs
 * takes it. The error carries the system's reason.
 */
MaybeError CreateTemporaryFile(const std::filesystem::path& folder, std::string_view finalName,
                               mode_t mode, TemporaryFile& created);

/**
 * The longest final name a temporary file name keeps whole: "." + name + "." + six random letters
 * + ".tmp" must stay within a file name's 255 bytes. A longer name is cut to this length.
 */
inline constexpr std::size_t kLongestTemporaryFinalName = 243;

/** The final name a temporary file name was made for (shortened when that was long); empty for
 * any other name. */
std::string_view FinalNameOfTemporary(std::string_view name);

/** Flushes a folder's entries (a rename in it) to disk. */
MaybeError SyncFolder(const std::filesystem::path& folder);

/**
 * Removes the temporary files that writers killed part-way left in folder: only regular files
 * whose names follow the temporary pattern for a final name that wanted accepts, last written
 * more than olderThan ago. Links are never followed. A folder that cannot be listed removes
 * nothing and is no error; a file that cannot be removed is, naming it.
 */
MaybeError RemoveStaleTemporaryFiles(const std::filesystem::path& folder,
                                     const std::function<bool(std::string_view)>& wanted,
                                     std::chrono::seconds olderThan = std::chrono::minutes(1));

/** The same for the temporary files of the one final name baseName. */
MaybeError RemoveStaleTemporaryFiles(const std::filesystem::path& folder,
                                     std::string_view baseName);

}  // namespace skedora
