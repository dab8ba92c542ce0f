#include "engine/conversion_pass.h"

#include "engine/cp2_line.h"
#include "model/text.h"

namespace skedora {

ConversionPass::ConversionPass(const RuleSet& rules, PassObserver& observer)
    : m_rules(rules), m_observer(observer) {}

MaybeError ConversionPass::Begin(std::string inputTitle,
                                 const std::optional<std::string>& outputPath) {
    m_job.InputFileTitle = std::move(inputTitle);
    m_job.RecordIndex = 0;
    m_job.OutputCount = 0;
    m_job.SkippedCount = 0;
    m_job.DeletedCount = 0;
    m_failure.reset();
    m_running = true;
    if (outputPath) {
        m_failure = m_output.Create(*outputPath);
        if (!m_failure) {
            m_output.WriteLine(CsvHeaderText());
        }
    }
    return m_failure;
}

void ConversionPass::RefreshPreparedRules() {
    if (!m_prepared || !(m_rules == m_preparedFrom)) {
        m_preparedFrom = m_rules;
        m_prepared.emplace(m_rules);
    }
}

void ConversionPass::Tick() {
    if (!m_running) {
        return;
    }
    RefreshPreparedRules();
    Step();
}

int ConversionPass::RunBurst(std::chrono::milliseconds budget) {
    using SteadyClock = std::chrono::steady_clock;
    if (!m_running) {
        return 0;
    }
    const auto deadline = SteadyClock::now() + budget;
    RefreshPreparedRules();
    int ticks = 0;
    while (m_running) {
        Step();
        ++ticks;
        // Reading the clock costs little next to a tick, but need not happen on every one.
        if (ticks % 16 == 0 && SteadyClock::now() >= deadline) {
            break;
        }
    }
    return ticks;
}

void ConversionPass::Step() {
    const int record = ++m_job.RecordIndex;
    if (record > m_job.Events.Count()) {
        End();
        return;
    }
    ScheduleRecord& event = m_job.Events[record];
    if (TrimSpaces(event.fchnm_hd).empty()) {
        ++m_job.SkippedCount;
        m_observer.EventSkipped(record);
        return;
    }
    m_observer.EventRead(record, event);
    if (m_prepared->IsDeleted(event, m_trace)) {
        ++m_job.DeletedCount;
        m_observer.EventDeleted(record, event);
        return;
    }
    m_prepared->ApplyChanges(event, m_trace);
    ++m_job.OutputCount;
    const std::string line = FormatEventLine(event, m_job.InputFileTitle);
    m_observer.EventWritten(record, m_job.OutputCount, event, line);
    if (m_output.IsOpen()) {
        m_output.WriteLine(line);
    }
}

void ConversionPass::End() {
    m_running = false;
    MaybeError closeFailure;
    if (m_output.IsOpen()) {
        closeFailure = m_output.Commit();
    }
    m_result.read = m_job.Events.Count();
    m_result.skipped = m_job.SkippedCount;
    m_result.deleted = m_job.DeletedCount;
    m_result.written = m_job.OutputCount;
    m_result.ignoredLines = m_job.Events.IgnoredLines;
    m_result.failure = m_failure ? m_failure : closeFailure;
    m_job.InputFileTitle.clear();
}

void ConversionPass::Abort() {
    if (!m_running) {
        return;
    }
    m_running = false;
    if (m_output.IsOpen()) {
        m_output.Abort();
    }
}

}  // namespace skedora
