#include "input/output_naming.h"

#include "model/folder_text.h"
#include "model/text.h"

namespace skedora {

std::optional<std::string> ManualOutputPath(std::string_view path, std::string_view name) {
    path = TrimSpaces(path);
    name = TrimSpaces(name);
    if (!EndsWith(path, name) || name.empty()) {
        // The dialog's name should end the path; if not, take the path's own last part.
        const auto slash = path.find_last_of('/');
        name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    }
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t extension = name.size() - dot;
    return std::string(path.substr(0, path.size() - extension)) + ".CP2";
}

std::string AutomaticOutputFolder(const AutoLoadSettingsGroup& settings) {
    std::string folder = FolderText(settings.OutPath);
    // No output folder: the outputs go beside their sources.
    return folder.empty() ? FolderText(settings.Path) : folder;
}

std::optional<std::string> AutomaticOutputPath(const AutoLoadSettingsGroup& settings,
                                               std::string_view name, const LocalDateTime& now) {
    std::string text = AutomaticOutputFolder(settings);
    if (settings.PrefixDate) {
        text += FormatDatePrefix(now);
    }
    text += TrimSpaces(name);
    if (text.size() < 3) {
        return std::nullopt;
    }
    text.resize(text.size() - 3);
    return text + "CP2";
}

}  // namespace skedora
