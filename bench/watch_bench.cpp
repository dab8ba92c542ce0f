#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/text.h"
#include "os/atomic_file.h"
#include "os/posix_file_system.h"
#include "watch/converted_file_list.h"
#include "watch/watch_folder.h"

namespace skedora {
namespace {

/**
 * A watch folder of n schedule files, half dBASE and half CSV, all of them known to a saved
 * converted-file list; made once per size and removed at exit.
 */
class KnownFolder {
  public:
    explicit KnownFolder(int count) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "skedora-watch-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        m_path = pattern;
        std::filesystem::create_directory(m_path / "watch");
        std::string names;
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "SCHED%07d.%s", i, i % 2 == 0 ? "DBF" : "csv");
            const int fd =
                ::open((m_path / "watch" / name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0) {
                ::close(fd);
            }
            names += name;
            names += "\r\n";
        }
        m_ready = !WriteFileAtomically(ListFile(), names).has_value();
    }
    ~KnownFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    bool Ready() const { return m_ready; }
    std::filesystem::path ListFile() const { return m_path / "FileList.txt"; }
    std::string WatchFolderText() const { return (m_path / "watch").string() + "/"; }

  private:
    std::filesystem::path m_path;
    bool m_ready = false;
};

const KnownFolder& FolderOf(int count) {
    static std::map<int, std::unique_ptr<KnownFolder>> folders;
    auto& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<KnownFolder>(count);
    }
    return *folder;
}

void BM_LoadFileList(benchmark::State& state) {
    const auto& folder = FolderOf(static_cast<int>(state.range(0)));
    if (!folder.Ready()) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    for (auto _ : state) {
        ConvertedFileList list(folder.ListFile());
        if (list.LoadFileList()) {
            state.SkipWithError("cannot read the list");
            return;
        }
        benchmark::DoNotOptimize(list.Size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadFileList)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

/**
 * One poll that finds nothing new, Delete off: one names-first listing, then the dBASE pass and
 * the CSV pass of the watch folder, as the application makes them.
 */
void BM_PollOfKnownFiles(benchmark::State& state) {
    const auto& folder = FolderOf(static_cast<int>(state.range(0)));
    if (!folder.Ready()) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    WatchFolder watchFolder(folder.ListFile());
    if (watchFolder.Load()) {
        state.SkipWithError("cannot read the list");
        return;
    }
    PosixFileSystem files;
    const std::string watch = folder.WatchFolderText();
    std::size_t lookedAt = 0;
    const auto modifiedOf = [&](const std::string& name) {
        ++lookedAt;
        return files.ModificationTime(watch, name);
    };
    const auto now = std::chrono::system_clock::now();
    for (auto _ : state) {
        auto listing = files.ListScheduleNames(watch);
        const std::size_t listed = listing.size();
        std::vector<FolderName> byKind[2];
        for (auto& entry : listing) {
            byKind[HasExtension(entry.name, ".DBF") ? 0 : 1].push_back(std::move(entry));
        }
        bool picked = false;
        for (int kind = 0; kind < 2; ++kind) {
            const auto sifted = watchFolder.Sift(std::move(byKind[kind]), false);
            picked |= watchFolder.PickNext(kind == 0 ? ".DBF" : ".CSV", sifted, now, modifiedOf)
                          .has_value();
        }
        if (picked || lookedAt != 0 || listed != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("the folder is not as made");
            return;
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PollOfKnownFiles)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

/**
 * The part of that poll the window makes on its own thread: the dBASE pass and the CSV pass on a
 * listing listed and sifted beforehand (off that thread).
 */
void BM_PickOfKnownFiles(benchmark::State& state) {
    const auto& folder = FolderOf(static_cast<int>(state.range(0)));
    WatchFolder watchFolder(folder.ListFile());
    if (!folder.Ready() || watchFolder.Load()) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    PosixFileSystem files;
    const std::string watch = folder.WatchFolderText();
    const auto modifiedOf = [&](const std::string& name) {
        return files.ModificationTime(watch, name);
    };
    std::vector<FolderName> byKind[2];
    for (auto& entry : files.ListScheduleNames(watch)) {
        byKind[HasExtension(entry.name, ".DBF") ? 0 : 1].push_back(std::move(entry));
    }
    const SiftedListing sifted[2] = {watchFolder.Sift(std::move(byKind[0]), false),
                                     watchFolder.Sift(std::move(byKind[1]), false)};
    const auto now = std::chrono::system_clock::now();
    for (auto _ : state) {
        for (int kind = 0; kind < 2; ++kind) {
            if (watchFolder.PickNext(kind == 0 ? ".DBF" : ".CSV", sifted[kind], now, modifiedOf)) {
                state.SkipWithError("the folder is not as made");
                return;
            }
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PickOfKnownFiles)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace
}  // namespace skedora
