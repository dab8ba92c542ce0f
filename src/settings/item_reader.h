#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skedora {

/**
 * Reads the items of a comma-separated text one by one, as SKCONV.INI holds them. Every comma and
 * every line end (CR LF, LF or CR) ends one item; blanks before an item are skipped. An item
 * opening with a quotation mark runs to the next quotation mark, line ends and commas included;
 * the marks are not part of it and anything between the closing mark and the next separator is
 * dropped. An unquoted item keeps its blanks at the end.
 */
class ItemReader {
  public:
    explicit ItemReader(std::string_view bytes) : m_bytes(bytes) {}

    /** The next item; an empty text once the text is used up. */
    std::string Next();

  private:
    /** Moves past the next separator, or to the end when none follows. */
    void SkipPastSeparator();

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

}  // namespace skedora
