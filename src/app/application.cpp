#include "app/application.h"

#include "input/output_naming.h"
#include "model/folder_text.h"
#include "model/text.h"
#include "settings/settings_store.h"

namespace skedora {

namespace {
constexpr const char* kFileListName = "FileList.txt";
constexpr const char* kOnlyScheduleFiles = "Only .DBF and .CSV schedule files can be converted";
constexpr const char* kConversionRunning = "A conversion is running; start the file again later";

struct WatchedKind {
    std::string_view extension;
    ScheduleKind kind;
    bool AutoLoadSettingsGroup::*enabled;
};
// dBASE files are taken before CSV files.
constexpr WatchedKind kWatchedKinds[] = {
    {".DBF", ScheduleKind::Dbase, &AutoLoadSettingsGroup::DBF},
    {".CSV", ScheduleKind::Csv, &AutoLoadSettingsGroup::CSV},
};
}  // namespace

Application::Application(std::filesystem::path home, const Ports& ports)
    : m_home(std::move(home)), m_ports(ports), m_watch(m_home / kFileListName) {}

void Application::StartUp() {
    m_ports.conversionTimer.SetEnabled(false);
    m_ports.conversionTimer.SetInterval(kConversionInterval);
    m_rules = RuleSet{};
    if (!LoadSettings(m_home, m_rules)) {
        ImportOldSettings(m_home, m_rules);
    }
    m_pass.Job().Events.ResetEventTable();
    m_watch.Load();
    m_ports.watchTimer.SetInterval(kWatchInterval);
    m_ports.watchTimer.SetEnabled(true);
}

MaybeError Application::SaveSettings() {
    return skedora::SaveSettings(m_home, m_rules);
}

MaybeError Application::ConvertChosenFile(const ChosenFile& chosen,
                                          const std::optional<std::string>& outputPath) {
    if (IsJobRunning()) {
        return errors::InvalidCall(kConversionRunning);
    }
    auto fail = [&](const Error& error) {
        m_ports.observer.JobSetUpFailed(chosen.path, error);
        return error;
    };
    const auto output = outputPath ? outputPath : ManualOutputPath(chosen.path, chosen.name);
    if (!output) {
        return fail(errors::InvalidCall());
    }
    const auto kind = ScheduleKindOf(chosen.path);
    if (!kind) {
        return fail(errors::InvalidCall(kOnlyScheduleFiles));
    }
    m_ports.observer.JobPreparing(chosen.path, *output);
    if (auto error = ReadSchedule(*kind, chosen.path, chosen.name, m_pass.Job().Events)) {
        return fail(*error);
    }
    return StartJob(chosen.path, chosen.name, *output);
}

bool Application::LoadAutomatic(const std::string& name, ScheduleKind kind) {
    const auto& settings = m_rules.AutoLoadSettings;
    // A folder typed without its final separator (a hand-edited SK.ini, an imported SKCONV.INI)
    // still names the folder that was listed, not a file name prefix.
    const std::string input = FolderText(settings.Path) + name;
    const auto output = AutomaticOutputPath(settings, name, m_ports.clock.LocalNow());
    if (!output) {
        m_ports.observer.JobSetUpFailed(input, errors::InvalidCall());
        return false;
    }
    m_ports.observer.JobPreparing(input, *output);
    if (auto error = ReadSchedule(kind, input, name, m_pass.Job().Events)) {
        m_ports.observer.JobSetUpFailed(input, *error);
        return false;
    }
    return !StartJob(input, name, *output);
}

MaybeError Application::StartJob(const std::string& input, const std::string& name,
                                 const std::string& output) {
    m_inputPath = input;
    m_outputPath = output;
    m_ports.conversionTimer.SetEnabled(true);
    MaybeError failure = m_pass.Begin(name, output);
    m_ports.observer.JobStarted(input, output, m_pass.Job().Events.Count());
    return failure;
}

void Application::ConversionTick() {
    m_pass.Tick();
    AfterTicks();
}

int Application::RunConversionBurst(std::chrono::milliseconds budget) {
    const int ticks = m_pass.RunBurst(budget);
    AfterTicks();
    return ticks;
}

void Application::AfterTicks() {
    if (!m_pass.IsRunning() && m_ports.conversionTimer.IsEnabled()) {
        EndJob();
    }
}

void Application::EndJob() {
    m_ports.conversionTimer.SetEnabled(false);
    const PassResult& result = m_pass.Result();
    if (const auto source = m_watch.JobEnded(!result.failure)) {
        m_watch.SourceDeleted(!m_ports.files.DeleteFile(*source));
    }
    JobReport report;
    report.input = m_inputPath;
    report.output = m_outputPath;
    report.read = result.read;
    report.skipped = result.skipped;
    report.deleted = result.deleted;
    report.written = result.written;
    report.failure = result.failure;
    m_ports.observer.JobEnded(report);
}

void Application::CloseOpenFiles() {
    if (!IsJobRunning()) {
        return;
    }
    // The program ends in the middle of a job: its source stays.
    m_ports.conversionTimer.SetEnabled(false);
    m_watch.ForgetPendingDelete();
    m_pass.Abort();
}

bool Application::PollWatchFolder() {
    if (IsJobRunning()) {
        return false;
    }
    const auto& settings = m_rules.AutoLoadSettings;
    ReportWatchStatus(true);
    // No watch folder set: nothing is watched (not the program's current folder).
    if (TrimSpaces(settings.Path).empty()) {
        return false;
    }
    const std::string folder = FolderText(settings.Path);
    for (const auto& watched : kWatchedKinds) {
        if (!(settings.*watched.enabled)) {
            continue;
        }
        const auto listing = m_ports.files.ListFiles(folder, watched.extension);
        const auto file =
            m_watch.PickNext(watched.extension, listing, settings.Delete, m_ports.clock.Now());
        if (!file) {
            continue;
        }
        const bool started = LoadAutomatic(file->name, watched.kind);
        (void)m_watch.Picked(folder, *file, started, settings.Delete);
        return true;
    }
    return false;
}

void Application::ReportWatchStatus(bool polled) {
    const auto& settings = m_rules.AutoLoadSettings;
    WatchStatus status = m_watchStatus;
    const bool on = !TrimSpaces(settings.Path).empty();
    status.state = on ? WatchStatus::State::Watching : WatchStatus::State::Off;
    status.folder = on ? FolderText(settings.Path) : std::string();
    status.dbf = settings.DBF;
    status.csv = settings.CSV;
    if (polled && on) {
        status.lastPoll = m_ports.clock.LocalNow();
    }
    m_watchStatus = status;
    m_ports.observer.WatchStatusChanged(m_watchStatus);
}

void Application::EventRead(int record, const ScheduleRecord& event) {
    m_ports.observer.EventRead(record, event);
}

void Application::EventWritten(int /*record*/, int outputCount, const ScheduleRecord& event,
                               std::string_view /*line*/) {
    m_ports.observer.EventWritten(outputCount, event);
}

}  // namespace skedora
