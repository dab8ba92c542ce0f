#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"
#include "model/text.h"

namespace skedora {

/**
 * One file of a names-first listing. The modification time is there only when the listing had to
 * look at the file anyway (a link, or a file system that does not say what kind a name is).
 */
struct FolderName {
    std::string name;
    std::optional<std::chrono::system_clock::time_point> modified;
};

/** A name the watch folder takes: not hidden, ending ".DBF" or ".CSV" in any letter case. */
inline bool IsScheduleFileName(std::string_view name) {
    return !name.empty() && name[0] != '.' &&
           (HasExtension(name, ".DBF") || HasExtension(name, ".CSV"));
}

/** Folder listing and the file operations of the watch folder. */
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    /**
     * The dBASE (".DBF") and CSV (".CSV") files of folder (a folder text, as stored; letter case
     * of the extension ignored), hidden files left out, in the folder's own order, from one read
     * of the folder and without looking at each file: a folder of many files the caller already
     * knows is listed at the cost of reading the folder alone. A folder that cannot be listed
     * gives no entries.
     */
    virtual std::vector<FolderName> ListScheduleNames(const std::string& folder) const = 0;
    /** The modification time of the regular file name in folder; none when there is none. */
    virtual std::optional<std::chrono::system_clock::time_point> ModificationTime(
        const std::string& folder, const std::string& name) const = 0;
    virtual MaybeError DeleteFile(const std::string& path) = 0;
};

}  // namespace skedora
