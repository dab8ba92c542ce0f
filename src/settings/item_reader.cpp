#include "settings/item_reader.h"

namespace skedora {

namespace {
bool IsSeparator(char c) {
    return c == ',' || c == '\r' || c == '\n';
}
}  // namespace

std::string ItemReader::Next() {
    while (m_pos < m_bytes.size() && (m_bytes[m_pos] == ' ' || m_bytes[m_pos] == '\t')) {
        ++m_pos;
    }
    if (m_pos >= m_bytes.size()) {
        return {};
    }
    if (m_bytes[m_pos] == '"') {
        const std::size_t start = m_pos + 1;
        const std::size_t close = m_bytes.find('"', start);
        if (close == std::string_view::npos) {
            m_pos = m_bytes.size();
            return std::string(m_bytes.substr(start));
        }
        m_pos = close + 1;
        SkipPastSeparator();
        return std::string(m_bytes.substr(start, close - start));
    }
    const std::size_t start = m_pos;
    while (m_pos < m_bytes.size() && !IsSeparator(m_bytes[m_pos])) {
        ++m_pos;
    }
    std::string item(m_bytes.substr(start, m_pos - start));
    SkipPastSeparator();
    return item;
}

void ItemReader::SkipPastSeparator() {
    while (m_pos < m_bytes.size() && !IsSeparator(m_bytes[m_pos])) {
        ++m_pos;
    }
    if (m_pos >= m_bytes.size()) {
        return;
    }
    const char separator = m_bytes[m_pos++];
    if (separator == '\r' && m_pos < m_bytes.size() && m_bytes[m_pos] == '\n') {
        ++m_pos;
    }
}

}  // namespace skedora
