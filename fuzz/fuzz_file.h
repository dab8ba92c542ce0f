#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

/**
 * A private temporary folder for the whole fuzzing run, and the fuzzer's bytes written as a file
 * named `name` in it (overwritten on every input, so runs stay fast).
 */
class FuzzFile {
  public:
    FuzzFile(const std::uint8_t* data, std::size_t size, const char* name)
        : m_path(Folder() + name) {
        if (std::FILE* f = std::fopen(m_path.c_str(), "wb")) {
            std::fwrite(data, 1, size, f);
            std::fclose(f);
        }
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    /** The folder text, ending with a separator. */
    static const std::string& Folder() {
        // Never destroyed: the clean-up at exit runs after static destructors would have.
        static const std::string& folder = *new std::string([] {
            // Memory-backed when the machine has it: the readers are fuzzed through real files.
            char pattern[] = "/dev/shm/skedora-fuzz-XXXXXX";
            if (access("/dev/shm", W_OK) != 0) {
                std::snprintf(pattern, sizeof pattern, "%s", "/tmp/skedora-fuzz-XXXXXX");
            }
            const char* made = mkdtemp(pattern);
            if (made == nullptr) {
                return std::string("/tmp/");  // not ours to remove
            }
            std::atexit([] { std::filesystem::remove_all(std::filesystem::path(Folder())); });
            return std::string(made) + "/";
        }());
        return folder;
    }
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};
