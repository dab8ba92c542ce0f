#include "engine/rule_application.h"

#include <string_view>

#include "engine/time_arithmetic.h"
#include "model/text.h"

namespace skedora {

namespace {

bool IsHD(std::string_view letters) {
    return letters.size() > 2 && EndsWith(letters, "-HD");
}
bool IsSD(std::string_view letters) {
    return letters.size() > 2 && !EndsWith(letters, "-HD");
}
bool IsDigital(std::string_view letters) {
    return !letters.empty() && letters.front() == 'D';
}
bool IsNonDigital(std::string_view letters) {
    return !letters.empty() && letters.front() != 'D';
}

}  // namespace

std::optional<TimeChange> TimeChangeFromMath(std::int16_t math) {
    switch (math) {
        case 0:
            return TimeChange::AddToStart;
        case 1:
            return TimeChange::SubtractFromStart;
        case 2:
            return TimeChange::AddToEnd;
        case 3:
            return TimeChange::SubtractFromEnd;
        default:
            return std::nullopt;
    }
}

std::optional<RuleFamily> MatchingDeleteAllFlag(const DeleteAllFlagsGroup& flags,
                                                std::string_view toKey, std::string_view fromKey) {
    const auto either = [&](bool (*fits)(std::string_view)) {
        return fits(toKey) || fits(fromKey);
    };
    if (flags.AllHD && either(IsHD)) {
        return RuleFamily::DeleteAllHD;
    }
    if (flags.AllSD && either(IsSD)) {
        return RuleFamily::DeleteAllSD;
    }
    if (flags.AllDigital && either(IsDigital)) {
        return RuleFamily::DeleteAllDigital;
    }
    if (flags.AllNonDigital && either(IsNonDigital)) {
        return RuleFamily::DeleteAllNonDigital;
    }
    return std::nullopt;
}

EventField ApplyTimeChange(ScheduleRecord& event, TimeChange change, std::string_view amount) {
    switch (change) {
        case TimeChange::AddToStart:
            event.on_time = AddSubtractTime(event.on_time, amount, "+");
            return EventField::StartTime;
        case TimeChange::SubtractFromStart:
            event.on_time = AddSubtractTime(event.on_time, amount, "-");
            return EventField::StartTime;
        case TimeChange::AddToEnd:
            event.off_time = AddSubtractTime(event.off_time, amount, "+");
            return EventField::EndTime;
        case TimeChange::SubtractFromEnd:
            break;
    }
    event.off_time = AddSubtractTime(event.off_time, amount, "-");
    return EventField::EndTime;
}

}  // namespace skedora
