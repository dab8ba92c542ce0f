#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "settings/profile_file.h"
#include "settings/settings_store.h"

namespace skedora {
namespace {

RuleSet FullRuleSet() {
    RuleSet rules;
    auto text = [](const char* stem, int n) { return stem + std::to_string(n) + "-KABC-HD"; };
    for (int n = 1; n <= 64; ++n) {
        rules.DeleteCallLetterRules[n] = {text("D", n), std::to_string(1000 + n)};
    }
    for (int n = 1; n <= 48; ++n) {
        rules.DeleteSourceDestinationRules[n] = {text("S", n), text("T", n)};
    }
    for (int n = 1; n <= 24; ++n) {
        rules.ChangeCOFromCallLetterRules[n] = {text("C", n), "100", "200"};
        rules.ChangeCallLetterRules[n] = {text("O", n), "300", text("N", n)};
        rules.ChangeCOFromDescriptionRules[n] = {"EVENING NEWS " + std::to_string(n), "1", "2"};
    }
    for (int n = 1; n <= 8; ++n) {
        rules.ChangeTimeRules[n] = {text("S", n), text("D", n), "12", "MOVIE", 2, "00:30:00"};
    }
    rules.AutoLoadSettings = {"/watch/in/", "/watch/out/", true, true, true, false};
    return rules;
}

/** A folder of its own for the run, removed afterwards. */
class BenchFolder {
  public:
    BenchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "skedora-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

// A whole "Apply and Save": read SK.ini, set every key, write and flush it, rename it into place.
void BM_SaveSettings(benchmark::State& state) {
    BenchFolder home;
    const RuleSet rules = FullRuleSet();
    if (SaveSettings(home.path(), rules)) {
        state.SkipWithError("cannot save");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(SaveSettings(home.path(), rules));
    }
}
BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
    BenchFolder home;
    if (SaveSettings(home.path(), FullRuleSet())) {
        state.SkipWithError("cannot save");
        return;
    }
    for (auto _ : state) {
        RuleSet rules;
        benchmark::DoNotOptimize(LoadSettings(home.path(), rules).current);
    }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

// The in-memory part of a save, without the disk: parse SK.ini, give every key a new value,
// serialise.
void BM_ProfileRewrite(benchmark::State& state) {
    BenchFolder home;
    if (SaveSettings(home.path(), FullRuleSet())) {
        state.SkipWithError("cannot save");
        return;
    }
    std::ifstream in(SettingsFilePath(home.path()), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();

    std::vector<std::pair<std::string, std::string>> keys;  // section, key
    std::istringstream lines(text);
    std::string line;
    std::string section;
    while (std::getline(lines, line)) {
        line.pop_back();  // the CR
        if (line.front() == '[') {
            section = line.substr(1, line.size() - 2);
        } else {
            keys.emplace_back(section, line.substr(0, line.find('=')));
        }
    }
    for (auto _ : state) {
        ProfileFile file = ProfileFile::Parse(text);
        for (const auto& [sectionName, key] : keys) {
            file.Set(sectionName, key, "CHANGED");
        }
        benchmark::DoNotOptimize(file.Serialize());
    }
    state.counters["keys"] = static_cast<double>(keys.size());
}
BENCHMARK(BM_ProfileRewrite)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace skedora
