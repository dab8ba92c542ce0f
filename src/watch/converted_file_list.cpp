#include "watch/converted_file_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "model/text.h"
#include "os/atomic_file.h"

namespace skedora {

namespace {
std::string LowerAsciiExtension(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    std::string extension(dot == std::string_view::npos ? std::string_view() : name.substr(dot));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return extension;
}

Error ReadFailure(const std::filesystem::path& file, int err) {
    return errors::PathFileAccess("cannot read " + file.string() + ": " + std::strerror(err));
}

/** The whole file; ENOENT when it does not exist, another errno when it cannot be read. */
int ReadWholeFile(const std::filesystem::path& file, std::string& bytes) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return errno;
    }
    int err = 0;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        err = errno;
    } else if (!S_ISREG(info.st_mode)) {
        err = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    } else {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        char buffer[64 * 1024];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                err = errno;
                break;
            }
            if (got == 0) {
                break;
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return err;
}
}  // namespace

ConvertedFileList::ConvertedFileList(std::filesystem::path file) : m_file(std::move(file)) {}

void ConvertedFileList::Reset() {
    m_index.clear();
    m_places.clear();
    m_freePlaces = {};
    m_kinds.clear();
    m_kindCounts.clear();
    m_passOpen = false;
    m_seenInPass = 0;
}

MaybeError ConvertedFileList::LoadFileList() {
    std::string bytes;
    if (const int err = ReadWholeFile(m_file, bytes); err == ENOENT) {
        return std::nullopt;
    } else if (err != 0) {
        return ReadFailure(m_file, err);
    }
    // Lines end with CR LF; a lone CR or LF ends a line as well.
    const std::string_view text(bytes);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view name = TrimSpaces(text.substr(start, end - start));
        if (!name.empty()) {
            AddKnownFile(name);
        }
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    return std::nullopt;
}

MaybeError ConvertedFileList::SaveFileList() const {
    std::size_t length = 0;
    for (const auto& [name, place] : m_index) {
        length += name.size() + 2;
    }
    std::string bytes;
    bytes.reserve(length);
    for (const auto& place : m_places) {
        if (place.name != nullptr) {
            bytes += *place.name;
            bytes += "\r\n";
        }
    }
    return WriteFileAtomically(m_file, bytes);
}

std::uint32_t ConvertedFileList::KindOf(std::string_view name) {
    const std::string extension = LowerAsciiExtension(name);
    const auto found = std::find(m_kinds.begin(), m_kinds.end(), extension);
    if (found != m_kinds.end()) {
        return static_cast<std::uint32_t>(found - m_kinds.begin());
    }
    m_kinds.push_back(extension);
    m_kindCounts.push_back(0);
    return static_cast<std::uint32_t>(m_kinds.size() - 1);
}

void ConvertedFileList::MarkSeen(Place& place) {
    if (m_passOpen && place.kind == m_passKind && place.seenInPass != m_pass) {
        ++m_seenInPass;
    }
    place.seenInPass = m_pass;
}

bool ConvertedFileList::IsKnownFile(std::string_view name) {
    const auto found = m_index.find(name);
    if (found == m_index.end()) {
        return false;
    }
    MarkSeen(m_places[found->second]);
    return true;
}

std::optional<std::uint32_t> ConvertedFileList::PlaceOf(std::string_view name) const {
    const auto found = m_index.find(name);
    if (found == m_index.end()) {
        return std::nullopt;
    }
    return found->second;
}

void ConvertedFileList::AddKnownFile(std::string_view name) {
    if (IsKnownFile(name)) {
        return;
    }
    std::uint32_t slot = 0;
    if (!m_freePlaces.empty()) {
        slot = m_freePlaces.top();
        m_freePlaces.pop();
    } else {
        slot = static_cast<std::uint32_t>(m_places.size());
        m_places.emplace_back();
    }
    const auto inserted = m_index.emplace(std::string(name), slot).first;
    Place& place = m_places[slot];
    place.name = &inserted->first;
    place.kind = KindOf(name);
    place.seenInPass = m_pass - 1;
    ++m_kindCounts[place.kind];
    MarkSeen(place);
}

void ConvertedFileList::MarkNotSeen(std::string_view extension) {
    // A new pass number makes every name unseen at once, without touching the names.
    ++m_pass;
    m_passOpen = true;
    m_passKind = KindOf(extension);
    m_seenInPass = 0;
}

MaybeError ConvertedFileList::ForgetNotSeen() {
    if (!m_passOpen) {
        return std::nullopt;
    }
    m_passOpen = false;
    if (m_seenInPass == m_kindCounts[m_passKind]) {
        return std::nullopt;  // every marked name was met: the usual case
    }
    for (std::uint32_t slot = 0; slot < m_places.size(); ++slot) {
        Place& place = m_places[slot];
        if (place.name == nullptr || place.kind != m_passKind || place.seenInPass == m_pass) {
            continue;
        }
        m_index.erase(*place.name);
        --m_kindCounts[place.kind];
        place = Place{};
        m_freePlaces.push(slot);
    }
    return SaveFileList();
}

std::vector<std::string> ConvertedFileList::Names() const {
    std::vector<std::string> names;
    names.reserve(m_index.size());
    for (const auto& place : m_places) {
        if (place.name != nullptr) {
            names.push_back(*place.name);
        }
    }
    return names;
}

}  // namespace skedora
