#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/prepared_rules.h"
#include "engine/rule_trace.h"
#include "model/rule_set.h"
#include "model/schedule_record.h"

namespace skedora {

/** What a Change Time entry does to a matching event, as its dialog lists the choices. */
enum class TimeChange { AddToStart, SubtractFromStart, AddToEnd, SubtractFromEnd };

/** The operation of a stored Math value: 0 to 3 in the order above; any other value is none. */
std::optional<TimeChange> TimeChangeFromMath(std::int16_t math);

/**
 * The first delete switch, in the order HD, SD, Digital, Non-Digital, that is set and fits the
 * To or the From call letters (given as keys); none when no set switch fits.
 */
std::optional<RuleFamily> MatchingDeleteAllFlag(const DeleteAllFlagsGroup& flags,
                                                std::string_view toKey, std::string_view fromKey);

/** Moves the start or the end of the event by the amount; the field changed. */
EventField ApplyTimeChange(ScheduleRecord& event, TimeChange change, std::string_view amount);

}  // namespace skedora
