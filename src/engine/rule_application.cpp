#include "engine/rule_application.h"

#include <optional>
#include <string>
#include <string_view>

#include "engine/event_key.h"
#include "engine/time_arithmetic.h"
#include "model/text.h"

namespace skedora {

namespace {

constexpr double kAnyCONumber = 9999;
constexpr std::string_view kAllKey = "ALL";

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

bool IsDeletedByRules(const ScheduleRecord& event, const RuleSet& rules) {
    const EventKey to(event.tochnm_hd);
    const EventKey from(event.fchnm_hd);
    const double co = LeadingNumber(event.co);

    for (const DeleteCallLetterRule& rule : rules.DeleteCallLetterRules) {
        // 9999 stands for every CO number; the call letters must match all the same.
        const double number = LeadingNumber(rule.CONumber);
        if ((number == co || number == kAnyCONumber) &&
            (KeyMatches(to, rule.CallLetter) || KeyMatches(from, rule.CallLetter))) {
            return true;
        }
    }

    // The source is the To side, the destination the From side; "ALL" stands for either.
    for (int n = 1; n <= kAppliedSourceDestinationRules; ++n) {
        const DeleteSourceDestinationRule& rule = rules.DeleteSourceDestinationRules[n];
        const bool source = KeyMatches(to, rule.Source);
        const bool destination = KeyMatches(from, rule.Destination);
        if ((source || KeyMatches(kAllKey, rule.Source)) && destination) {
            return true;
        }
        if (source && KeyMatches(kAllKey, rule.Destination)) {
            return true;
        }
    }

    return MatchesDeleteAllFlags(rules.DeleteAllFlags, to, from);
}

void ApplyChangeRules(ScheduleRecord& event, const RuleSet& rules) {
    // Every test reads the event as the earlier entries and families have left it.
    EventKey to(event.tochnm_hd);
    EventKey from(event.fchnm_hd);
    double co = LeadingNumber(event.co);

    for (const ChangeCallLetterRule& rule : rules.ChangeCallLetterRules) {
        if (LeadingNumber(rule.CO) != co) {
            continue;
        }
        if (KeyMatches(to, rule.OldCallLetter)) {
            event.tochnm_hd = TextKey(rule.NewCallLetter);
            to.Set(event.tochnm_hd);
        }
        if (KeyMatches(from, rule.OldCallLetter)) {
            event.fchnm_hd = TextKey(rule.NewCallLetter);
            from.Set(event.fchnm_hd);
        }
    }

    for (const ChangeCOFromCallLetterRule& rule : rules.ChangeCOFromCallLetterRules) {
        if (LeadingNumber(rule.OldCO) == co &&
            (KeyMatches(to, rule.CallLetter) || KeyMatches(from, rule.CallLetter) ||
             KeyMatches(kAllKey, rule.CallLetter))) {
            event.co = TrimSpaces(rule.NewCO);
            co = LeadingNumber(event.co);
        }
    }

    // The description never changes; its key is worked out when a rule first needs it.
    std::optional<EventKey> descriptionKey;
    const auto description = [&]() -> std::string_view {
        if (!descriptionKey) {
            descriptionKey.emplace(event.pgm);
        }
        return *descriptionKey;
    };

    for (const ChangeCOFromDescriptionRule& rule : rules.ChangeCOFromDescriptionRules) {
        if (LeadingNumber(rule.OldCO) == co && KeyMatches(description(), rule.ProgramDescription)) {
            event.co = TrimSpaces(rule.NewCO);
            co = LeadingNumber(event.co);
        }
    }

    for (const ChangeTimeRule& rule : rules.ChangeTimeRules) {
        if (LeadingNumber(rule.CO) != co || !KeyMatches(to, rule.Source) ||
            !KeyMatches(from, rule.Destination) || !KeyMatches(description(), rule.Description)) {
            continue;
        }
        ApplyTimeChange(event, rule.Math, rule.Time);
    }
}

bool MatchesDeleteAllFlags(const DeleteAllFlagsGroup& flags, std::string_view toKey,
                           std::string_view fromKey) {
    const auto either = [&](bool (*fits)(std::string_view)) {
        return fits(toKey) || fits(fromKey);
    };
    return (flags.AllHD && either(IsHD)) || (flags.AllSD && either(IsSD)) ||
           (flags.AllDigital && either(IsDigital)) || (flags.AllNonDigital && either(IsNonDigital));
}

void ApplyTimeChange(ScheduleRecord& event, std::int16_t math, std::string_view amount) {
    switch (math) {
        case 0:
            event.on_time = AddSubtractTime(event.on_time, amount, "+");
            break;
        case 1:
            event.on_time = AddSubtractTime(event.on_time, amount, "-");
            break;
        case 2:
            event.off_time = AddSubtractTime(event.off_time, amount, "+");
            break;
        case 3:
            event.off_time = AddSubtractTime(event.off_time, amount, "-");
            break;
        default:
            break;
    }
}

}  // namespace skedora
