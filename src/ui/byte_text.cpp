#include "ui/byte_text.h"

#include "model/text_1252.h"

namespace skedora {

namespace {
char ByteOf(char16_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<char>(character);
    }
    for (unsigned byte = 0x80; byte <= 0x9F; ++byte) {
        if (UnicodeOf1252(static_cast<unsigned char>(byte)) == character) {
            return static_cast<char>(byte);
        }
    }
    if (character <= 0x9F) {
        return static_cast<char>(character);  // a control character typed or pasted as such
    }
    return '?';
}
}  // namespace

QString TextFromBytes(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        text.append(QChar(static_cast<char16_t>(UnicodeOf1252(static_cast<unsigned char>(byte)))));
    }
    return text;
}

std::string BytesFromText(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character = text.at(i);
        if (character.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // one character outside the 16-bit range
            bytes += '?';
            continue;
        }
        bytes += ByteOf(character.unicode());
    }
    return bytes;
}

}  // namespace skedora
