#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "engine/output_file.h"
#include "engine/pass_observer.h"
#include "engine/prepared_rules.h"
#include "engine/rule_trace.h"
#include "model/conversion_job.h"
#include "model/error.h"
#include "model/job_counts.h"
#include "model/rule_set.h"

namespace skedora {

/** How a pass ended: the job's counts, and why its output is not complete when it is not. */
struct PassResult : JobCounts {
    MaybeError failure;
};

/**
 * The one conversion job that can run at a time: its event table, its output file and the rules
 * worked out for it. A pass begins once the table is filled, then handles one event per tick:
 * an event with blank From call letters is skipped, one a delete rule matches is dropped, every
 * other one gets the change rules and its CP2 line. The tick after the last event ends the pass.
 * The rules are read afresh at every tick or burst, so a rule saved meanwhile applies from the
 * next event on.
 */
class ConversionPass {
  public:
    /** rules and observer must outlive the pass. */
    ConversionPass(const RuleSet& rules, PassObserver& observer);
    ConversionPass(const ConversionPass&) = delete;
    ConversionPass& operator=(const ConversionPass&) = delete;

    /** The job; its table is filled by the readers before Begin. */
    ConversionJob& Job() { return m_job; }
    const ConversionJob& Job() const { return m_job; }

    /**
     * Counters reset, the pass running, the output created with its header line; without an
     * output path the pass writes nothing (an audit). The error of a failed creation; the pass
     * then runs without output and ends with that failure.
     */
    MaybeError Begin(std::string inputTitle, const std::optional<std::string>& outputPath);
    bool IsRunning() const { return m_running; }

    /** At most one event; the tick after the last one ends the pass. */
    void Tick();
    /** Ticks for about budget or until the pass ends; the number of ticks. */
    int RunBurst(std::chrono::milliseconds budget);
    /** The result of the last pass that ended. */
    const PassResult& Result() const { return m_result; }

    /** Ends a running pass early: its output is left incomplete. */
    void Abort();

    /** Lets the audit follow every rule that acts on an event; nullptr for none. */
    void SetRuleTrace(RuleTrace* trace) { m_trace = trace; }

  private:
    void RefreshPreparedRules();
    void Step();
    void End();

    const RuleSet& m_rules;
    PassObserver& m_observer;
    RuleTrace* m_trace = nullptr;
    std::optional<PreparedRules> m_prepared;
    RuleSet m_preparedFrom;
    ConversionJob m_job;
    OutputFile m_output;
    MaybeError m_failure;
    bool m_running = false;
    PassResult m_result;
};

}  // namespace skedora
