#pragma once

#include <string>
#include <string_view>

namespace skedora {

/**
 * The Unicode character of a Windows-1252 byte. The five bytes the code page leaves undefined
 * (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same value.
 */
char32_t UnicodeOf1252(unsigned char byte);

/** The bytes read as Windows-1252, in UTF-8; every byte becomes one character. */
std::string Utf8From1252(std::string_view bytes);

}  // namespace skedora
