#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace skedora::test {

/** A fresh folder under the system's temporary folder, removed with everything in it. */
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /** The folder as the program's folder texts are written: with a trailing separator. */
    std::string folderText() const { return m_path.string() + "/"; }
    std::filesystem::path file(std::string_view name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
};

/** Writes the bytes exactly as given (no line-end translation). */
void WriteFile(const std::filesystem::path& path, std::string_view bytes);
/** The whole file as bytes; empty when it cannot be read. */
std::string ReadFile(const std::filesystem::path& path);
/** The permission bits of a file; 0 when it is not there. */
unsigned ModeOf(const std::filesystem::path& path);
/** Sets or clears the flag that keeps a file from being deleted, even by the superuser; whether
 * that could be done. */
bool SetImmutable(const std::filesystem::path& file, bool on);

}  // namespace skedora::test
