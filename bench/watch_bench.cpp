#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "model/text.h"
#include "os/atomic_file.h"
#include "os/posix_file_system.h"
#include "watch/converted_file_list.h"

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

/** One poll that finds nothing new: one listing, then the dBASE pass and the CSV pass. */
void BM_PollOfKnownFiles(benchmark::State& state) {
    const auto& folder = FolderOf(static_cast<int>(state.range(0)));
    if (!folder.Ready()) {
        state.SkipWithError("cannot make the folder");
        return;
    }
    ConvertedFileList list(folder.ListFile());
    if (list.LoadFileList()) {
        state.SkipWithError("cannot read the list");
        return;
    }
    PosixFileSystem files;
    const std::string watch = folder.WatchFolderText();
    for (auto _ : state) {
        const auto listing = files.ListScheduleFiles(watch);
        std::size_t newFiles = 0;
        for (const char* extension : {".DBF", ".CSV"}) {
            list.MarkNotSeen(extension);
            for (const auto& entry : listing) {
                if (HasExtension(entry.name, extension) && !list.IsKnownFile(entry.name)) {
                    ++newFiles;
                }
            }
            if (list.ForgetNotSeen()) {
                state.SkipWithError("cannot save the list");
                return;
            }
        }
        if (newFiles != 0 || listing.size() != static_cast<std::size_t>(state.range(0))) {
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

}  // namespace
}  // namespace skedora
