// The conversion of the largest schedule a job can hold: read the CSV file, apply every rule
// slot to every event, write the CP2 lines.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>

#include "app/rule_audit.h"
#include "app/schedule_audit.h"
#include "engine/conversion_pass.h"
#include "engine/cp2_line.h"
#include "input/schedule_reader.h"

namespace skedora {
namespace {

std::string Format(const char* pattern, int value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

/** A private folder with the largest CSV schedule, removed at the end of the run. */
class BenchFiles {
  public:
    BenchFiles() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "skedora-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
        }
        std::FILE* file = std::fopen(Input().c_str(), "wb");
        if (file == nullptr) {
            return;
        }
        std::fprintf(file, "%s\r\n", std::string(CsvHeaderText()).c_str());
        static const char* const kDays[] = {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"};
        for (int i = 0; i < EventTable::kMaxEvents; ++i) {
            const std::string to = Format("W%03d", i % 300) + (i % 50 == 49 ? "-HD" : "");
            std::fprintf(file,
                         "%d,03/%02d/2024,%s,%d:%02d,%02d:%02d:00,PROGRAM %d,%s,%s,%s,%s,%d,%s,%d,"
                         "K%03d,%d,NORTH,,%s\r\n",
                         1 + i % 7, 1 + i % 28, kDays[i % 7], 6 + i % 16, i % 60, 7 + i % 16,
                         i % 60, i % 50, i % 3 == 0 ? "X" : "", i % 4 == 0 ? "X" : "",
                         i % 2 == 0 ? "Y" : "", i % 10 == 0 ? "late feed" : "", i % 100, to.c_str(),
                         i % 90, i % 250, i % 40,
                         i % 5 == 0   ? "ADD"
                         : i % 7 == 0 ? "REMV"
                                      : "");
        }
        std::fclose(file);
    }
    ~BenchFiles() {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    std::string Input() const { return (m_folder / "WEEK1.CSV").string(); }
    std::string Output() const { return (m_folder / "WEEK1.CP2").string(); }

  private:
    std::filesystem::path m_folder;
};

const BenchFiles& Files() {
    static const BenchFiles files;
    return files;
}

/** Every slot filled; a few rules match, so most events survive and many are changed. */
RuleSet FullRuleSet() {
    RuleSet rules;
    for (int n = 1; n <= 64; ++n) {
        rules.DeleteCallLetterRules[n] = {Format("Q%03d", n), Format("%d", 100 + n)};
    }
    rules.DeleteCallLetterRules[64] = {"W007", "7"};
    for (int n = 1; n <= 24; ++n) {
        rules.DeleteSourceDestinationRules[n] = {Format("S%02d", n), Format("D%02d", n)};
    }
    rules.DeleteSourceDestinationRules[24] = {"W010", "ALL"};
    rules.DeleteAllFlags = {true, false, true, false};  // HD and digital call letters
    for (int n = 1; n <= 24; ++n) {
        rules.ChangeCallLetterRules[n] = {Format("w%03d", n * 5), Format("%d", n),
                                          Format(" X%03d ", n * 5)};
        rules.ChangeCOFromCallLetterRules[n] = {Format("K%03d", n * 3), Format("%d", n + 10),
                                                Format("%d", n + 200)};
        rules.ChangeCOFromDescriptionRules[n] = {Format("program %d", n), Format("%d", n % 40),
                                                 Format("3%02d", n)};
    }
    for (int n = 1; n <= 8; ++n) {
        rules.ChangeTimeRules[n] = {Format("W%03d", n),
                                    Format("K%03d", n),
                                    Format("%d", n),
                                    Format("PROGRAM %d", n),
                                    static_cast<std::int16_t>(n % 4),
                                    "00:30:00"};
    }
    return rules;
}

/** The conversion pass over the file, as a job by hand runs it (the rules prepared once). */
void BM_ConvertLargestFile(benchmark::State& state) {
    const BenchFiles& files = Files();
    const RuleSet rules = FullRuleSet();
    PassObserver none;
    ConversionPass pass(rules, none);
    int events = 0;
    int written = 0;
    for (auto _ : state) {
        if (MaybeError error =
                ReadSchedule(ScheduleKind::Csv, files.Input(), "WEEK1.CSV", pass.Job().Events)) {
            state.SkipWithError(error->description.c_str());
            return;
        }
        if (MaybeError error = pass.Begin("WEEK1.CSV", files.Output())) {
            state.SkipWithError(error->description.c_str());
            return;
        }
        while (pass.IsRunning()) {
            pass.RunBurst(std::chrono::seconds(1));
        }
        if (pass.Result().failure) {
            state.SkipWithError(pass.Result().failure->description.c_str());
            return;
        }
        events = pass.Result().read;
        written = pass.Result().written;
    }
    state.SetItemsProcessed(state.iterations() * events);
    state.counters["written"] = written;
}

BENCHMARK(BM_ConvertLargestFile)->Unit(benchmark::kMillisecond);

/**
 * The audit of the same file: read it, run the pass with the audit as observer and trace, and
 * write the JSON lines. Nothing is written to disk.
 */
void BM_AuditLargestFile(benchmark::State& state) {
    const BenchFiles& files = Files();
    const RuleSet rules = FullRuleSet();
    std::size_t bytes = 0;
    for (auto _ : state) {
        RuleAudit audit(rules);
        if (MaybeError error = AuditSchedule(rules, files.Input(), "WEEK1.CSV", audit)) {
            state.SkipWithError(error->description.c_str());
            return;
        }
        std::ostringstream out;
        WriteAuditJsonLines(audit, out);
        bytes = out.str().size();
    }
    state.counters["json_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_AuditLargestFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skedora
