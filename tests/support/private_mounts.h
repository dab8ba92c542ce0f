#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace skedora::test {

/**
 * Runs body in a child process with mounts of its own, so it can make a folder read-only or a
 * small disk without touching the machine's mounts. What body returned (empty when all its
 * checks held), or no value when this machine does not allow private mounts.
 */
std::optional<std::string> WithPrivateMounts(const std::function<std::string()>& body);

/** Inside WithPrivateMounts: the folder becomes read-only. */
bool MountReadOnly(const std::filesystem::path& folder);

/** Inside WithPrivateMounts: the folder becomes an empty disk of the given size. */
bool MountSmallDisk(const std::filesystem::path& folder, std::size_t bytes);

}  // namespace skedora::test
