#include "engine/event_key.h"

#include "model/text.h"

namespace skedora {

namespace {

/** Windows-1252 upper case of every byte, taken from the one definition in the text helpers. */
class UpperTable {
  public:
    UpperTable() {
        for (std::size_t c = 0; c < m_upper.size(); ++c) {
            const char byte = static_cast<char>(c);
            m_upper[c] = UpperCase1252(std::string_view(&byte, 1))[0];
        }
    }
    char operator()(char c) const { return m_upper[static_cast<unsigned char>(c)]; }

  private:
    std::array<char, 256> m_upper{};
};

const UpperTable& Upper() {
    static const UpperTable table;
    return table;
}

}  // namespace

bool KeyMatches(std::string_view key, std::string_view text) {
    const std::string_view trimmed = TrimSpaces(text);
    if (trimmed.size() != key.size()) {
        return false;
    }
    const UpperTable& upper = Upper();
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (upper(trimmed[i]) != key[i]) {
            return false;
        }
    }
    return true;
}

void EventKey::Set(std::string_view text) {
    const std::string_view trimmed = TrimSpaces(text);
    if (trimmed.size() > m_short.size()) {
        m_long = TextKey(trimmed);
        m_key = m_long;
        return;
    }
    const UpperTable& upper = Upper();
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
        m_short[i] = upper(trimmed[i]);
    }
    m_key = std::string_view(m_short.data(), trimmed.size());
}

}  // namespace skedora
