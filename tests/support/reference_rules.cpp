#include "support/reference_rules.h"

#include <utility>

#include "engine/time_arithmetic.h"
#include "model/text.h"

namespace skedora::test {

namespace {

constexpr double kAnyCONumber = 9999;

bool Same(std::string_view a, std::string_view b) {
    return TextKey(a) == TextKey(b);
}

bool IsAll(std::string_view text) {
    return TextKey(text) == "ALL";
}

/** The first set switch, in the order the switches are tried, that fits either call letters. */
std::optional<RuleFamily> DeleteAllFlag(const DeleteAllFlagsGroup& flags, const std::string& to,
                                        const std::string& from) {
    for (const std::string& letters : {TextKey(to), TextKey(from)}) {
        if (flags.AllHD && letters.size() > 2 && letters.ends_with("-HD")) {
            return RuleFamily::DeleteAllHD;
        }
    }
    for (const std::string& letters : {TextKey(to), TextKey(from)}) {
        if (flags.AllSD && letters.size() > 2 && !letters.ends_with("-HD")) {
            return RuleFamily::DeleteAllSD;
        }
    }
    for (const std::string& letters : {TextKey(to), TextKey(from)}) {
        if (flags.AllDigital && !letters.empty() && letters[0] == 'D') {
            return RuleFamily::DeleteAllDigital;
        }
    }
    for (const std::string& letters : {TextKey(to), TextKey(from)}) {
        if (flags.AllNonDigital && !letters.empty() && letters[0] != 'D') {
            return RuleFamily::DeleteAllNonDigital;
        }
    }
    return std::nullopt;
}

/** Records one item per field the entry assigned: the value before it and after it. */
class EntryChanges {
  public:
    EntryChanges(ScheduleRecord& event, RuleId rule, std::vector<FieldChange>& out)
        : m_event(event), m_rule(rule), m_out(out) {}
    void Set(EventField field, std::string value) {
        for (FieldChange& change : m_pending) {
            if (change.field == field) {
                change.after = value;
                FieldOf(m_event, field) = std::move(value);
                return;
            }
        }
        m_pending.push_back({m_rule, field, FieldOf(m_event, field), value});
        FieldOf(m_event, field) = std::move(value);
    }
    ~EntryChanges() { m_out.insert(m_out.end(), m_pending.begin(), m_pending.end()); }

  private:
    ScheduleRecord& m_event;
    RuleId m_rule;
    std::vector<FieldChange>& m_out;
    std::vector<FieldChange> m_pending;
};

}  // namespace

std::string& FieldOf(ScheduleRecord& event, EventField field) {
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

std::optional<RuleId> ReferenceDeleteRule(const ScheduleRecord& e, const RuleSet& rules) {
    const double co = LeadingNumber(e.co);
    for (int n = 1; n <= 64; ++n) {
        const DeleteCallLetterRule& rule = rules.DeleteCallLetterRules[n];
        const double number = LeadingNumber(rule.CONumber);
        for (const bool applies : {number == co, number == kAnyCONumber}) {
            if (applies &&
                (Same(e.tochnm_hd, rule.CallLetter) || Same(e.fchnm_hd, rule.CallLetter))) {
                return RuleId{RuleFamily::DeleteCallLetter, n};
            }
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
    if (const auto flag = DeleteAllFlag(rules.DeleteAllFlags, e.tochnm_hd, e.fchnm_hd)) {
        return RuleId{*flag, 0};
    }
    return std::nullopt;
}

std::vector<FieldChange> ReferenceApplyChanges(ScheduleRecord& e, const RuleSet& rules) {
    std::vector<FieldChange> out;
    for (int n = 1; n <= 24; ++n) {
        const ChangeCallLetterRule& rule = rules.ChangeCallLetterRules[n];
        EntryChanges entry(e, {RuleFamily::ChangeCallLetter, n}, out);
        if (LeadingNumber(rule.CO) == LeadingNumber(e.co)) {
            if (Same(e.tochnm_hd, rule.OldCallLetter)) {
                entry.Set(EventField::ToCallLetters, TextKey(rule.NewCallLetter));
            }
            if (Same(e.fchnm_hd, rule.OldCallLetter)) {
                entry.Set(EventField::FromCallLetters, TextKey(rule.NewCallLetter));
            }
        }
    }
    for (int n = 1; n <= 24; ++n) {
        const ChangeCOFromCallLetterRule& rule = rules.ChangeCOFromCallLetterRules[n];
        EntryChanges entry(e, {RuleFamily::ChangeCOFromCallLetter, n}, out);
        if (LeadingNumber(rule.OldCO) == LeadingNumber(e.co)) {
            const std::string newCO(TrimSpaces(rule.NewCO));
            if (Same(e.tochnm_hd, rule.CallLetter)) {
                entry.Set(EventField::CO, newCO);
            }
            if (Same(e.fchnm_hd, rule.CallLetter)) {
                entry.Set(EventField::CO, newCO);
            }
            if (IsAll(rule.CallLetter)) {
                entry.Set(EventField::CO, newCO);
            }
        }
    }
    for (int n = 1; n <= 24; ++n) {
        const ChangeCOFromDescriptionRule& rule = rules.ChangeCOFromDescriptionRules[n];
        EntryChanges entry(e, {RuleFamily::ChangeCOFromDescription, n}, out);
        if (LeadingNumber(rule.OldCO) == LeadingNumber(e.co) &&
            Same(e.pgm, rule.ProgramDescription)) {
            entry.Set(EventField::CO, std::string(TrimSpaces(rule.NewCO)));
        }
    }
    for (int n = 1; n <= 8; ++n) {
        const ChangeTimeRule& rule = rules.ChangeTimeRules[n];
        EntryChanges entry(e, {RuleFamily::ChangeTime, n}, out);
        if (LeadingNumber(rule.CO) != LeadingNumber(e.co) || !Same(e.tochnm_hd, rule.Source) ||
            !Same(e.fchnm_hd, rule.Destination) || !Same(e.pgm, rule.Description)) {
            continue;
        }
        switch (rule.Math) {
            case 0:
                entry.Set(EventField::StartTime, AddSubtractTime(e.on_time, rule.Time, "+"));
                break;
            case 1:
                entry.Set(EventField::StartTime, AddSubtractTime(e.on_time, rule.Time, "-"));
                break;
            case 2:
                entry.Set(EventField::EndTime, AddSubtractTime(e.off_time, rule.Time, "+"));
                break;
            case 3:
                entry.Set(EventField::EndTime, AddSubtractTime(e.off_time, rule.Time, "-"));
                break;
            default:
                break;
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
