#include "engine/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "model/text.h"
#include "os/atomic_file.h"
#include "os/file_identity.h"

namespace skedora {

namespace {
/**
 * An output replaces a file or a link of its name, nothing else: a rename would put a plain file
 * in the place of a device or a FIFO, which a plain create would have written into.
 */
MaybeError CheckReplaceable(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) {
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        return errors::PathFileAccess(path + ": " + std::strerror(EISDIR));  // as a create says
    }
    return errors::PathFileAccess(path + ": not a regular file (" + FileKindText(info.st_mode) +
                                  ")");
}
}  // namespace

OutputFile::~OutputFile() {
    Abort();
}

MaybeError OutputFile::Create(const std::string& path) {
    Abort();
    m_path = path;
    m_failure.reset();
    const std::filesystem::path output(path);
    if (!output.has_filename()) {
        return errors::PathFileAccess(path + ": " + std::strerror(EISDIR));
    }
    if (auto refusal = CheckReplaceable(path)) {
        return refusal;
    }
    TemporaryFile temp;
    if (auto error = CreateTemporaryFile(FolderOf(path), output.filename().string(), 0666, temp)) {
        return errors::PathFileAccess(path + ": " + error->description);
    }
    m_file = ::fdopen(temp.fd, "wb");
    if (m_file == nullptr) {
        const int err = errno;
        ::close(temp.fd);
        ::unlink(temp.path.c_str());
        return errors::PathFileAccess(path + ": " + std::strerror(err));
    }
    m_temporaryPath = std::move(temp.path);
    m_unsyncedBytes = 0;
    m_writebackStart = 0;
    return std::nullopt;
}

void OutputFile::Fail(const char* what, int err) {
    if (!m_failure) {
        m_failure = errors::PathFileAccess(m_path + ": " + what + ": " + std::strerror(err));
    }
}

void OutputFile::WriteLine(std::string_view line) {
    if (m_file == nullptr || m_failure) {
        return;
    }
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() ||
        std::fwrite("\r\n", 1, 2, m_file) != 2) {
        Fail("cannot write", errno);
        return;
    }
    m_unsyncedBytes += line.size() + 2;
    if (m_unsyncedBytes >= kWritebackStep) {
        StartWriteback();
    }
}

void OutputFile::StartWriteback() {
    // The disk starts on the lines so far while the job goes on, so the flush at the commit
    // waits for the last of them only.
    if (std::fflush(m_file) != 0) {
        Fail("cannot write", errno);
        return;
    }
    const off_t end = ::lseek(::fileno(m_file), 0, SEEK_CUR);
    if (end > m_writebackStart) {
        ::sync_file_range(::fileno(m_file), m_writebackStart, end - m_writebackStart,
                          SYNC_FILE_RANGE_WRITE);
        m_writebackStart = end;
    }
    m_unsyncedBytes = 0;
}

MaybeError OutputFile::Commit() {
    if (m_file == nullptr) {
        return m_failure;
    }
    if (!m_failure && std::fflush(m_file) != 0) {
        Fail("cannot write", errno);
    }
    if (!m_failure && ::fdatasync(::fileno(m_file)) != 0) {
        Fail("cannot write", errno);
    }
    if (std::fclose(m_file) != 0) {
        Fail("cannot close", errno);
    }
    m_file = nullptr;
    if (!m_failure) {
        m_failure = CheckReplaceable(m_path);
    }
    if (!m_failure && ::rename(m_temporaryPath.c_str(), m_path.c_str()) != 0) {
        Fail("cannot replace", errno);
    }
    if (m_failure) {
        ::unlink(m_temporaryPath.c_str());
        m_temporaryPath.clear();
        return m_failure;
    }
    m_temporaryPath.clear();
    if (auto error = SyncFolder(FolderOf(m_path))) {
        // The output is complete under its name; only its survival of a power cut is in doubt.
        m_failure =
            errors::PathFileAccess(m_path + ": cannot flush its folder: " + error->description);
    }
    return m_failure;
}

void OutputFile::Abort() {
    if (m_file == nullptr) {
        return;
    }
    std::fclose(m_file);
    m_file = nullptr;
    ::unlink(m_temporaryPath.c_str());
    m_temporaryPath.clear();
}

MaybeError RemoveStaleOutputTemporaries(const std::string& folder) {
    return RemoveStaleTemporaryFiles(folder, [](std::string_view finalName) {
        // Every output name ends in CP2, whatever the letter case of the name before it; a name
        // too long to keep whole lost its end.
        return (EndsWith(finalName, "CP2")) || finalName.size() == kLongestTemporaryFinalName;
    });
}

}  // namespace skedora
