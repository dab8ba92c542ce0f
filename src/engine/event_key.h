#pragma once

#include <array>
#include <string>
#include <string_view>

namespace skedora {

/** True when K(text), the text trimmed and in upper case, equals key. Allocates nothing. */
bool KeyMatches(std::string_view key, std::string_view text);

/** K of one of an event's fields; a short key is kept without allocating. */
class EventKey {
  public:
    explicit EventKey(std::string_view text) { Set(text); }
    EventKey(const EventKey&) = delete;
    EventKey& operator=(const EventKey&) = delete;

    void Set(std::string_view text);
    std::string_view view() const { return m_key; }
    operator std::string_view() const { return m_key; }

  private:
    std::array<char, 32> m_short;
    std::string m_long;
    std::string_view m_key;
};

}  // namespace skedora
