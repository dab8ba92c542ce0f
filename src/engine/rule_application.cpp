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

/** K of one of the event's fields; a short key is kept without allocating. */
class EventKey {
  public:
    explicit EventKey(std::string_view text) { Set(text); }
    EventKey(const EventKey&) = delete;
    EventKey& operator=(const EventKey&) = delete;

    void Set(std::string_view text) {
        const std::string_view trimmed = TrimSpaces(text);
        if (trimmed.size() > m_short.size()) {
            m_long = TextKey(trimmed);
            m_key = m_long;
            return;
        }
        const UpperTable& upper = Upper();
        for (std::size_t i = 0; i < trimmed.size(); ++i) {
            m_short[i] = upper(trimmed[i]);
        }
        m_key = std::string_view(m_short.data(), trimmed.size());
    }
    operator std::string_view() const { return m_key; }

  private:
    std::array<char, 32> m_short;
    std::string m_long;
    std::string_view m_key;
};

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

// Prepared rule texts: each kind of field holds just what its comparisons need.

/** A text compared as a key. */
struct PreparedKey {
    std::string key;
    bool isAll = false;
};
/** A CO number compared by its value. */
struct PreparedNumber {
    double number = 0;
};
/** A new CO number, written trimmed. */
struct PreparedTrimmed {
    std::string trimmed;
};

PreparedKey PrepareKey(const std::string& raw) {
    PreparedKey text{TextKey(raw)};
    text.isAll = text.key == kAllKey;
    return text;
}
PreparedNumber PrepareNumber(const std::string& raw) {
    return {LeadingNumber(raw)};
}
PreparedTrimmed PrepareTrimmed(const std::string& raw) {
    return {std::string(TrimSpaces(raw))};
}

bool KeyIs(std::string_view key, const PreparedKey& text) {
    return key == text.key;
}
bool IsAll(const PreparedKey& text) {
    return text.isAll;
}
double Number(const PreparedNumber& text) {
    return text.number;
}
const std::string& KeyText(const PreparedKey& text) {
    return text.key;
}
const std::string& Trimmed(const PreparedTrimmed& text) {
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
    const EventKey to(event.tochnm_hd);
    const EventKey from(event.fchnm_hd);
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
    EventKey to(event.tochnm_hd);
    EventKey from(event.fchnm_hd);
    double co = LeadingNumber(event.co);

    for (const auto& rule : rules.ChangeCallLetterRules) {
        if (Number(rule.CO) != co) {
            continue;
        }
        if (KeyIs(to, rule.OldCallLetter)) {
            event.tochnm_hd = KeyText(rule.NewCallLetter);
            to.Set(event.tochnm_hd);
        }
        if (KeyIs(from, rule.OldCallLetter)) {
            event.fchnm_hd = KeyText(rule.NewCallLetter);
            from.Set(event.fchnm_hd);
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
    std::optional<EventKey> descriptionKey;
    const auto description = [&]() -> std::string_view {
        if (!descriptionKey) {
            descriptionKey.emplace(event.pgm);
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

// The numbers come first: they are tested first and most often.
struct PreparedDeleteCallLetterRule {
    PreparedNumber CONumber;
    PreparedKey CallLetter;
};
struct PreparedDeleteSourceDestinationRule {
    PreparedKey Source, Destination;
};
struct PreparedChangeCallLetterRule {
    PreparedNumber CO;
    PreparedKey OldCallLetter, NewCallLetter;
};
struct PreparedChangeCOFromCallLetterRule {
    PreparedNumber OldCO;
    PreparedKey CallLetter;
    PreparedTrimmed NewCO;
};
struct PreparedChangeCOFromDescriptionRule {
    PreparedNumber OldCO;
    PreparedKey ProgramDescription;
    PreparedTrimmed NewCO;
};
struct PreparedChangeTimeRule {
    PreparedNumber CO;
    PreparedKey Source, Destination, Description;
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
        lists.DeleteCallLetterRules[n] = {PrepareNumber(rule.CONumber),
                                          PrepareKey(rule.CallLetter)};
    }
    for (int n = 1; n <= kAppliedSourceDestinationRules; ++n) {
        const auto& rule = rules.DeleteSourceDestinationRules[n];
        lists.DeleteSourceDestinationRules[n] = {PrepareKey(rule.Source),
                                                 PrepareKey(rule.Destination)};
    }
    lists.DeleteAllFlags = rules.DeleteAllFlags;
    for (int n = 1; n <= rules.ChangeCallLetterRules.kSize; ++n) {
        const auto& rule = rules.ChangeCallLetterRules[n];
        lists.ChangeCallLetterRules[n] = {PrepareNumber(rule.CO), PrepareKey(rule.OldCallLetter),
                                          PrepareKey(rule.NewCallLetter)};
    }
    for (int n = 1; n <= rules.ChangeCOFromCallLetterRules.kSize; ++n) {
        const auto& rule = rules.ChangeCOFromCallLetterRules[n];
        lists.ChangeCOFromCallLetterRules[n] = {
            PrepareNumber(rule.OldCO), PrepareKey(rule.CallLetter), PrepareTrimmed(rule.NewCO)};
    }
    for (int n = 1; n <= rules.ChangeCOFromDescriptionRules.kSize; ++n) {
        const auto& rule = rules.ChangeCOFromDescriptionRules[n];
        lists.ChangeCOFromDescriptionRules[n] = {PrepareNumber(rule.OldCO),
                                                 PrepareKey(rule.ProgramDescription),
                                                 PrepareTrimmed(rule.NewCO)};
    }
    for (int n = 1; n <= rules.ChangeTimeRules.kSize; ++n) {
        const auto& rule = rules.ChangeTimeRules[n];
        lists.ChangeTimeRules[n] = {PrepareNumber(rule.CO),
                                    PrepareKey(rule.Source),
                                    PrepareKey(rule.Destination),
                                    PrepareKey(rule.Description),
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
