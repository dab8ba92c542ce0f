#include "watch/converted_file_list.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "os/atomic_file.h"
#include "model/text.h"

namespace skedora {

ConvertedFileList::ConvertedFileList(std::filesystem::path file) : m_file(std::move(file)) {
    Reset();
}

void ConvertedFileList::Reset() {
    m_slots.assign(kInitialSlots, ConvertedFileEntry{});
}

void ConvertedFileList::LoadFileList() {
    // A list that cannot be read counts as empty: start-up goes on either way.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(m_file, ec)) {
        return;
    }
    std::string bytes;
    try {
        std::ifstream in(m_file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        return;
    }
    // Lines end with CR LF; a lone CR or LF ends a line as well.
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        const std::string_view name =
            TrimSpaces(std::string_view(bytes).substr(start, end - start));
        if (!name.empty()) {
            AddKnownFile(name);
        }
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
}

MaybeError ConvertedFileList::SaveFileList() const {
    std::string bytes;
    for (const auto& slot : m_slots) {
        if (slot.InUse && !slot.FileName.empty()) {
            bytes += slot.FileName;
            bytes += "\r\n";
        }
    }
    return WriteFileAtomically(m_file, bytes);
}

bool ConvertedFileList::IsKnownFile(std::string_view name) {
    for (auto& slot : m_slots) {
        if (slot.InUse && slot.FileName == name) {
            slot.NotSeen = false;
            return true;
        }
    }
    return false;
}

void ConvertedFileList::AddKnownFile(std::string_view name) {
    if (IsKnownFile(name)) {
        return;
    }
    for (auto& slot : m_slots) {
        if (!slot.InUse) {
            slot = {true, std::string(name), false};
            return;
        }
    }
    const std::size_t first = m_slots.size();
    m_slots.resize(m_slots.size() + kGrowth);
    m_slots[first] = {true, std::string(name), false};
}

void ConvertedFileList::MarkNotSeen(std::string_view extension) {
    for (auto& slot : m_slots) {
        if (slot.InUse && HasExtension(slot.FileName, extension)) {
            slot.NotSeen = true;
        }
    }
}

void ConvertedFileList::ForgetNotSeen() {
    bool emptied = false;
    for (auto& slot : m_slots) {
        if (slot.NotSeen) {
            slot = ConvertedFileEntry{};
            emptied = true;
        }
    }
    if (emptied) {
        // A failed save leaves the file as it was; the list in memory is what counts in this run.
        (void)SaveFileList();
    }
}

std::vector<std::string> ConvertedFileList::Names() const {
    std::vector<std::string> names;
    for (const auto& slot : m_slots) {
        if (slot.InUse) {
            names.push_back(slot.FileName);
        }
    }
    return names;
}

}  // namespace skedora
