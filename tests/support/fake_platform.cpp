#include "support/fake_platform.h"

namespace skedora::test {

void CaptionRecorder::SetCaption(StatusLabel label, int index, std::string_view caption) {
    static const char* const kNames[] = {"lblRECNUM", "lblCLTO", "lblCLFROM",
                                         "lblCO",     "lblDESC", "lblFILE"};
    changes.push_back(std::string(kNames[static_cast<int>(label)]) + "(" + std::to_string(index) +
                      ")=" + std::string(caption));
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
    return PosixFileSystem::DeleteFile(path);
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
    FakePlatform& p = *platform;
    app = std::make_unique<Application>(
        home.path(), Platform{p.conversionTimer, p.watchTimer, p.status, p.chooser, p.messages,
                              p.files, p.clock, p.listener});
    app->StartUp();
    Settings() = {watch.folderText(), out.folderText(), true, true, false, false};
}

std::string TestApp::PollAndConvert() {
    app->PollWatchFolder();
    const std::string name = app->IsJobRunning() ? app->job().InputFileTitle : "";
    RunJob(*app);
    return name;
}

}  // namespace skedora::test
