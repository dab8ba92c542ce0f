#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skedora {

/** The text without leading and trailing space characters; tabs and other blanks stay. */
std::string_view TrimSpaces(std::string_view text);

/** Upper case as the Windows-1252 code page has it: ASCII letters and its accented letters. */
std::string UpperCase1252(std::string_view text);

/**
 * The order of UpperCase1252(a) and UpperCase1252(b), byte by byte, without making either:
 * negative, zero or positive.
 */
int CompareUpperCase1252(std::string_view a, std::string_view b);

/** The text key K(x) that rule texts are matched by: trimmed, then upper case. */
std::string TextKey(std::string_view text);

/**
 * The value of the decimal number at the start of the text: leading blanks skipped, then an
 * optional sign, digits, an optional decimal point with digits and an optional exponent.
 * Reading stops at the first other character; a text without a number has the value 0.
 */
double LeadingNumber(std::string_view text);

/** Rounded to the nearest integer, an exact half to the even neighbour; none outside 16 bits. */
std::optional<std::int16_t> RoundToInt16(double value);

/** True when the last characters of text are suffix, compared exactly. */
bool EndsWith(std::string_view text, std::string_view suffix);

/** True when the text ends with the extension (".DBF"), letter case ignored in ASCII. */
bool HasExtension(std::string_view name, std::string_view extension);

}  // namespace skedora
