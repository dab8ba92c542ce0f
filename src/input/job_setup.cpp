#include "app/application.h"
#include "input/csv_reader.h"
#include "input/dbase_reader.h"
#include "model/folder_text.h"
#include "model/text.h"

namespace skedora {

namespace {
constexpr const char* kOnlyScheduleFiles = "Only .DBF and .CSV schedule files can be converted";
constexpr const char* kConversionRunning = "A conversion is running; start the file again later";

std::string LastThreeUpper(std::string_view path) {
    return UpperCase1252(path.size() >= 3 ? path.substr(path.size() - 3) : path);
}
}  // namespace

std::optional<std::string> Application::ManualOutputPath(const ChosenFile& chosen) {
    const std::string_view path = TrimSpaces(chosen.path);
    std::string_view name = TrimSpaces(chosen.name);
    if (!EndsWith(path, name) || name.empty()) {
        // The dialog's name should end the path; if not, take the path's own last part.
        const auto slash = path.find_last_of('/');
        name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    }
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t extension = name.size() - dot;
    return std::string(path.substr(0, path.size() - extension)) + ".CP2";
}

std::optional<std::string> Application::AutomaticOutputPath(std::string_view name) const {
    const auto& settings = m_rules.AutoLoadSettings;
    std::string text = FolderText(settings.OutPath);
    if (text.empty()) {
        // No output folder: the outputs go beside their sources.
        text = FolderText(settings.Path);
    }
    if (settings.PrefixDate) {
        text += FormatDatePrefix(m_platform.clock.LocalNow());
    }
    text += TrimSpaces(name);
    if (text.size() < 3) {
        return std::nullopt;
    }
    text.resize(text.size() - 3);
    return text + "CP2";
}

void Application::OpenScheduleCommand() {
    if (IsJobRunning()) {
        return;
    }
    const auto chosen = m_platform.chooser.ChooseFile(kOpenFilter);
    if (!chosen) {
        return;
    }
    // The watch-folder poll may have started a job while the dialog was on screen.
    if (IsJobRunning()) {
        ShowError(errors::InvalidCall(kConversionRunning));
        return;
    }
    OpenScheduleFile(*chosen);
}

MaybeError Application::ReadChosenFile(const ChosenFile& chosen, bool dbase) {
    if (!dbase) {
        m_job.Events.ResetEventTable();
        return ReadCsvSchedule(chosen.path, m_job.Events);
    }
    // The folder is the path without the bare name at its end, separator kept.
    std::string folder;
    if (EndsWith(chosen.path, chosen.name)) {
        folder = chosen.path.substr(0, chosen.path.size() - chosen.name.size());
    } else if (const auto at = chosen.path.find(chosen.name); at != std::string::npos) {
        folder = chosen.path.substr(0, at);
    }
    return ReadDbaseSchedule(folder, chosen.name, m_job.Events);
}

bool Application::OpenScheduleFile(const ChosenFile& chosen,
                                   const std::optional<std::string>& outputPath) {
    auto fail = [&](const Error& error) {
        ShowError(error);
        m_platform.listener.JobSetUpFailed(chosen.path, error);
        return false;
    };
    std::string output;
    if (outputPath) {
        output = *outputPath;
    } else if (auto formed = ManualOutputPath(chosen)) {
        output = std::move(*formed);
    } else {
        return fail(errors::InvalidCall());
    }
    const std::string kind = LastThreeUpper(chosen.path);
    if (kind != "DBF" && kind != "CSV") {
        return fail(errors::InvalidCall(kOnlyScheduleFiles));
    }

    m_job.InputFileTitle = chosen.name;
    SetCaption(StatusLabel::lblFILE, 1, chosen.path);
    SetCaption(StatusLabel::lblFILE, 2, output);
    if (auto error = ReadChosenFile(chosen, kind == "DBF")) {
        return fail(*error);
    }
    m_inputPath = chosen.path;
    if (auto error = StartConversionJob(output)) {
        ShowError(*error);
        return false;
    }
    return true;
}

bool Application::LoadDbaseSchedule(const std::string& name) {
    return LoadAutomatic(name, true);
}

bool Application::LoadCsvSchedule(const std::string& name) {
    return LoadAutomatic(name, false);
}

bool Application::LoadAutomatic(const std::string& name, bool dbase) {
    // A folder typed without its final separator (a hand-edited SK.ini, an imported SKCONV.INI)
    // still names the folder the poll listed, not a file name prefix.
    const std::string folder = FolderText(m_rules.AutoLoadSettings.Path);
    const std::string input = folder + name;
    SetCaption(StatusLabel::lblFILE, 1, input);
    m_job.InputFileTitle = name;
    const auto output = AutomaticOutputPath(name);
    if (!output) {
        m_platform.listener.JobSetUpFailed(input, errors::InvalidCall());
        return false;
    }
    SetCaption(StatusLabel::lblFILE, 2, *output);

    MaybeError error;
    if (dbase) {
        error = ReadDbaseSchedule(folder, name, m_job.Events);
    } else {
        m_job.Events.ResetEventTable();
        error = ReadCsvSchedule(input, m_job.Events);
    }
    if (error) {
        m_platform.listener.JobSetUpFailed(input, *error);
        return false;
    }
    m_inputPath = input;
    return !StartConversionJob(*output);
}

MaybeError Application::StartConversionJob(const std::string& outputPath) {
    m_job.RecordIndex = 0;
    m_job.OutputCount = 0;
    m_job.SkippedCount = 0;
    m_job.DeletedCount = 0;
    m_outputPath = outputPath;
    m_jobFailure.reset();
    m_platform.conversionTimer.SetEnabled(true);
    m_jobFailure = m_output.Create(outputPath);
    if (!m_jobFailure) {
        m_output.WriteLine(CsvHeaderText());
    }
    m_platform.listener.JobStarted(m_inputPath, m_outputPath);
    return m_jobFailure;
}

}  // namespace skedora
