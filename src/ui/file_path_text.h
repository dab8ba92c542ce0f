#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace skedora {

/** A file path as the file system spells it (UTF-8 here), for showing it. */
QString PathTextFromBytes(std::string_view path);

/** The bytes of a path that Qt gave as text (a file dialog's pick), as the file system has them. */
std::string PathBytesFromText(const QString& path);

}  // namespace skedora
