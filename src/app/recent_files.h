#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "model/error.h"

namespace skedora {

/**
 * The schedule files opened last, newest first, kept in Recent.txt in the home: one path (bytes)
 * per line. The Open command starts in the folder of the newest.
 */
class RecentFiles {
  public:
    static constexpr std::size_t kMaxFiles = 8;
    static constexpr const char* kFileName = "Recent.txt";

    explicit RecentFiles(const std::filesystem::path& home);

    /** Reads the file; a missing file is an empty list. */
    MaybeError Load();
    /**
     * Puts path first (once) and rewrites the file. A path holding a line break cannot be kept
     * in a line and is left out.
     */
    MaybeError Add(const std::string& path);

    const std::vector<std::string>& Files() const { return m_files; }
    /** The folder of the newest file, with its final separator; empty when there is none. */
    std::string LastFolder() const;

  private:
    std::filesystem::path m_file;
    std::vector<std::string> m_files;
};

}  // namespace skedora
