#include "ui/byte_text.h"

#include <array>

#include "model/text_1252.h"

namespace skedora {

namespace {

/** A byte from 0x80 to 0x9F and the character it stands for. */
struct ByteOfCharacter {
    char16_t character;
    char byte;
};

/** The 32 bytes 0x80 to 0x9F with their characters, built once from the code page's table. */
std::array<ByteOfCharacter, 32> HighControls() {
    std::array<ByteOfCharacter, 32> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto byte = static_cast<unsigned char>(0x80 + i);
        table[i] = {static_cast<char16_t>(UnicodeOf1252(byte)), static_cast<char>(byte)};
    }
    return table;
}

char ByteOf(char16_t character, const std::array<ByteOfCharacter, 32>& highControls) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<char>(character);
    }
    for (const ByteOfCharacter& entry : highControls) {
        if (entry.character == character) {
            return entry.byte;
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
    const std::array<ByteOfCharacter, 32> highControls = HighControls();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character = text.at(i);
        if (character.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // one character outside the 16-bit range
            bytes += '?';
            continue;
        }
        bytes += ByteOf(character.unicode(), highControls);
    }
    return bytes;
}

}  // namespace skedora
