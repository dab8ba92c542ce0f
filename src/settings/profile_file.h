#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skedora {

/**
 * A profile (INI) text held in memory: "[Section]" lines, "key=value" lines and everything else
 * (comments, blank lines) kept line by line, so a rewrite changes only the lines it must.
 * Section and key names match regardless of ASCII letter case; the first of duplicates counts.
 */
class ProfileFile {
  public:
    /** The longest value Get returns; longer values are cut. */
    static constexpr std::size_t kMaxValueLength = 254;

    ProfileFile() = default;
    /** Reads the text; lines may end in CR LF, LF or CR. */
    static ProfileFile Parse(std::string_view bytes);

    /** The value with surrounding blanks removed, or none when the section or key is missing. */
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    /** The value, or the default when missing, cut to kMaxValueLength characters. */
    std::string Get(std::string_view section, std::string_view key,
                    std::string_view defaultValue) const;

    /**
     * Sets the key to the value. An existing key keeps its place; a missing key goes after the
     * last key of its section; a missing section goes at the end. A carriage return or line feed
     * in the value is written as a blank.
     */
    void Set(std::string_view section, std::string_view key, std::string_view value);

    /** The whole text, every line ended by CR LF. */
    std::string Serialize() const;

  private:
    struct Line {
        std::string text;
        std::size_t valueStart = 0;  // where the trimmed value lies in text, for key lines
        std::size_t valueLength = 0;
        bool isKey = false;
    };
    struct Section {
        std::string header;  // the "[name]" line as written; empty for the lines before any section
        std::vector<Line> lines;
        std::unordered_map<std::string, std::size_t> keys;  // upper-case key -> first line
        std::size_t lastKeyLine = 0;                        // one past the last key line
    };

    Section& AddSection(std::string header, std::string_view name);
    static void AddLine(Section& section, Line line, std::string_view key);
    std::optional<std::size_t> FindSection(std::string_view name) const;

    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex;  // upper-case name -> first
};

}  // namespace skedora
