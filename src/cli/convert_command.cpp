#include <iostream>

#include "app/ignored_lines.h"
#include "cli/commands.h"
#include "model/error.h"

namespace skedora::cli {

namespace {
/** Keeps the end-of-job report. */
class ReportKeeper : public JobObserver {
  public:
    void JobEnded(const JobReport& report) override { m_report = report; }
    void ProblemReported(const Error& problem) override { PrintProblem(problem); }
    const std::optional<JobReport>& Report() const { return m_report; }

  private:
    std::optional<JobReport> m_report;
};
}  // namespace

void PrintProblem(const Error& problem) {
    std::cerr << "skedora-cli: " << problem.description << std::endl;
}

void PrintIgnoredLinesWarning(std::string_view file, int lines) {
    if (const std::string warning = IgnoredLinesWarning(file, lines); !warning.empty()) {
        std::cerr << "skedora-cli: warning: " << warning << std::endl;
    }
}

int RunConvert(const ConvertOptions& options) {
    HeadlessPorts ports;
    ReportKeeper reports;
    Application app(options.home, ports.For(reports));
    app.SetStopFlag(StopFlag());
    if (const auto error = app.StartUp()) {
        std::cerr << ErrorBoxText(*error) << std::endl;
        return kExitFailure;
    }

    const ChosenFile chosen{options.schedule,
                            std::filesystem::path(options.schedule).filename().string()};
    const auto interrupted = [&](int signal) {
        app.CloseOpenFiles();  // the earlier output stays; no partial one is left
        std::cerr << "skedora-cli: interrupted; " << chosen.path << " was not converted\n";
        return 128 + signal;
    };
    const MaybeError setUpError = app.ConvertChosenFile(chosen, options.output);
    if (const int signal = StopSignal()) {
        return interrupted(signal);  // stopped during the read: nothing was written
    }
    if (setUpError) {
        std::cerr << ErrorBoxText(*setUpError) << std::endl;
    }
    while (app.IsJobRunning()) {
        if (const int signal = StopSignal()) {
            return interrupted(signal);
        }
        app.RunConversionBurst(std::chrono::milliseconds(50));
    }

    const auto& report = reports.Report();
    if (setUpError || !report) {
        return kExitFailure;
    }
    if (report->failure) {
        std::cerr << ErrorBoxText(*report->failure) << '\n';
        return kExitFailure;
    }
    std::cout << report->input << " -> " << report->output << ": " << report->read << " read, "
              << report->skipped << " skipped, " << report->deleted << " deleted, "
              << report->written << " written" << std::endl;
    // A file that is no CSV schedule (a binary one so named) reads as a run of ignored lines.
    PrintIgnoredLinesWarning(chosen.path, report->ignoredLines);
    return kExitSuccess;
}

}  // namespace skedora::cli
