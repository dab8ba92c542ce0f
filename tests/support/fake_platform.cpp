#include "support/fake_platform.h"

#include <algorithm>

namespace skedora::test {

std::vector<FolderName> TestFileSystem::ListScheduleNames(const std::string& folder) const {
    auto entries = PosixFileSystem::ListScheduleNames(folder);
    std::ranges::sort(entries, std::ranges::greater(), &FolderName::name);
    return entries;
}

std::optional<std::chrono::system_clock::time_point> TestFileSystem::ModificationTime(
    const std::string& folder, const std::string& name) const {
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

void RunJob(Application& app) {
    while (app.IsJobRunning()) {
        app.ConversionTick();
    }
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
