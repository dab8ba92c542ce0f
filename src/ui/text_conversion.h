#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace skedora {

/**
 * Schedule and settings text is 8-bit bytes. The window shows each byte as one character
 * (Latin-1) and turns the characters back into the same bytes, so nothing is lost on the way
 * through a label or a text box.
 */
QString ToQString(std::string_view bytes);

/** The bytes of a text made by ToQString; a character above 255 becomes "?". */
std::string ToBytes(const QString& text);

/** A file path as the file system spells it (UTF-8 here), for showing it. */
QString PathToQString(std::string_view path);

/** The bytes of a path that Qt gave as text (a file dialog's pick), as the file system has them. */
std::string PathToBytes(const QString& path);

}  // namespace skedora
