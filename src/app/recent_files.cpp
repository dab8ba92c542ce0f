#include "app/recent_files.h"

#include <algorithm>

#include "os/atomic_file.h"
#include "os/file_contents.h"

namespace skedora {

namespace {
bool Storable(const std::string& path) {
    return !path.empty() && path.find_first_of("\r\n") == std::string::npos;
}
}  // namespace

RecentFiles::RecentFiles(const std::filesystem::path& home) : m_file(home / kFileName) {}

MaybeError RecentFiles::Load() {
    std::string bytes;
    if (auto error = ReadFileIfPresent(m_file, bytes)) {
        return error;
    }
    std::vector<std::string> files;
    std::size_t start = 0;
    while (start < bytes.size() && files.size() < kMaxFiles) {
        auto end = bytes.find('\n', start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (Storable(line) && std::find(files.begin(), files.end(), line) == files.end()) {
            files.push_back(std::move(line));
        }
    }
    m_files = std::move(files);
    return std::nullopt;
}

MaybeError RecentFiles::Add(const std::string& path) {
    if (!Storable(path)) {
        return std::nullopt;
    }
    std::erase(m_files, path);
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > kMaxFiles) {
        m_files.resize(kMaxFiles);
    }
    std::string bytes;
    for (const auto& file : m_files) {
        bytes += file;
        bytes += '\n';
    }
    return WriteFileAtomically(m_file, bytes);
}

std::string RecentFiles::LastFolder() const {
    if (m_files.empty()) {
        return {};
    }
    const auto slash = m_files.front().rfind('/');
    return slash == std::string::npos ? std::string() : m_files.front().substr(0, slash + 1);
}

}  // namespace skedora
