#include "app/application.h"

#include "app/chosen_file_check.h"
#include "engine/output_file.h"
#include "input/output_naming.h"
#include "input/source_file.h"
#include "model/folder_text.h"
#include "model/text.h"
#include "os/atomic_file.h"
#include "settings/settings_store.h"

namespace skedora {

namespace {
constexpr const char* kFileListName = "FileList.txt";
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

MaybeError Application::StartUp() {
    m_ports.conversionTimer.SetEnabled(false);
    m_ports.conversionTimer.SetInterval(kConversionInterval);
    m_ports.watchTimer.SetEnabled(false);
    m_rules = RuleSet{};
    const LoadedSettings settings = LoadSettings(m_home, m_rules);
    if (settings.unreadable) {
        // Converting with the defaults in place of the user's rules would go unnoticed.
        return errors::PathFileAccess(SettingsFilePath(m_home).string() +
                                      ": the settings file cannot be read");
    }
    if (!settings.current) {
        ImportOldSettings(m_home, m_rules);
    }
    m_pass.Job().Events.ResetEventTable();
    ReportProblem(RemoveStaleTemporaryFiles(m_home, "SK.ini"));
    ReportProblem(RemoveStaleTemporaryFiles(m_home, kFileListName));
    ReportProblem(m_watch.Load());
    SweepStaleOutputTemporaries();
    m_ports.watchTimer.SetInterval(kWatchInterval);
    m_ports.watchTimer.SetEnabled(true);
    return std::nullopt;
}

void Application::ReportProblem(const MaybeError& problem) {
    if (problem) {
        m_ports.observer.ProblemReported(*problem);
    }
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
    const ChosenFileCheck check = ValidateChosenFile(chosen.path, chosen.name, outputPath);
    if (check.error) {
        return fail(*check.error);
    }
    m_ports.observer.JobPreparing(chosen.path, check.output);
    if (auto error = ReadSchedule(check.kind, chosen.path, chosen.name, m_pass.Job().Events,
                                  &m_readIdentity, m_stopRequested)) {
        return fail(*error);
    }
    // A job of this output killed part-way left its temporary beside it.
    const std::filesystem::path outputFile(check.output);
    ReportProblem(RemoveStaleTemporaryFiles(FolderOf(outputFile), outputFile.filename().string()));
    return StartJob(chosen.path, chosen.name, check.output);
}

bool Application::LoadAutomatic(const WatchedFile& file, ScheduleKind kind) {
    const auto& settings = m_rules.AutoLoadSettings;
    // A folder typed without its final separator (a hand-edited SK.ini, an imported SKCONV.INI)
    // still names the folder that was listed, not a file name prefix.
    const std::string input = FolderText(settings.Path) + file.name;
    auto fail = [&](const Error& error) {
        m_ports.observer.JobSetUpFailed(input, error);
        ReportProblem(m_watch.SetUpFailed(file, settings.Delete));
        return false;
    };
    const auto output = AutomaticOutputPath(settings, file.name, m_ports.clock.LocalNow());
    if (!output) {
        return fail(errors::InvalidCall());
    }
    // Two sources that map to one output (X.CSV and X.csv, SAME.DBF and SAME.CSV): the second
    // would replace the first one's output, so it waits, untouched, until the user sees to it.
    if (const auto earlier = m_automaticOutputs.find(*output);
        earlier != m_automaticOutputs.end() && earlier->second != input) {
        m_ports.observer.JobSetUpFailed(
            input,
            errors::PathFileAccess(*output + " was written from " + earlier->second +
                                   " in this run; " + file.name + " is kept and not converted"));
        m_watch.HoldBack(file);
        return false;
    }
    m_ports.observer.JobPreparing(input, *output);
    if (auto error = ReadSchedule(kind, input, file.name, m_pass.Job().Events, &m_readIdentity,
                                  m_stopRequested)) {
        // A read ended because the program stops says nothing about the file: it is not
        // recorded, and a restart converts it.
        if (IsStopRequested(m_stopRequested)) {
            return false;
        }
        return fail(*error);
    }
    m_watch.JobStarted(input, file, settings.Delete);
    m_automaticOutputs[*output] = input;
    (void)StartJob(input, file.name, *output);
    return true;
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
    JobReport report;
    report.input = m_inputPath;
    report.output = m_outputPath;
    static_cast<JobCounts&>(report) = result;
    report.failure = result.failure;

    // The source is deleted, or recorded as converted, only while it is still the file read.
    const bool unchanged = IsUnchangedSince(m_inputPath, m_readIdentity);
    const WatchedJobEnd end = m_watch.JobEnded(!result.failure, unchanged);
    if (end.sourceToDelete) {
        const MaybeError deleteFailure = m_ports.files.DeleteFile(*end.sourceToDelete);
        m_watch.SourceDeleted(!deleteFailure);
        if (deleteFailure) {
            report.sourceKept = deleteFailure->description;
        }
    } else if (end.sourceChanged) {
        report.sourceKept = "it changed while it was converted; it is converted again once quiet";
    }
    m_ports.observer.JobEnded(report);
    // After the job's report, so the window's status line ends on the list it could not save.
    ReportProblem(end.listSaveFailure);
}

void Application::CloseOpenFiles() {
    if (!IsJobRunning()) {
        return;
    }
    // The program ends in the middle of a job: its source stays.
    m_ports.conversionTimer.SetEnabled(false);
    m_watch.ForgetRunningJob();
    m_pass.Abort();
}

std::string Application::WatchFolderToList() const {
    const auto& settings = m_rules.AutoLoadSettings;
    // No watch folder set: nothing is watched (not the program's current folder).
    if (TrimSpaces(settings.Path).empty() || !(settings.DBF || settings.CSV)) {
        return {};
    }
    return FolderText(settings.Path);
}

bool Application::PollWatchFolder() {
    if (IsJobRunning()) {
        return false;
    }
    const std::string folder = WatchFolderToList();
    auto listing =
        folder.empty() ? std::vector<FolderName>{} : m_ports.files.ListScheduleNames(folder);
    return PollWatchFolderPrepared(
        PreparePoll(folder, std::move(listing), m_rules.AutoLoadSettings.Delete));
}

Application::PreparedPoll Application::PreparePoll(const std::string& folder,
                                                   std::vector<FolderName> listing,
                                                   bool deleteOn) const {
    static_assert(std::size(kWatchedKinds) == std::tuple_size_v<decltype(PreparedPoll::byKind)>);
    std::vector<FolderName> listings[std::size(kWatchedKinds)];
    for (auto& entry : listing) {
        for (std::size_t kind = 0; kind < std::size(kWatchedKinds); ++kind) {
            if (HasExtension(entry.name, kWatchedKinds[kind].extension)) {
                listings[kind].push_back(std::move(entry));
                break;
            }
        }
    }
    PreparedPoll poll;
    poll.folder = folder;
    for (std::size_t kind = 0; kind < std::size(kWatchedKinds); ++kind) {
        poll.byKind[kind] = m_watch.Sift(std::move(listings[kind]), deleteOn);
    }
    return poll;
}

bool Application::PollWatchFolderPrepared(PreparedPoll poll) {
    if (IsJobRunning()) {
        return false;
    }
    const auto& settings = m_rules.AutoLoadSettings;
    ReportWatchStatus();
    const std::string watched = WatchFolderToList();
    if (watched.empty()) {
        return false;
    }
    // A watch runs for days: the temporaries of jobs killed before it started go once stale.
    if (m_ports.clock.Now() - m_outputsSweptAt >= std::chrono::minutes(1)) {
        SweepStaleOutputTemporaries();
    }
    bool current = watched == poll.folder;
    for (const auto& sifted : poll.byKind) {
        current = current && m_watch.IsCurrent(sifted, settings.Delete);
    }
    if (!current) {
        poll = PreparePoll(watched, m_ports.files.ListScheduleNames(watched), settings.Delete);
    }
    const auto modifiedOf = [&](const std::string& name) {
        return m_ports.files.ModificationTime(watched, name);
    };
    bool picked = false;
    for (std::size_t kind = 0; kind < std::size(kWatchedKinds) && !picked; ++kind) {
        const auto& kindWatched = kWatchedKinds[kind];
        if (!(settings.*kindWatched.enabled)) {
            continue;
        }
        const auto file = m_watch.PickNext(kindWatched.extension, poll.byKind[kind],
                                           m_ports.clock.Now(), modifiedOf);
        if (file) {
            LoadAutomatic(*file, kindWatched.kind);
            picked = true;  // one file per poll
        }
    }
    for (const auto& name : m_watch.TakeRefusedNames()) {
        ReportProblem(
            errors::InvalidCall(watched + name +
                                " is not converted automatically: FileList.txt cannot hold a name "
                                "with a line break or a blank at either end; rename it"));
    }
    return picked;
}

void Application::SweepStaleOutputTemporaries() {
    m_outputsSweptAt = m_ports.clock.Now();
    if (const std::string out = AutomaticOutputFolder(m_rules.AutoLoadSettings); !out.empty()) {
        ReportProblem(RemoveStaleOutputTemporaries(out));
    }
}

void Application::ReportWatchStatus() {
    const auto& settings = m_rules.AutoLoadSettings;
    WatchStatus& status = m_watchStatus;
    status.folder = FolderText(settings.Path);  // empty when no folder is set
    status.state = status.folder.empty() ? WatchStatus::State::Off : WatchStatus::State::Watching;
    status.dbf = settings.DBF;
    status.csv = settings.CSV;
    if (!status.folder.empty()) {
        status.lastPoll = m_ports.clock.LocalNow();
    }
    m_ports.observer.WatchStatusChanged(status);
}

void Application::EventRead(int record, const ScheduleRecord& event) {
    m_ports.observer.EventRead(record, event);
}

void Application::EventWritten(int /*record*/, int outputCount, const ScheduleRecord& event,
                               std::string_view /*line*/) {
    m_ports.observer.EventWritten(outputCount, event);
}

}  // namespace skedora
