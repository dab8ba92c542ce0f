#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"

namespace skedora {

/** One file of a folder listing. */
struct FolderEntry {
    std::string name;
    std::chrono::system_clock::time_point modified;
};

/** Folder listing and the file operations of the watch folder. */
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    /**
     * The files of folder (a folder text; the caller passes it as stored) whose names end with
     * extension (".DBF"; letter case ignored), in ascending name order, hidden files left out.
     * A folder that cannot be listed gives no entries.
     */
    virtual std::vector<FolderEntry> ListFiles(const std::string& folder,
                                               std::string_view extension) const = 0;
    /**
     * The dBASE (".DBF") and CSV (".CSV") files of folder together, in the order of ListFiles,
     * from one read of the folder.
     */
    virtual std::vector<FolderEntry> ListScheduleFiles(const std::string& folder) const = 0;
    virtual MaybeError DeleteFile(const std::string& path) = 0;
};

}  // namespace skedora
