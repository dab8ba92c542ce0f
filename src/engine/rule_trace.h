#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "model/schedule_record.h"

namespace skedora {

/** The rule lists and delete switches, in the order the rules are tried. */
enum class RuleFamily {
    DeleteCallLetter,
    DeleteSource,
    DeleteAllHD,
    DeleteAllSD,
    DeleteAllDigital,
    DeleteAllNonDigital,
    ChangeCallLetter,
    ChangeCOFromCallLetter,
    ChangeCOFromDescription,
    ChangeTime,
};

/** One rule: its list and its entry number from 1, or 0 for a delete switch. */
struct RuleId {
    RuleFamily family = RuleFamily::DeleteCallLetter;
    int entry = 0;

    bool operator==(const RuleId&) const = default;
};

/** The event fields that change rules assign. */
enum class EventField { ToCallLetters, FromCallLetters, CO, StartTime, EndTime };

/** The event's text for the field. */
inline const std::string& FieldOf(const ScheduleRecord& event, EventField field) {
    switch (field) {
        case EventField::ToCallLetters:
            return event.tochnm_hd;
        case EventField::FromCallLetters:
            return event.fchnm_hd;
        case EventField::CO:
            return event.co;
        case EventField::StartTime:
            return event.on_time;
        case EventField::EndTime:
            break;
    }
    return event.off_time;
}

inline std::string& FieldOf(ScheduleRecord& event, EventField field) {
    return const_cast<std::string&>(FieldOf(std::as_const(event), field));
}

/**
 * What the rules did to one event, reported as they do it: the rule that deleted it, then each
 * field an entry assigned. Every member does nothing unless overridden.
 */
class RuleTrace {
  public:
    virtual ~RuleTrace() = default;
    /** The first rule, in the order the rules are tried, that deletes the event. */
    virtual void Deleted(const RuleId& /*rule*/) {}
    /** An entry assigned the field: its value just before the entry and just after. */
    virtual void Changed(const RuleId& /*rule*/, EventField /*field*/, std::string_view /*before*/,
                         std::string_view /*after*/) {}
};

}  // namespace skedora
