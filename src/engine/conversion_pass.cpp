#include "app/application.h"
#include "engine/cp2_line.h"
#include "engine/rule_application.h"
#include "model/text.h"

namespace skedora {

namespace {
/** A number as the status frames show it: a blank in the place of a plus sign. */
std::string StatusNumber(int value) {
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

constexpr StatusLabel kLabelsInOrder[] = {StatusLabel::lblRECNUM, StatusLabel::lblCLTO,
                                          StatusLabel::lblCLFROM, StatusLabel::lblCO,
                                          StatusLabel::lblDESC,   StatusLabel::lblFILE};
}  // namespace

void Application::RefreshPreparedRules() {
    if (!m_prepared || !(m_rules == m_preparedFrom)) {
        m_preparedFrom = m_rules;
        m_prepared.emplace(m_rules);
    }
}

void Application::ConversionTick() {
    if (!IsJobRunning()) {
        return;
    }
    RefreshPreparedRules();
    Tick();
}

int Application::RunConversionBurst(std::chrono::milliseconds budget) {
    using Clock = std::chrono::steady_clock;
    if (!IsJobRunning()) {
        return 0;
    }
    const auto deadline = Clock::now() + budget;
    RefreshPreparedRules();
    int ticks = 0;
    while (IsJobRunning()) {
        Tick();
        ++ticks;
        // Reading the clock costs little next to a tick, but need not happen on every one.
        if (ticks % 16 == 0 && Clock::now() >= deadline) {
            break;
        }
    }
    return ticks;
}

void Application::Tick() {
    ++m_job.RecordIndex;
    if (m_job.RecordIndex > m_job.Events.Count()) {
        EndConversionPass();
        return;
    }
    ScheduleRecord& event = m_job.Events[m_job.RecordIndex];
    if (TrimSpaces(event.fchnm_hd).empty()) {
        ++m_job.SkippedCount;
        return;
    }
    SetCaption(StatusLabel::lblRECNUM, 1, StatusNumber(m_job.RecordIndex));
    SetCaption(StatusLabel::lblCLTO, 1, event.tochnm_hd);
    SetCaption(StatusLabel::lblCLFROM, 1, event.fchnm_hd);
    SetCaption(StatusLabel::lblCO, 1, event.co);
    SetCaption(StatusLabel::lblDESC, 1, event.pgm);
    if (IsDeletedByRules(event, *m_prepared)) {
        ++m_job.DeletedCount;
        return;
    }
    ApplyChangeRules(event, *m_prepared);
    ++m_job.OutputCount;
    SetCaption(StatusLabel::lblRECNUM, 2, StatusNumber(m_job.OutputCount));
    SetCaption(StatusLabel::lblCLTO, 2, event.tochnm_hd);
    SetCaption(StatusLabel::lblCLFROM, 2, event.fchnm_hd);
    SetCaption(StatusLabel::lblCO, 2, event.co);
    SetCaption(StatusLabel::lblDESC, 2, event.pgm);
    m_output.WriteLine(FormatEventLine(event, m_job.InputFileTitle));
}

void Application::EndConversionPass() {
    m_platform.conversionTimer.SetEnabled(false);
    const MaybeError closeFailure = m_output.Close();
    const MaybeError failure = m_jobFailure ? m_jobFailure : closeFailure;
    for (const int index : {1, 2}) {
        for (const StatusLabel label : kLabelsInOrder) {
            SetCaption(label, index, "");
        }
    }
    m_job.InputFileTitle.clear();
    DeleteSourceAfterJob(failure);

    JobReport report;
    report.input = m_inputPath;
    report.output = m_outputPath;
    report.read = m_job.Events.Count();
    report.skipped = m_job.SkippedCount;
    report.deleted = m_job.DeletedCount;
    report.written = m_job.OutputCount;
    report.failure = failure;
    m_platform.listener.JobEnded(report);
}

void Application::DeleteSourceAfterJob(const MaybeError& failure) {
    if (!m_sourceToDelete) {
        return;
    }
    const WatchedSource source = std::move(*m_sourceToDelete);
    m_sourceToDelete.reset();
    // A source is deleted only once its output is complete; one that stays is not converted
    // again while it lies in the watch folder.
    if (failure || m_platform.files.DeleteFile(source.path)) {
        m_heldBack[source.name] = source.modified;
    }
}

void Application::CloseOpenFiles() {
    if (!IsJobRunning()) {
        return;
    }
    // The program ends in the middle of a job: keep the lines written so far, and the source.
    m_platform.conversionTimer.SetEnabled(false);
    m_sourceToDelete.reset();
    (void)m_output.Close();
}

}  // namespace skedora
