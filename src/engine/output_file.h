#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "model/error.h"

namespace skedora {

/**
 * The job's output file, written whole or not at all. The lines (CR LF ends) go to a hidden
 * temporary file beside the output; Commit() renames it onto the output's name once every line
 * is on disk, Abort() removes it. Until then an earlier output of that name stays as it was,
 * and a reader of the output folder never sees a half-written output under its name.
 */
class OutputFile {
  public:
    OutputFile() = default;
    /** Aborts an output that was not committed. */
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /**
     * Starts the output named path (an output still open is aborted first): creates its
     * temporary file exclusively, following no link, with the mode a plain create gives.
     */
    MaybeError Create(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    /** The output's final name. */
    const std::string& Path() const { return m_path; }

    /** Writes the bytes followed by CR LF. After a failure further lines are not written. */
    void WriteLine(std::string_view line);

    /**
     * Flushes the lines to disk and renames the temporary file onto the output's name (a link
     * of that name is replaced, never written through). After any failure, of a line or of
     * this, the temporary file is removed and the first failure returned.
     */
    MaybeError Commit();
    /** Removes the temporary file; an earlier output stays as it was. */
    void Abort();

  private:
    void Fail(const char* what, int err);
    void StartWriteback();

    static constexpr std::size_t kWritebackStep = 1 << 20;

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_temporaryPath;
    std::size_t m_unsyncedBytes = 0;
    long long m_writebackStart = 0;
    MaybeError m_failure;
};

/**
 * Removes the temporary files of outputs in folder that a job killed part-way left behind (last
 * written more than a minute ago). A file that cannot be removed is an error naming it.
 */
MaybeError RemoveStaleOutputTemporaries(const std::string& folder);

}  // namespace skedora
