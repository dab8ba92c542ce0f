#include <algorithm>

#include "app/application.h"
#include "model/folder_text.h"
#include "model/text.h"

namespace skedora {

namespace {
/** A file modified within the quiet period may still be being copied in. */
bool MayStillArrive(std::chrono::system_clock::time_point modified,
                    std::chrono::system_clock::time_point now) {
    const auto age = now - modified;
    return age < Application::kQuietPeriod && age > -Application::kQuietPeriod;
}
}  // namespace

void Application::PollWatchFolder() {
    if (IsJobRunning()) {
        return;
    }
    const auto& settings = m_rules.AutoLoadSettings;
    // No watch folder set: nothing is watched (not the program's current folder).
    if (TrimSpaces(settings.Path).empty()) {
        return;
    }
    if (settings.DBF && PollPass(".DBF", true)) {
        return;
    }
    if (settings.CSV) {
        PollPass(".CSV", false);
    }
}

void Application::ReleaseHeldBack(std::string_view extension,
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

bool Application::PollPass(std::string_view extension, bool dbase) {
    const auto& settings = m_rules.AutoLoadSettings;
    const std::string folder = FolderText(settings.Path);
    const auto listing = m_platform.files.ListFiles(folder, extension);
    ReleaseHeldBack(extension, listing);
    if (listing.empty()) {
        return false;
    }
    m_fileList.MarkNotSeen(extension);
    const auto now = m_platform.clock.Now();
    for (const auto& entry : listing) {
        const std::string name(TrimSpaces(entry.name));
        if (name.empty()) {
            continue;
        }
        // Left for a later poll, but present: IsKnownFile keeps its name from being forgotten.
        if (MayStillArrive(entry.modified, now) || m_heldBack.contains(name)) {
            m_fileList.IsKnownFile(name);
            continue;
        }
        if (!settings.Delete && m_fileList.IsKnownFile(name)) {
            continue;
        }
        const bool started = dbase ? LoadDbaseSchedule(name) : LoadCsvSchedule(name);
        m_fileList.AddKnownFile(name);
        // A failed save keeps the list in memory: the file is not converted again in this run.
        (void)m_fileList.SaveFileList();
        if (settings.Delete) {
            if (started) {
                m_sourceToDelete = WatchedSource{folder + name, name, entry.modified};
            } else {
                m_heldBack[name] = entry.modified;
            }
        }
        return true;
    }
    m_fileList.ForgetNotSeen();
    return false;
}

}  // namespace skedora
