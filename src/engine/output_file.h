#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "model/error.h"

namespace skedora {

/**
 * The job's output file, written line by line with CR LF ends. Remembers the first write
 * failure so the end of the job can tell a complete output from a broken one.
 */
class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /** Creates (or truncates) the file at path. */
    MaybeError Create(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    const std::string& Path() const { return m_path; }

    /** Writes the bytes followed by CR LF. After a failure further lines are not written. */
    void WriteLine(std::string_view line);

    /** Flushes and closes; the first failure of any write or of the close, if there was one. */
    MaybeError Close();

  private:
    void Fail(const char* what);

    std::FILE* m_file = nullptr;
    std::string m_path;
    MaybeError m_failure;
};

}  // namespace skedora
