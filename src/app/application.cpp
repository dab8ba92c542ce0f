#include "app/application.h"

#include "settings/settings_store.h"

namespace skedora {

namespace {
constexpr const char* kFileListName = "FileList.txt";
}  // namespace

Application::Application(std::filesystem::path home, const Platform& platform)
    : m_home(std::move(home)), m_platform(platform), m_fileList(m_home / kFileListName) {}

void Application::StartUp() {
    m_platform.conversionTimer.SetEnabled(false);
    m_platform.conversionTimer.SetInterval(kConversionInterval);
    m_rules = RuleSet{};
    if (!LoadSettings(m_home, m_rules)) {
        ImportOldSettings(m_home, m_rules);
    }
    m_job.Events.ResetEventTable();
    m_fileList.Reset();
    m_fileList.LoadFileList();
    m_platform.watchTimer.SetInterval(kWatchInterval);
    m_platform.watchTimer.SetEnabled(true);
}

MaybeError Application::SaveSettings() {
    return skedora::SaveSettings(m_home, m_rules);
}

void Application::ShowError(const Error& error) {
    m_platform.messages.ShowError(kErrorTitle, ErrorBoxText(error));
}

void Application::SetCaption(StatusLabel label, int index, std::string_view caption) {
    m_platform.status.SetCaption(label, index, caption);
}

}  // namespace skedora
