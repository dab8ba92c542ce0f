#include "support/reference_rules.h"

#include <utility>

#include "engine/time_arithmetic.h"
#include "model/text.h"

namespace skedora::test {

namespace {

bool Same(std::string_view a, std::string_view b) {
    return TextKey(a) == TextKey(b);
}

bool IsAll(std::string_view text) {
    return TextKey(text) == "ALL";
}

}  // namespace

std::optional<RuleId> ReferenceDeleteRule(const ScheduleRecord& e, const RuleSet& rules) {
    const double co = LeadingNumber(e.co);
    for (int n = 1; n <= 64; ++n) {
        const DeleteCallLetterRule& rule = rules.DeleteCallLetterRules[n];
        const double number = LeadingNumber(rule.CONumber);
        if ((number == co || number == 9999) &&
            (Same(e.tochnm_hd, rule.CallLetter) || Same(e.fchnm_hd, rule.CallLetter))) {
            return RuleId{RuleFamily::DeleteCallLetter, n};
        }
    }
    for (int n = 1; n <= 24; ++n) {
        const DeleteSourceDestinationRule& rule = rules.DeleteSourceDestinationRules[n];
        if ((Same(e.tochnm_hd, rule.Source) && Same(e.fchnm_hd, rule.Destination)) ||
            (IsAll(rule.Source) && Same(e.fchnm_hd, rule.Destination)) ||
            (Same(e.tochnm_hd, rule.Source) && IsAll(rule.Destination))) {
            return RuleId{RuleFamily::DeleteSource, n};
        }
    }
    // The switches in the order they are tried, each fitting either call letters.
    const DeleteAllFlagsGroup& f = rules.DeleteAllFlags;
    const std::pair<bool, RuleFamily> switches[] = {
        {f.AllHD, RuleFamily::DeleteAllHD},
        {f.AllSD, RuleFamily::DeleteAllSD},
        {f.AllDigital, RuleFamily::DeleteAllDigital},
        {f.AllNonDigital, RuleFamily::DeleteAllNonDigital}};
    for (int n = 0; n < 4; ++n) {
        for (const std::string& l : {TextKey(e.tochnm_hd), TextKey(e.fchnm_hd)}) {
            const bool hd = l.ends_with("-HD"), digital = l.starts_with('D');
            const bool fits[] = {hd, l.size() > 2 && !hd, digital, !l.empty() && !digital};
            if (switches[n].first && fits[n]) {
                return RuleId{switches[n].second, 0};
            }
        }
    }
    return std::nullopt;
}

std::vector<FieldChange> ReferenceApplyChanges(ScheduleRecord& e, const RuleSet& rules) {
    std::vector<FieldChange> out;
    const auto set = [&](RuleId rule, EventField field, std::string value) {
        std::string& target = FieldOf(e, field);
        out.push_back({rule, field, target, value});
        target = std::move(value);
    };
    const auto coIs = [&](std::string_view co) { return LeadingNumber(co) == LeadingNumber(e.co); };
    for (int n = 1; n <= 24; ++n) {
        const ChangeCallLetterRule& rule = rules.ChangeCallLetterRules[n];
        const RuleId id{RuleFamily::ChangeCallLetter, n};
        if (coIs(rule.CO) && Same(e.tochnm_hd, rule.OldCallLetter)) {
            set(id, EventField::ToCallLetters, TextKey(rule.NewCallLetter));
        }
        if (coIs(rule.CO) && Same(e.fchnm_hd, rule.OldCallLetter)) {
            set(id, EventField::FromCallLetters, TextKey(rule.NewCallLetter));
        }
    }
    for (int n = 1; n <= 24; ++n) {
        const ChangeCOFromCallLetterRule& rule = rules.ChangeCOFromCallLetterRules[n];
        if (coIs(rule.OldCO) && (Same(e.tochnm_hd, rule.CallLetter) ||
                                 Same(e.fchnm_hd, rule.CallLetter) || IsAll(rule.CallLetter))) {
            set({RuleFamily::ChangeCOFromCallLetter, n}, EventField::CO,
                std::string(TrimSpaces(rule.NewCO)));
        }
    }
    for (int n = 1; n <= 24; ++n) {
        const ChangeCOFromDescriptionRule& rule = rules.ChangeCOFromDescriptionRules[n];
        if (coIs(rule.OldCO) && Same(e.pgm, rule.ProgramDescription)) {
            set({RuleFamily::ChangeCOFromDescription, n}, EventField::CO,
                std::string(TrimSpaces(rule.NewCO)));
        }
    }
    for (int n = 1; n <= 8; ++n) {
        const ChangeTimeRule& rule = rules.ChangeTimeRules[n];
        // Math 0 and 1 add to and subtract from the start, 2 and 3 the end; others do nothing.
        if (coIs(rule.CO) && Same(e.tochnm_hd, rule.Source) && Same(e.fchnm_hd, rule.Destination) &&
            Same(e.pgm, rule.Description) && rule.Math >= 0 && rule.Math <= 3) {
            const EventField field = rule.Math < 2 ? EventField::StartTime : EventField::EndTime;
            set({RuleFamily::ChangeTime, n}, field,
                AddSubtractTime(FieldOf(e, field), rule.Time, rule.Math % 2 == 0 ? "+" : "-"));
        }
    }
    return out;
}

std::function<std::string()> RandomWords(std::mt19937& random) {
    static constexpr const char* kTexts[] = {
        "",     " ",    "WABC", " wabc ", "WABC-HD",  "ALL",      " all",      "D123",     "d5",
        "5",    "05",   " 5",   "5.0",    "5.5",      "9999",     "0",         "abc",      "\t5",
        "7",    "1e1",  "-0",   "NEWS",   "news",     "12a",      "-HD",       "HD",       "W-HD",
        "x\"y", "KQED", "\xE9", "01:00",  "00:30:00", "10:00:00", "\xE9t\xE9", "\xC9T\xC9"};
    std::vector<std::string> words;
    for (int count = 3 + static_cast<int>(random() % 8); count > 0; --count) {
        words.emplace_back(kTexts[random() % std::size(kTexts)]);
    }
    return [&random, words] {
        return random() % 4 == 0 ? std::string() : words[random() % words.size()];
    };
}

RuleSet RandomRules(std::mt19937& random, const std::function<std::string()>& word,
                    unsigned deleteEvery) {
    RuleSet rules;
    for (int n = 1; n <= 64; ++n) {
        if (random() % deleteEvery == 0) {
            rules.DeleteCallLetterRules[n] = {word(), word()};
        }
        if (random() % deleteEvery == 0) {
            rules.DeleteSourceDestinationRules[1 + n % 48] = {word(), word()};
        }
        rules.ChangeCallLetterRules[1 + n % 24] = {word(), word(), word()};
        rules.ChangeCOFromCallLetterRules[1 + n % 24] = {word(), word(), word()};
        rules.ChangeCOFromDescriptionRules[1 + n % 24] = {word(), word(), word()};
        rules.ChangeTimeRules[1 + n % 8] = {
            word(), word(), word(), word(), static_cast<std::int16_t>(random() % 6), word()};
    }
    rules.DeleteAllFlags = {random() % 10 == 0, random() % 10 == 0, random() % 10 == 0,
                            random() % 10 == 0};
    return rules;
}

ScheduleRecord Event(std::string to, std::string from, std::string co, std::string pgm) {
    ScheduleRecord event;
    event.day = 3;
    event.on_time = "10:00:00";
    event.off_time = "11:30:00";
    event.tochnm_hd = std::move(to);
    event.fchnm_hd = std::move(from);
    event.co = std::move(co);
    event.pgm = std::move(pgm);
    return event;
}

}  // namespace skedora::test
