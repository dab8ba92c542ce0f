#include "settings/profile_file.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace skedora {

namespace {
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) {
        ++first;
    }
    std::size_t last = text.size();
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string AsciiUpper(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - ('a' - 'A'));
        }
    }
    return result;
}

/** Where the value of a key line lies once its blanks are removed: start and length. */
std::pair<std::size_t, std::size_t> ValueRange(std::string_view line, std::size_t equals) {
    const std::string_view value = TrimBlanks(line.substr(equals + 1));
    return {static_cast<std::size_t>(value.data() - line.data()), value.size()};
}

std::string_view CutValue(std::string_view value) {
    return value.substr(0, ProfileFile::kMaxValueLength);
}
}  // namespace

ProfileFile ProfileFile::Parse(std::string_view bytes) {
    ProfileFile file;
    Section* current = &file.AddSection({}, {});
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        // CR LF, LF or a lone CR ends a line, so no value read ever holds a line-end character
        // (which a save would write as a blank).
        const std::size_t end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        std::size_t next = end + 1;
        if (next < bytes.size() && bytes[end] == '\r' && bytes[next] == '\n') {
            ++next;
        }
        const std::string_view text = bytes.substr(pos, end - pos);
        const bool firstLine = pos == 0;
        pos = next;

        std::string_view content = TrimBlanks(text);
        // A text editor may have put a UTF-8 byte-order mark first; it stays in the line's text.
        if (firstLine && content.starts_with(kUtf8Mark)) {
            content = TrimBlanks(content.substr(kUtf8Mark.size()));
        }
        if (!content.empty() && content.front() == '[') {
            std::string_view name = content.substr(1);
            name = name.substr(0, name.find(']'));
            current = &file.AddSection(std::string(text), TrimBlanks(name));
            continue;
        }
        Line line;
        line.text = std::string(text);
        const std::size_t equals = text.find('=');
        std::string_view key;
        if (!content.empty() && content.front() != ';' && equals != std::string_view::npos) {
            key = TrimBlanks(text.substr(0, equals));
            line.isKey = !key.empty();
            std::tie(line.valueStart, line.valueLength) = ValueRange(text, equals);
        }
        AddLine(*current, std::move(line), key);
    }
    return file;
}

ProfileFile::Section& ProfileFile::AddSection(std::string header, std::string_view name) {
    const bool opening = !header.empty();
    m_sections.emplace_back();
    m_sections.back().header = std::move(header);
    if (opening) {
        m_sectionIndex.try_emplace(AsciiUpper(name), m_sections.size() - 1);
    }
    return m_sections.back();
}

void ProfileFile::AddLine(Section& section, Line line, std::string_view key) {
    const bool isKey = line.isKey;
    section.lines.push_back(std::move(line));
    if (isKey) {
        section.keys.try_emplace(AsciiUpper(key), section.lines.size() - 1);
        section.lastKeyLine = section.lines.size();
    }
}

std::optional<std::size_t> ProfileFile::FindSection(std::string_view name) const {
    const auto found = m_sectionIndex.find(AsciiUpper(name));
    if (found == m_sectionIndex.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string_view> ProfileFile::Find(std::string_view section,
                                                  std::string_view key) const {
    const auto index = FindSection(section);
    if (!index) {
        return std::nullopt;
    }
    const Section& found = m_sections[*index];
    const auto line = found.keys.find(AsciiUpper(key));
    if (line == found.keys.end()) {
        return std::nullopt;
    }
    const Line& entry = found.lines[line->second];
    return std::string_view(entry.text).substr(entry.valueStart, entry.valueLength);
}

std::string ProfileFile::Get(std::string_view section, std::string_view key,
                             std::string_view defaultValue) const {
    return std::string(CutValue(Find(section, key).value_or(defaultValue)));
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view rawValue) {
    // A line end inside the value would split the line; it is written as a blank.
    std::string value(rawValue);
    for (char& c : value) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const auto index = FindSection(section);
    Section* target =
        index ? &m_sections[*index] : &AddSection("[" + std::string(section) + "]", section);
    std::string upperKey = AsciiUpper(key);
    const auto existing = target->keys.find(upperKey);
    if (existing != target->keys.end()) {
        Line& line = target->lines[existing->second];
        const std::string_view text(line.text);
        if (text.substr(line.valueStart, line.valueLength) == value) {
            return;  // unchanged: the line stays exactly as it was written
        }
        // The key keeps its spelling from the file.
        std::string writtenKey(TrimBlanks(text.substr(0, text.find('='))));
        line.text = writtenKey + "=" + value;
        std::tie(line.valueStart, line.valueLength) = ValueRange(line.text, writtenKey.size());
        return;
    }
    // Only lines other than key lines follow the last key line, so no stored index moves.
    Line line;
    line.text = std::string(key) + "=" + value;
    std::tie(line.valueStart, line.valueLength) = ValueRange(line.text, key.size());
    line.isKey = true;
    const std::size_t at = target->lastKeyLine;
    target->lines.insert(target->lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    target->keys.emplace(std::move(upperKey), at);
    target->lastKeyLine = at + 1;
}

std::string ProfileFile::Serialize() const {
    std::string out;
    for (const Section& section : m_sections) {
        if (!section.header.empty()) {
            out += section.header;
            out += "\r\n";
        }
        for (const Line& line : section.lines) {
            out += line.text;
            out += "\r\n";
        }
    }
    return out;
}

}  // namespace skedora
