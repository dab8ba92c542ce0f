#include "engine/output_file.h"

#include <cerrno>
#include <cstring>

namespace skedora {

OutputFile::~OutputFile() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

MaybeError OutputFile::Create(const std::string& path) {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
    m_path = path;
    m_failure.reset();
    m_file = std::fopen(path.c_str(), "wb");
    if (m_file == nullptr) {
        return errors::PathFileAccess(path + ": " + std::strerror(errno));
    }
    return std::nullopt;
}

void OutputFile::Fail(const char* what) {
    if (!m_failure) {
        m_failure = errors::PathFileAccess(m_path + ": " + what + ": " + std::strerror(errno));
    }
}

void OutputFile::WriteLine(std::string_view line) {
    if (m_file == nullptr || m_failure) {
        return;
    }
    if (std::fwrite(line.data(), 1, line.size(), m_file) != line.size() ||
        std::fwrite("\r\n", 1, 2, m_file) != 2) {
        Fail("cannot write");
    }
}

MaybeError OutputFile::Close() {
    if (m_file == nullptr) {
        return m_failure;
    }
    if (std::fflush(m_file) != 0) {
        Fail("cannot write");
    }
    if (std::fclose(m_file) != 0) {
        Fail("cannot close");
    }
    m_file = nullptr;
    return m_failure;
}

}  // namespace skedora
