#include "watch/watch_folder.h"

#include <algorithm>

#include "model/text.h"

namespace skedora {

namespace {
bool MayStillArrive(std::chrono::system_clock::time_point modified,
                    std::chrono::system_clock::time_point now) {
    const auto age = now - modified;
    return age < WatchFolder::kQuietPeriod && age > -WatchFolder::kQuietPeriod;
}
}  // namespace

WatchFolder::WatchFolder(std::filesystem::path listFile) : m_list(std::move(listFile)) {}

void WatchFolder::Load() {
    m_heldBack.clear();
    m_pendingDelete.reset();
    m_list.Reset();
    m_list.LoadFileList();
}

void WatchFolder::ReleaseHeldBack(std::string_view extension,
                                  const std::vector<FolderEntry>& listing) {
    std::erase_if(m_heldBack, [&](const auto& held) {
        if (!HasExtension(held.first, extension)) {
            return false;
        }
        const auto listed = std::find_if(listing.begin(), listing.end(), [&](const auto& entry) {
            return TrimSpaces(entry.name) == held.first;
        });
        return listed == listing.end() || listed->modified != held.second;
    });
}

std::optional<WatchedFile> WatchFolder::PickNext(std::string_view extension,
                                                 const std::vector<FolderEntry>& listing,
                                                 bool deleteOn,
                                                 std::chrono::system_clock::time_point now) {
    ReleaseHeldBack(extension, listing);
    if (listing.empty()) {
        return std::nullopt;
    }
    m_list.MarkNotSeen(extension);
    for (const auto& entry : listing) {
        const std::string name(TrimSpaces(entry.name));
        if (name.empty()) {
            continue;
        }
        // Left for a later poll, but present: IsKnownFile keeps its name from being forgotten.
        if (MayStillArrive(entry.modified, now) || m_heldBack.contains(name)) {
            m_list.IsKnownFile(name);
            continue;
        }
        if (!deleteOn && m_list.IsKnownFile(name)) {
            continue;
        }
        return WatchedFile{name, entry.modified};
    }
    m_list.ForgetNotSeen();
    return std::nullopt;
}

MaybeError WatchFolder::Picked(const std::string& folder, const WatchedFile& file, bool started,
                               bool deleteOn) {
    m_list.AddKnownFile(file.name);
    if (deleteOn) {
        if (started) {
            m_pendingDelete = PendingDelete{folder + file.name, file};
        } else {
            m_heldBack[file.name] = file.modified;
        }
    }
    // A failed save keeps the list in memory: the file is not converted again in this run.
    return m_list.SaveFileList();
}

std::optional<std::string> WatchFolder::JobEnded(bool outputComplete) {
    if (!m_pendingDelete) {
        return std::nullopt;
    }
    if (!outputComplete) {
        // A source is deleted only once its output is complete.
        m_heldBack[m_pendingDelete->file.name] = m_pendingDelete->file.modified;
        m_pendingDelete.reset();
        return std::nullopt;
    }
    return m_pendingDelete->path;
}

void WatchFolder::SourceDeleted(bool deleted) {
    if (!m_pendingDelete) {
        return;
    }
    if (!deleted) {
        m_heldBack[m_pendingDelete->file.name] = m_pendingDelete->file.modified;
    }
    m_pendingDelete.reset();
}

}  // namespace skedora
