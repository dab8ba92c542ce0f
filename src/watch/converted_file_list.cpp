#include "watch/converted_file_list.h"

#include <algorithm>
#include <utility>

#include "model/text.h"
#include "os/atomic_file.h"
#include "os/file_contents.h"

namespace skedora {

ConvertedFileList::ConvertedFileList(std::filesystem::path file) : m_file(std::move(file)) {}

void ConvertedFileList::Reset() {
    m_slots.clear();
    m_held = 0;
    m_places.clear();
    m_freePlaces = {};
    m_kinds.clear();
    m_kindCounts.clear();
    m_passOpen = false;
    m_seenInPass = 0;
}

MaybeError ConvertedFileList::LoadFileList() {
    std::string bytes;
    if (auto error = ReadFileIfPresent(m_file, bytes)) {
        return error;
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
    for (const auto& place : m_places) {
        length += place.name.size() + 2;
    }
    std::string bytes;
    bytes.reserve(length);
    for (const auto& place : m_places) {
        if (place.held) {
            bytes += place.name;
            bytes += "\r\n";
        }
    }
    return WriteFileAtomically(m_file, bytes);
}

std::uint32_t ConvertedFileList::HashOf(std::string_view name) {
    const std::uint64_t hash = std::hash<std::string_view>{}(name);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::size_t ConvertedFileList::FindSlot(std::string_view name, std::uint32_t hash) const {
    if (m_slots.empty()) {
        return m_slots.size();
    }
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = m_slots[i];
        if (slot == 0) {
            return m_slots.size();
        }
        if (HashIn(slot) == hash && m_places[PlaceIn(slot)].name == name) {
            return i;
        }
    }
}

std::uint32_t ConvertedFileList::Find(std::string_view name, std::uint32_t hash) const {
    const std::size_t slot = FindSlot(name, hash);
    return slot == m_slots.size() ? kNotHeld : PlaceIn(m_slots[slot]);
}

void ConvertedFileList::Insert(std::uint32_t place, std::uint32_t hash) {
    if ((m_held + 1) * 2 > m_slots.size()) {
        std::vector<std::uint64_t> old = std::exchange(
            m_slots, std::vector<std::uint64_t>(std::max<std::size_t>(16, m_slots.size() * 2)));
        m_held = 0;
        for (const std::uint64_t slot : old) {
            if (slot != 0) {
                Insert(PlaceIn(slot), HashIn(slot));
            }
        }
    }
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i] != 0) {
        i = (i + 1) & mask;
    }
    m_slots[i] = (std::uint64_t{hash} << 32) | (std::uint64_t{place} + 1);
    ++m_held;
}

void ConvertedFileList::EraseSlot(std::size_t hole) {
    // The slots after the hole that probed past it move back, so no look-up stops short.
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = (hole + 1) & mask; m_slots[i] != 0; i = (i + 1) & mask) {
        const std::size_t home = HashIn(m_slots[i]) & mask;
        if (((i - home) & mask) >= ((i - hole) & mask)) {
            m_slots[hole] = m_slots[i];
            hole = i;
        }
    }
    m_slots[hole] = 0;
    --m_held;
}

void ConvertedFileList::PlacesOf(std::span<const FolderName> entries,
                                 std::vector<std::uint32_t>& places) const {
    places.clear();
    places.reserve(entries.size());
    if (m_slots.empty()) {
        places.resize(entries.size(), kNotHeld);
        return;
    }
    // In groups: hash all and ask for their slots, ask for the places those slots name, then
    // compare, by which time the memory has mostly arrived.
    constexpr std::size_t kGroup = 16;
    const std::size_t mask = m_slots.size() - 1;
    std::uint32_t hashes[kGroup];
    for (std::size_t start = 0; start < entries.size(); start += kGroup) {
        const auto group = entries.subspan(start, std::min(kGroup, entries.size() - start));
        for (std::size_t i = 0; i < group.size(); ++i) {
            hashes[i] = HashOf(group[i].name);
            __builtin_prefetch(&m_slots[hashes[i] & mask]);
        }
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (const std::uint64_t slot = m_slots[hashes[i] & mask]; slot != 0) {
                __builtin_prefetch(&m_places[PlaceIn(slot)]);
            }
        }
        for (std::size_t i = 0; i < group.size(); ++i) {
            places.push_back(Find(group[i].name, hashes[i]));
        }
    }
}

std::uint32_t ConvertedFileList::KindOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::string extension =
        UpperCase1252(dot == std::string_view::npos ? std::string_view() : name.substr(dot));
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
    const std::uint32_t place = Find(name, HashOf(name));
    if (place == kNotHeld) {
        return false;
    }
    MarkSeen(m_places[place]);
    return true;
}

void ConvertedFileList::AddKnownFile(std::string_view name) {
    const std::uint32_t hash = HashOf(name);
    if (const std::uint32_t held = Find(name, hash); held != kNotHeld) {
        MarkSeen(m_places[held]);
        return;
    }
    std::uint32_t at = 0;
    if (!m_freePlaces.empty()) {
        at = m_freePlaces.top();
        m_freePlaces.pop();
    } else {
        at = static_cast<std::uint32_t>(m_places.size());
        m_places.emplace_back();
    }
    Place& place = m_places[at];
    place.name = name;
    place.held = true;
    place.kind = KindOf(name);
    place.seenInPass = m_pass - 1;
    ++m_kindCounts[place.kind];
    MarkSeen(place);
    Insert(at, hash);
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
    for (std::uint32_t at = 0; at < m_places.size(); ++at) {
        Place& place = m_places[at];
        if (!place.held || place.kind != m_passKind || place.seenInPass == m_pass) {
            continue;
        }
        EraseSlot(FindSlot(place.name, HashOf(place.name)));
        --m_kindCounts[place.kind];
        place = Place{};
        m_freePlaces.push(at);
    }
    return SaveFileList();
}

std::vector<std::string> ConvertedFileList::Names() const {
    std::vector<std::string> names;
    names.reserve(m_held);
    for (const auto& place : m_places) {
        if (place.held) {
            names.push_back(place.name);
        }
    }
    return names;
}

}  // namespace skedora
