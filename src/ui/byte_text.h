#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace skedora {

/**
 * Schedule and settings text is 8-bit Windows-1252 bytes. These two turn it into text for the
 * window and back: every byte maps to one character and back to the same byte (the five bytes
 * that Windows-1252 leaves undefined map to the control characters of the same value).
 */
QString TextFromBytes(std::string_view bytes);

/** The bytes of the text; a character that Windows-1252 cannot hold becomes "?". */
std::string BytesFromText(const QString& text);

}  // namespace skedora
