#include "app/home_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>

#include "settings/settings_store.h"

namespace skedora {

namespace {

constexpr const char* kFolderName = "skedora";

/** An absolute path from an environment value; none for unset, empty or relative values. */
std::optional<std::filesystem::path> AbsoluteFromEnvironment(const char* value) {
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

Error FolderError(const std::filesystem::path& folder, std::string_view problem) {
    return errors::PathFileAccess(folder.string() + ": " + std::string(problem));
}

/** Makes one folder level with mode 0700; an existing folder (or a link to one) is fine. */
MaybeError MakeOneFolder(const std::filesystem::path& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0) {
        return std::nullopt;
    }
    const int mkdirError = errno;
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return std::nullopt;
        }
        return FolderError(folder, "not a folder");
    }
    return FolderError(folder,
                       std::string("cannot create the folder: ") + std::strerror(mkdirError));
}

}  // namespace

std::filesystem::path ResolveHomeFolder(const std::optional<std::filesystem::path>& explicitHome,
                                        const std::filesystem::path& programFolder,
                                        const char* xdgConfigHome, const char* userHome) {
    if (explicitHome) {
        return *explicitHome;
    }
    if (!programFolder.empty() && (IsRegularFile(SettingsFilePath(programFolder)) ||
                                   IsRegularFile(OldSettingsFilePath(programFolder)))) {
        return programFolder;
    }
    if (const auto config = AbsoluteFromEnvironment(xdgConfigHome)) {
        return *config / kFolderName;
    }
    if (const auto user = AbsoluteFromEnvironment(userHome)) {
        return *user / ".config" / kFolderName;
    }
    return {};
}

MaybeError EnsureHomeFolder(const std::filesystem::path& home) {
    if (home.empty()) {
        return errors::InvalidCall(
            "No settings folder: neither XDG_CONFIG_HOME nor HOME names one; start with --home "
            "DIR");
    }
    // Walk down from the first level, so every folder made on the way gets the same mode.
    std::filesystem::path partial;
    for (const auto& part : home.lexically_normal()) {
        partial /= part;
        if (part.empty() || part == partial.root_path()) {
            continue;
        }
        if (auto error = MakeOneFolder(partial)) {
            return error;
        }
    }
    return std::nullopt;
}

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && self.has_parent_path()) {
        return self.parent_path();
    }
    auto current = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path(".") : current;
}

}  // namespace skedora
