#include "engine/rule_application.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "engine/time_arithmetic.h"
#include "model/text.h"

namespace skedora {

namespace {

constexpr double kAnyCONumber = 9999;
constexpr std::string_view kAllKey = "ALL";

/** Windows-1252 upper case of every byte, taken from the one definition in the text helpers. */
class UpperTable {
  public:
    UpperTable() {
        for (std::size_t c = 0; c < m_upper.size(); ++c) {
            const char byte = static_cast<char>(c);
            m_upper[c] = UpperCase1252(std::string_view(&byte, 1))[0];
        }
    }
    char operator()(char c) const { return m_upper[static_cast<unsigned char>(c)]; }

  private:
    std::array<char, 256> m_upper{};
};

const UpperTable& Upper() {
    static const UpperTable table;
    return table;
}

// Rule texts straight from the RuleSet: keys and numbers are worked out at each comparison,
// without building new strings.

/** K(raw) == key, for a key that is already trimmed and in upper case. */
bool KeyIs(std::string_view key, const std::string& raw) {
    const std::string_view trimmed = TrimSpaces(raw);
    if (trimmed.size() != key.size()) {
        return false;
    }
    const UpperTable& upper = Upper();
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (upper(trimmed[i]) != key[i]) {
            return false;
        }
    }
    return true;
}
bool IsAll(const std::string& raw) {
    return KeyIs(kAllKey, raw);
}
double Number(const std::string& raw) {
    return LeadingNumber(raw);
}
std::string KeyText(const std::string& raw) {
    return TextKey(raw);
}
std::string_view Trimmed(const std::string& raw) {
    return TrimSpaces(raw);
}

// Prepared rule texts: everything a comparison needs, worked out once.

struct PreparedText {
    std::string key;
    std::string trimmed;
    double number = 0;
    bool isAll = false;
};

PreparedText Prepare(const std::string& raw) {
    PreparedText text{TextKey(raw), std::string(TrimSpaces(raw)), LeadingNumber(raw), false};
    text.isAll = text.key == kAllKey;
    return text;
}

bool KeyIs(std::string_view key, const PreparedText& text) {
    return key == text.key;
}
bool IsAll(const PreparedText& text) {
    return text.isAll;
}
double Number(const PreparedText& text) {
    return text.number;
}
const std::string& KeyText(const PreparedText& text) {
    return text.key;
}
const std::string& Trimmed(const PreparedText& text) {
    return text.trimmed;
}

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

/** The delete rules over either form of the rules; the same steps for both. */
template <typename Rules>
bool MatchesDeleteRules(const ScheduleRecord& event, const Rules& rules) {
    const std::string to = TextKey(event.tochnm_hd);
    const std::string from = TextKey(event.fchnm_hd);
    const double co = LeadingNumber(event.co);

    for (const auto& rule : rules.DeleteCallLetterRules) {
        // 9999 stands for every CO number; the call letters must match all the same.
        const double number = Number(rule.CONumber);
        if ((number == co || number == kAnyCONumber) &&
            (KeyIs(to, rule.CallLetter) || KeyIs(from, rule.CallLetter))) {
            return true;
        }
    }

    // The source is the To side, the destination the From side; "ALL" stands for either.
    for (int n = 1; n <= kAppliedSourceDestinationRules; ++n) {
        const auto& rule = rules.DeleteSourceDestinationRules[n];
        const bool source = KeyIs(to, rule.Source);
        const bool destination = KeyIs(from, rule.Destination);
        if ((source || IsAll(rule.Source)) && destination) {
            return true;
        }
        if (source && IsAll(rule.Destination)) {
            return true;
        }
    }

    const DeleteAllFlagsGroup& flags = rules.DeleteAllFlags;
    const auto either = [&](bool (*fits)(std::string_view)) { return fits(to) || fits(from); };
    return (flags.AllHD && either(IsHD)) || (flags.AllSD && either(IsSD)) ||
           (flags.AllDigital && either(IsDigital)) || (flags.AllNonDigital && either(IsNonDigital));
}

/** The change rules over either form of the rules; every test sees the earlier changes. */
template <typename Rules>
void ApplyChanges(ScheduleRecord& event, const Rules& rules) {
    std::string to = TextKey(event.tochnm_hd);
    std::string from = TextKey(event.fchnm_hd);
    double co = LeadingNumber(event.co);

    for (const auto& rule : rules.ChangeCallLetterRules) {
        if (Number(rule.CO) != co) {
            continue;
        }
        if (KeyIs(to, rule.OldCallLetter)) {
            event.tochnm_hd = KeyText(rule.NewCallLetter);
            to = TextKey(event.tochnm_hd);
        }
        if (KeyIs(from, rule.OldCallLetter)) {
            event.fchnm_hd = KeyText(rule.NewCallLetter);
            from = TextKey(event.fchnm_hd);
        }
    }

    for (const auto& rule : rules.ChangeCOFromCallLetterRules) {
        if (Number(rule.OldCO) == co && (KeyIs(to, rule.CallLetter) ||
                                         KeyIs(from, rule.CallLetter) || IsAll(rule.CallLetter))) {
            event.co = Trimmed(rule.NewCO);
            co = LeadingNumber(event.co);
        }
    }

    // The description never changes; its key is worked out when a rule first needs it.
    std::optional<std::string> descriptionKey;
    const auto description = [&]() -> const std::string& {
        if (!descriptionKey) {
            descriptionKey = TextKey(event.pgm);
        }
        return *descriptionKey;
    };

    for (const auto& rule : rules.ChangeCOFromDescriptionRules) {
        if (Number(rule.OldCO) == co && KeyIs(description(), rule.ProgramDescription)) {
            event.co = Trimmed(rule.NewCO);
            co = LeadingNumber(event.co);
        }
    }

    for (const auto& rule : rules.ChangeTimeRules) {
        if (Number(rule.CO) != co || !KeyIs(to, rule.Source) || !KeyIs(from, rule.Destination) ||
            !KeyIs(description(), rule.Description)) {
            continue;
        }
        switch (rule.Math) {
            case 0:
                event.on_time = AddSubtractTime(event.on_time, rule.Time, "+");
                break;
            case 1:
                event.on_time = AddSubtractTime(event.on_time, rule.Time, "-");
                break;
            case 2:
                event.off_time = AddSubtractTime(event.off_time, rule.Time, "+");
                break;
            case 3:
                event.off_time = AddSubtractTime(event.off_time, rule.Time, "-");
                break;
            default:
                break;
        }
    }
}

struct PreparedDeleteCallLetterRule {
    PreparedText CallLetter, CONumber;
};
struct PreparedDeleteSourceDestinationRule {
    PreparedText Source, Destination;
};
struct PreparedChangeCallLetterRule {
    PreparedText OldCallLetter, CO, NewCallLetter;
};
struct PreparedChangeCOFromCallLetterRule {
    PreparedText CallLetter, OldCO, NewCO;
};
struct PreparedChangeCOFromDescriptionRule {
    PreparedText ProgramDescription, OldCO, NewCO;
};
struct PreparedChangeTimeRule {
    PreparedText Source, Destination, CO, Description;
    std::int16_t Math = 0;
    std::string Time;
};

}  // namespace

/** The rule lists the conversion examines, with the same names as in the RuleSet. */
struct PreparedRules::Lists {
    RuleList<PreparedDeleteCallLetterRule, 64> DeleteCallLetterRules;
    RuleList<PreparedDeleteSourceDestinationRule, kAppliedSourceDestinationRules>
        DeleteSourceDestinationRules;
    DeleteAllFlagsGroup DeleteAllFlags;
    RuleList<PreparedChangeCallLetterRule, 24> ChangeCallLetterRules;
    RuleList<PreparedChangeCOFromCallLetterRule, 24> ChangeCOFromCallLetterRules;
    RuleList<PreparedChangeCOFromDescriptionRule, 24> ChangeCOFromDescriptionRules;
    RuleList<PreparedChangeTimeRule, 8> ChangeTimeRules;
};

PreparedRules::PreparedRules(const RuleSet& rules) : m_lists(std::make_unique<Lists>()) {
    Lists& lists = *m_lists;
    for (int n = 1; n <= rules.DeleteCallLetterRules.kSize; ++n) {
        const auto& rule = rules.DeleteCallLetterRules[n];
        lists.DeleteCallLetterRules[n] = {Prepare(rule.CallLetter), Prepare(rule.CONumber)};
    }
    for (int n = 1; n <= kAppliedSourceDestinationRules; ++n) {
        const auto& rule = rules.DeleteSourceDestinationRules[n];
        lists.DeleteSourceDestinationRules[n] = {Prepare(rule.Source), Prepare(rule.Destination)};
    }
    lists.DeleteAllFlags = rules.DeleteAllFlags;
    for (int n = 1; n <= rules.ChangeCallLetterRules.kSize; ++n) {
        const auto& rule = rules.ChangeCallLetterRules[n];
        lists.ChangeCallLetterRules[n] = {Prepare(rule.OldCallLetter), Prepare(rule.CO),
                                          Prepare(rule.NewCallLetter)};
    }
    for (int n = 1; n <= rules.ChangeCOFromCallLetterRules.kSize; ++n) {
        const auto& rule = rules.ChangeCOFromCallLetterRules[n];
        lists.ChangeCOFromCallLetterRules[n] = {Prepare(rule.CallLetter), Prepare(rule.OldCO),
                                                Prepare(rule.NewCO)};
    }
    for (int n = 1; n <= rules.ChangeCOFromDescriptionRules.kSize; ++n) {
        const auto& rule = rules.ChangeCOFromDescriptionRules[n];
        lists.ChangeCOFromDescriptionRules[n] = {Prepare(rule.ProgramDescription),
                                                 Prepare(rule.OldCO), Prepare(rule.NewCO)};
    }
    for (int n = 1; n <= rules.ChangeTimeRules.kSize; ++n) {
        const auto& rule = rules.ChangeTimeRules[n];
        lists.ChangeTimeRules[n] = {Prepare(rule.Source),
                                    Prepare(rule.Destination),
                                    Prepare(rule.CO),
                                    Prepare(rule.Description),
                                    rule.Math,
                                    rule.Time};
    }
}

PreparedRules::~PreparedRules() = default;
PreparedRules::PreparedRules(PreparedRules&&) noexcept = default;
PreparedRules& PreparedRules::operator=(PreparedRules&&) noexcept = default;

bool IsDeletedByRules(const ScheduleRecord& event, const RuleSet& rules) {
    return MatchesDeleteRules(event, rules);
}

void ApplyChangeRules(ScheduleRecord& event, const RuleSet& rules) {
    ApplyChanges(event, rules);
}

bool IsDeletedByRules(const ScheduleRecord& event, const PreparedRules& rules) {
    return MatchesDeleteRules(event, rules.lists());
}

void ApplyChangeRules(ScheduleRecord& event, const PreparedRules& rules) {
    ApplyChanges(event, rules.lists());
}

}  // namespace skedora
