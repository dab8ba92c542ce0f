#include "model/folder_text.h"

#include "model/text.h"

namespace skedora {

std::string FolderText(std::string_view typed) {
    std::string folder(TrimSpaces(typed));
    if (!folder.empty() && folder.back() != kFolderSeparator) {
        folder += kFolderSeparator;
    }
    return folder;
}

}  // namespace skedora
