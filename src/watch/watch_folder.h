#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"
#include "os/file_system.h"
#include "watch/converted_file_list.h"

namespace skedora {

/** A schedule file the watch folder hands over for conversion. */
struct WatchedFile {
    std::string name;  // bare name, exactly as listed
    std::chrono::system_clock::time_point modified;
};

/**
 * One kind's listing of the watch folder, made ready for WatchFolder::PickNext by
 * WatchFolder::Sift, which may run off the program's thread: the names that cannot be picked are
 * left out, and only the places of those in the converted-file list are kept.
 */
struct SiftedListing {
    std::vector<FolderName> entries;         // in the order files are taken
    std::vector<std::uint32_t> knownPlaces;  // converted-file list places of the names left out
    std::uint64_t generation = 0;            // the watch folder's memory the sift saw
    bool deleteOn = false;
};

/** What is to happen once a watch-folder job has ended. */
struct WatchedJobEnd {
    /** With Delete on, a complete output and an unchanged source: the source to delete now. */
    std::optional<std::string> sourceToDelete;
    /** The converted-file list could not be saved. */
    MaybeError listSaveFailure;
    /** The output is complete but the source changed meanwhile: kept, converted again later. */
    bool sourceChanged = false;
};

/**
 * The watch folder's memory: the converted-file list, the files held back in this run and the
 * job running for one of its files. From a listing and the time it says which file to convert
 * next, and it is told how that file's job went. It starts no job itself.
 *
 * A name enters the converted-file list when its job's output is complete and its source was
 * not changed meanwhile, or when its set-up failed; a job that never completed is converted
 * again after a restart. A file converted in this run that changes afterwards (an upload that
 * went on after a pause) is converted again once it is quiet.
 */
class WatchFolder {
  public:
    /** A file modified this recently may still be being copied in. */
    static constexpr std::chrono::seconds kQuietPeriod{2};
    /** After the last change seen in the folder, a poll waits this long: the new file is quiet. */
    static constexpr std::chrono::milliseconds kPickupDelay =
        kQuietPeriod + std::chrono::milliseconds(100);

    explicit WatchFolder(std::filesystem::path listFile);

    /** The converted-file list as FileList.txt holds it; nothing held back or running. */
    MaybeError Load();

    /** The modification time of a listed file by its name; none when it is gone. */
    using ModificationLookup = std::function<std::optional<std::chrono::system_clock::time_point>(
        const std::string& name)>;

    /**
     * The listing of one kind without the names PickNext would pass over without a look (with
     * Delete off, names in the converted-file list that are neither held back nor converted in
     * this run), the rest in the order files are taken. Only what is left is sorted, so a folder
     * of known files costs no sort. Safe to call from another thread while this one uses the
     * watch folder.
     */
    SiftedListing Sift(std::vector<FolderName> listing, bool deleteOn) const;
    /** True while the sifted listing still fits this memory and the Delete setting. */
    bool IsCurrent(const SiftedListing& sifted, bool deleteOn) const;
    /**
     * One kind's part of a poll (extension ".DBF" or ".CSV", the folder's files of that kind
     * sifted with the Delete setting, and still current): the first file to convert now, or none.
     * Files are taken in ascending order of their names in upper case, then byte by byte. With
     * Delete off a file in the converted-file list is not converted again; names no longer listed
     * are then forgotten.
     *
     * A listed name without its modification time has it looked up only when the time decides:
     * the file may be converted, or it is held back. A poll of a folder of known files with Delete
     * off looks at none of them.
     */
    std::optional<WatchedFile> PickNext(std::string_view extension, const SiftedListing& sifted,
                                        std::chrono::system_clock::time_point now,
                                        const ModificationLookup& modifiedOf);
    /**
     * Names passed over because FileList.txt cannot hold them as they are (a line break, or a
     * blank at either end), each given once.
     */
    std::vector<std::string> TakeRefusedNames();

    /** The picked file's set-up failed: it is recorded as converted; with Delete on held back. */
    MaybeError SetUpFailed(const WatchedFile& file, bool deleteOn);
    /** The picked file's output would replace another source's: held back, not recorded. */
    void HoldBack(const WatchedFile& file);
    /** A job runs for the picked file, whose path is sourcePath. */
    void JobStarted(const std::string& sourcePath, const WatchedFile& file, bool deleteOn);
    /**
     * The running job ended; outputComplete when its output is whole, sourceUnchanged when the
     * path still leads to the file that was read. A job without a complete output is held back.
     */
    WatchedJobEnd JobEnded(bool outputComplete, bool sourceUnchanged);
    /** The outcome of deleting the source: one that stays is held back. */
    void SourceDeleted(bool deleted);
    /** The program stops in the middle of a job: its source is neither deleted nor recorded. */
    void ForgetRunningJob() { m_running.reset(); }

    const ConvertedFileList& List() const { return m_list; }

  private:
    /** Drops held-back names of the kind that left the folder or were copied in anew. */
    void ReleaseHeldBack(std::string_view extension, const std::vector<FolderName>& listing,
                         const ModificationLookup& modifiedOf);
    bool IsRefused(const std::string& name);

    struct RunningJob {
        std::string sourcePath;
        WatchedFile file;
        bool deleteOn = false;
    };

    ConvertedFileList m_list;
    std::optional<RunningJob> m_running;
    /** Files not to convert again while they stay unchanged, with their modification times. */
    std::map<std::string, std::chrono::system_clock::time_point> m_heldBack;
    /** Files converted in this run, with their modification times when they were read. */
    std::map<std::string, std::chrono::system_clock::time_point> m_convertedThisRun;
    std::set<std::string> m_refused;
    /**
     * Guards what Sift reads (the converted-file list, held back, converted in this run) against
     * the changes; a change that Sift must not miss counts up m_generation.
     */
    mutable std::shared_mutex m_mutex;
    std::uint64_t m_generation = 0;
    std::vector<std::string> m_newlyRefused;
};

}  // namespace skedora
