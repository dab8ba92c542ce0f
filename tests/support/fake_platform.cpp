#include "support/fake_platform.h"

namespace skedora::test {

void CaptionRecorder::SetCaption(StatusLabel label, int index, std::string_view caption) {
    static const char* const kNames[] = {"lblRECNUM", "lblCLTO", "lblCLFROM",
                                         "lblCO",     "lblDESC", "lblFILE"};
    const int at = static_cast<int>(label);
    changes.push_back(std::string(kNames[at]) + "(" + std::to_string(index) +
                      ")=" + std::string(caption));
    m_current[at][index - 1] = caption;
}

std::string CaptionRecorder::Caption(StatusLabel label, int index) const {
    return m_current[static_cast<int>(label)][index - 1];
}

std::optional<ChosenFile> FakeChooser::ChooseFile(std::string_view) {
    ++shown;
    if (whileShown) {
        whileShown();
    }
    return answer;
}

void RecordingMessageBox::ShowError(std::string_view title, std::string_view text) {
    boxes.push_back(std::string(title) + "|" + std::string(text));
}

std::vector<FolderEntry> TestFileSystem::ListFiles(const std::string& folder,
                                                   std::string_view extension) const {
    auto entries = PosixFileSystem::ListFiles(folder, extension);
    for (const auto& entry : entries) {
        if (vanishing.contains(entry.name)) {
            std::filesystem::remove(folder + entry.name);
        }
    }
    return entries;
}

MaybeError TestFileSystem::DeleteFile(const std::string& path) {
    if (failingDeletes.contains(path)) {
        return errors::PathFileAccess("cannot delete " + path);
    }
    deleted.push_back(path);
    return PosixFileSystem::DeleteFile(path);
}

void RecordingListener::JobStarted(const std::string& input, const std::string& output) {
    lines.push_back("started " + input + " -> " + output);
}

void RecordingListener::JobEnded(const JobReport& report) {
    reports.push_back(report);
    lines.push_back((report.failure ? "failed " : "ended ") + report.input);
}

void RecordingListener::JobSetUpFailed(const std::string& input, const Error& error) {
    lines.push_back("set-up failed " + input + ": " + std::to_string(error.number));
}

int RunJob(Application& app) {
    int ticks = 0;
    for (; app.IsJobRunning(); ++ticks) {
        app.ConversionTick();
    }
    return ticks;
}

void TestApp::Restart() {
    app.reset();
    platform = std::make_unique<FakePlatform>();
    app = std::make_unique<Application>(home.path(), platform->For());
    app->StartUp();
    Settings() = {watch.folderText(), out.folderText(), true, true, false, false};
}

std::string TestApp::PollAndConvert() {
    app->PollWatchFolder();
    if (!app->IsJobRunning()) {
        return "";
    }
    const std::string name = app->job().InputFileTitle;
    RunJob(*app);
    return name;
}

}  // namespace skedora::test
