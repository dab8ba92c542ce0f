#include "support/fake_platform.h"

namespace skedora::test {

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

std::vector<FolderEntry> TestFileSystem::ListScheduleFiles(const std::string& folder) const {
    auto entries = PosixFileSystem::ListScheduleFiles(folder);
    for (const auto& entry : entries) {
        if (vanishing.contains(entry.name)) {
            std::filesystem::remove(folder + entry.name);
        }
    }
    return entries;
}

std::optional<std::chrono::system_clock::time_point> TestFileSystem::ModificationTime(
    const std::string& folder, const std::string& name) const {
    lookedAt.push_back(name);
    auto modified = PosixFileSystem::ModificationTime(folder, name);
    if (vanishing.contains(name)) {
        std::filesystem::remove(folder + name);
    }
    return modified;
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
    ports = std::make_unique<FakePorts>();
    FakePorts& p = *ports;
    app = std::make_unique<Application>(
        home.path(), Ports{p.conversionTimer, p.watchTimer, p.files, p.clock, p.observer});
    app->StartUp();
    Settings() = {watch.folderText(), out.folderText(), true, true, false, false};
}

std::string TestApp::PollAndConvert() {
    app->PollWatchFolder();
    const std::string name = app->IsJobRunning() ? app->Job().InputFileTitle : "";
    RunJob(*app);
    return name;
}

}  // namespace skedora::test
