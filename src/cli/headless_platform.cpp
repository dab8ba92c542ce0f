#include "cli/headless_platform.h"

namespace skedora::cli {

void StderrMessageBox::ShowError(std::string_view /*title*/, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    m_shown = true;
}

}  // namespace skedora::cli
