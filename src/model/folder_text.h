#pragma once

#include <string>
#include <string_view>

namespace skedora {

/** What ends a saved folder text, so that a path is the folder text followed by the file name. */
inline constexpr char kFolderSeparator = '/';

/**
 * A folder as the user typed it, made ready to be put in front of file names: leading and
 * trailing spaces removed, then kFolderSeparator appended when the text is not empty and does
 * not already end with it.
 */
std::string FolderText(std::string_view typed);

}  // namespace skedora
