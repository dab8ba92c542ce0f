#pragma once

#include <string>

#include "model/error.h"

namespace skedora {

/**
 * Change notifications for one folder (inotify): tells that a schedule file (".DBF" or ".CSV",
 * letter case ignored) was created, moved in, written and closed, or changed, so the folder can
 * be looked at without waiting for the next timed look. The descriptor stays the same for the
 * monitor's life, so a caller may wait on it once and re-Watch freely.
 */
class FolderMonitor {
  public:
    FolderMonitor() = default;
    ~FolderMonitor();
    FolderMonitor(FolderMonitor&& other) noexcept;
    FolderMonitor& operator=(FolderMonitor&& other) noexcept;
    FolderMonitor(const FolderMonitor&) = delete;
    FolderMonitor& operator=(const FolderMonitor&) = delete;

    /**
     * Watches folder (a folder text; empty means the current folder) in place of the folder
     * watched so far; nothing happens when it is that folder already. Fails, saying why, when no
     * notifications can be had for it: a missing folder, the system's limit of watches, a file
     * system without notifications. The monitor then watches nothing.
     */
    MaybeError Watch(const std::string& folder);

    /** Watches nothing any more. */
    void Stop();

    /** Readable when changes are pending; -1 before the first Watch. */
    int FileDescriptor() const { return m_fd; }

    /**
     * Reads every pending notification without waiting. True when one of them concerns a
     * schedule file, when notifications were lost, or when the folder itself went away.
     */
    bool TakeChanges();

  private:
    void Close();

    int m_fd = -1;
    int m_watch = -1;
    std::string m_folder;
};

}  // namespace skedora
