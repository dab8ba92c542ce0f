#include "settings/file_contents.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

namespace skedora {

namespace {
Error ReadError(const std::filesystem::path& path, const std::string& reason) {
    return errors::PathFileAccess("cannot read " + path.string() + ": " + reason);
}
}  // namespace

MaybeError ReadFileIfPresent(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::nullopt;
    }
    if (ec) {
        return ReadError(path, ec.message());
    }
    if (!std::filesystem::is_regular_file(status)) {
        return ReadError(path, "not a file");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return ReadError(path, std::strerror(errno));
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        bytes.clear();
        return ReadError(path, "read failed");
    }
    return std::nullopt;
}

}  // namespace skedora
