#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"
#include "os/file_system.h"
#include "watch/converted_file_list.h"

namespace skedora {

/** A schedule file the watch folder hands over for conversion. */
struct WatchedFile {
    std::string name;  // bare name, as listed
    std::chrono::system_clock::time_point modified;
};

/**
 * The watch folder's memory: the converted-file list, the files held back in this run and the
 * source to delete once its job is complete. From a listing and the time it says which file to
 * convert next, and it is told how that file's job went. It starts no job itself.
 */
class WatchFolder {
  public:
    /** A file modified this recently may still be being copied in. */
    static constexpr std::chrono::seconds kQuietPeriod{2};

    explicit WatchFolder(std::filesystem::path listFile);

    /** The converted-file list as FileList.txt holds it; nothing held back. */
    void Load();

    /**
     * One kind's part of a poll (extension ".DBF" or ".CSV", listing the folder's files of that
     * kind): the first file to convert now, or none. With Delete off a file in the converted-file
     * list is not converted again; names no longer listed are then forgotten.
     */
    std::optional<WatchedFile> PickNext(std::string_view extension,
                                        const std::vector<FolderEntry>& listing, bool deleteOn,
                                        std::chrono::system_clock::time_point now);

    /**
     * The picked file was handed to its loader (started: its job runs). Its name enters the
     * converted-file list, which is saved. With Delete on the source of a started job is deleted
     * when the job is complete; one whose set-up failed is held back.
     */
    MaybeError Picked(const std::string& folder, const WatchedFile& file, bool started,
                      bool deleteOn);

    /** The running job ended. With Delete on and a complete output: the path to delete now. */
    std::optional<std::string> JobEnded(bool outputComplete);
    /** The outcome of deleting that path: a source that stays is held back. */
    void SourceDeleted(bool deleted);
    /** The program stops in the middle of a job: its source is not deleted. */
    void ForgetPendingDelete() { m_pendingDelete.reset(); }

    const ConvertedFileList& List() const { return m_list; }

  private:
    /** Drops held-back names of the kind that left the folder or were copied in anew. */
    void ReleaseHeldBack(std::string_view extension, const std::vector<FolderEntry>& listing);

    struct PendingDelete {
        std::string path;
        WatchedFile file;
    };

    ConvertedFileList m_list;
    std::optional<PendingDelete> m_pendingDelete;
    /** Files not to convert again while they stay unchanged, with their modification times. */
    std::map<std::string, std::chrono::system_clock::time_point> m_heldBack;
};

}  // namespace skedora
