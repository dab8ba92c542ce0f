#pragma once

#include <memory>

#include "engine/rule_trace.h"
#include "model/rule_set.h"
#include "model/schedule_record.h"

namespace skedora {

/**
 * The rules turned into lookup tables once, for converting many events under rules that do not
 * change meanwhile: every text key and CO value that the rules hold is numbered, so an event
 * looks up the few entries that can match it instead of testing every one. A change to the
 * rules needs a new PreparedRules.
 *
 * Given a trace, each operation also reports which rules acted and how; without one it does no
 * extra work.
 */
class PreparedRules {
  public:
    explicit PreparedRules(const RuleSet& rules);
    ~PreparedRules();
    PreparedRules(PreparedRules&&) noexcept;
    PreparedRules& operator=(PreparedRules&&) noexcept;

    /** True when a delete rule matches the event as read; the trace hears the first such rule. */
    bool IsDeleted(const ScheduleRecord& event, RuleTrace* trace = nullptr) const;
    /**
     * Applies the change rules to the event in place, family by family, each over its entries in
     * order, every test seeing the earlier changes. The trace hears every field an entry assigns.
     */
    void ApplyChanges(ScheduleRecord& event, RuleTrace* trace = nullptr) const;

  private:
    struct Tables;
    std::unique_ptr<const Tables> m_tables;
};

}  // namespace skedora
