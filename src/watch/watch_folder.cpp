#include "watch/watch_folder.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "model/text.h"

namespace skedora {

namespace {
bool MayStillArrive(std::chrono::system_clock::time_point modified,
                    std::chrono::system_clock::time_point now) {
    const auto age = now - modified;
    return age < WatchFolder::kQuietPeriod && age > -WatchFolder::kQuietPeriod;
}

/** FileList.txt keeps one trimmed name a line: other names would not read back as they are. */
bool ListCanHold(std::string_view name) {
    return !name.empty() && TrimSpaces(name) == name &&
           name.find_first_of("\r\n") == std::string_view::npos;
}
/** Ascending by upper-case name, then byte by byte, so "a.csv" and "A.CSV" keep one order. */
void SortInTakingOrder(std::vector<FolderName>& entries) {
    std::sort(entries.begin(), entries.end(), [](const FolderName& a, const FolderName& b) {
        if (const int order = CompareUpperCase1252(a.name, b.name); order != 0) {
            return order < 0;
        }
        return a.name < b.name;
    });
}
}  // namespace

WatchFolder::WatchFolder(std::filesystem::path listFile) : m_list(std::move(listFile)) {}

MaybeError WatchFolder::Load() {
    std::unique_lock lock(m_mutex);
    ++m_generation;
    m_heldBack.clear();
    m_convertedThisRun.clear();
    m_running.reset();
    m_list.Reset();
    return m_list.LoadFileList();
}

void WatchFolder::ReleaseHeldBack(std::string_view extension,
                                  const std::vector<FolderName>& listing,
                                  const ModificationLookup& modifiedOf) {
    if (m_heldBack.empty()) {
        return;
    }
    // One pass over the listing finds the held names still there; only they are looked at.
    std::map<std::string_view, const FolderName*> present;
    for (const auto& entry : listing) {
        if (m_heldBack.contains(entry.name)) {
            present.emplace(entry.name, &entry);
        }
    }
    std::erase_if(m_heldBack, [&](const auto& held) {
        if (!HasExtension(held.first, extension)) {
            return false;
        }
        const auto listed = present.find(held.first);
        if (listed == present.end()) {
            return true;
        }
        const FolderName& entry = *listed->second;
        const auto modified = entry.modified ? entry.modified : modifiedOf(entry.name);
        return !modified || *modified != held.second;
    });
}

bool WatchFolder::IsRefused(const std::string& name) {
    if (ListCanHold(name)) {
        return false;
    }
    if (m_refused.insert(name).second) {
        m_newlyRefused.push_back(name);
    }
    return true;
}

std::vector<std::string> WatchFolder::TakeRefusedNames() {
    return std::exchange(m_newlyRefused, {});
}

SiftedListing WatchFolder::Sift(std::vector<FolderName> listing, bool deleteOn) const {
    // The lock is let go now and then, so a change on the program's thread never waits long.
    constexpr std::size_t kNamesPerLock = 4096;
    SiftedListing sifted;
    sifted.deleteOn = deleteOn;
    std::shared_lock lock(m_mutex);
    sifted.generation = m_generation;
    if (deleteOn) {
        lock.unlock();
        SortInTakingOrder(listing);
        sifted.entries = std::move(listing);
        return sifted;
    }
    std::vector<std::uint32_t> places;
    std::size_t kept = 0;
    for (std::size_t start = 0; start < listing.size(); start += kNamesPerLock) {
        if (start != 0) {
            lock.unlock();
            lock.lock();
            if (m_generation != sifted.generation) {
                return sifted;  // no longer current: the poll sifts again
            }
        }
        const std::size_t count = std::min(kNamesPerLock, listing.size() - start);
        m_list.PlacesOf(std::span(listing).subspan(start, count), places);
        for (std::size_t i = start; i < start + count; ++i) {
            const std::string& name = listing[i].name;
            if (const std::uint32_t place = places[i - start];
                place != ConvertedFileList::kNotHeld && !m_heldBack.contains(name) &&
                !m_convertedThisRun.contains(name)) {
                sifted.knownPlaces.push_back(place);
                continue;
            }
            if (kept != i) {
                listing[kept] = std::move(listing[i]);
            }
            ++kept;
        }
    }
    lock.unlock();
    listing.resize(kept);
    SortInTakingOrder(listing);
    sifted.entries = std::move(listing);
    return sifted;
}

bool WatchFolder::IsCurrent(const SiftedListing& sifted, bool deleteOn) const {
    std::shared_lock lock(m_mutex);
    return sifted.generation == m_generation && sifted.deleteOn == deleteOn;
}

std::optional<WatchedFile> WatchFolder::PickNext(std::string_view extension,
                                                 const SiftedListing& sifted,
                                                 std::chrono::system_clock::time_point now,
                                                 const ModificationLookup& modifiedOf) {
    const bool deleteOn = sifted.deleteOn;
    // Forgetting names and releasing held ones leave the places of the other kind as they are,
    // so neither counts as a change for a sift.
    std::unique_lock lock(m_mutex);
    const std::vector<FolderName>& listing = sifted.entries;
    ReleaseHeldBack(extension, listing, modifiedOf);
    if (listing.empty() && sifted.knownPlaces.empty()) {
        return std::nullopt;
    }
    m_list.MarkNotSeen(extension);
    for (const std::uint32_t place : sifted.knownPlaces) {
        m_list.MarkPlaceSeen(place);
    }
    for (const auto& entry : listing) {
        const std::string& name = entry.name;
        if (IsRefused(name)) {
            continue;
        }
        // Present, so IsKnownFile keeps its name from being forgotten, whatever comes next.
        const bool known = m_list.IsKnownFile(name);
        if (m_heldBack.contains(name)) {
            continue;
        }
        const auto converted = m_convertedThisRun.find(name);
        // Converted before this run and still here: left alone without a look at the file.
        if (!deleteOn && known && converted == m_convertedThisRun.end()) {
            continue;
        }
        const auto modified = entry.modified ? entry.modified : modifiedOf(name);
        // Gone since the listing, or left for a later poll.
        if (!modified || MayStillArrive(*modified, now)) {
            continue;
        }
        // Converted in this run: again only when it changed after its job.
        if (!deleteOn && known && converted->second == *modified) {
            continue;
        }
        return WatchedFile{name, *modified};
    }
    // A failed save keeps the list in memory; the next change saves it again.
    (void)m_list.ForgetNotSeen();
    return std::nullopt;
}

void WatchFolder::HoldBack(const WatchedFile& file) {
    std::unique_lock lock(m_mutex);
    ++m_generation;
    m_heldBack[file.name] = file.modified;
}

MaybeError WatchFolder::SetUpFailed(const WatchedFile& file, bool deleteOn) {
    std::unique_lock lock(m_mutex);
    ++m_generation;
    m_list.AddKnownFile(file.name);
    if (deleteOn) {
        m_heldBack[file.name] = file.modified;
    }
    // A failed save keeps the list in memory: the file is not converted again in this run.
    return m_list.SaveFileList();
}

void WatchFolder::JobStarted(const std::string& sourcePath, const WatchedFile& file,
                             bool deleteOn) {
    m_running = RunningJob{sourcePath, file, deleteOn};
}

WatchedJobEnd WatchFolder::JobEnded(bool outputComplete, bool sourceUnchanged) {
    std::unique_lock lock(m_mutex);
    ++m_generation;
    WatchedJobEnd end;
    if (!m_running) {
        return end;
    }
    const RunningJob& job = *m_running;
    if (!outputComplete) {
        // Not tried again in this run while the file stays as it is; after a restart it is.
        m_heldBack[job.file.name] = job.file.modified;
    } else if (sourceUnchanged) {
        m_list.AddKnownFile(job.file.name);
        m_convertedThisRun[job.file.name] = job.file.modified;
        end.listSaveFailure = m_list.SaveFileList();
        if (job.deleteOn) {
            end.sourceToDelete = job.sourcePath;
            return end;  // the job stays until SourceDeleted
        }
    } else {
        end.sourceChanged = true;
    }
    // A source that changed while it was converted is neither recorded nor held back: it is
    // converted again once it is quiet.
    m_running.reset();
    return end;
}

void WatchFolder::SourceDeleted(bool deleted) {
    std::unique_lock lock(m_mutex);
    ++m_generation;
    if (!m_running) {
        return;
    }
    if (deleted) {
        // A file copied in later under that name is a new file, not this one changed.
        m_convertedThisRun.erase(m_running->file.name);
    } else {
        m_heldBack[m_running->file.name] = m_running->file.modified;
    }
    m_running.reset();
}

}  // namespace skedora
