#include "engine/prepared_rules.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/event_key.h"
#include "engine/time_arithmetic.h"
#include "model/text.h"

namespace skedora {

namespace {

constexpr int kNone = -1;
constexpr double kAnyCONumber = 9999;
constexpr std::string_view kAllKey = "ALL";

/** Spreads every bit of x over the low bits, which pick the table slot. */
std::uint64_t Mix(std::uint64_t x) {
    x = (x ^ (x >> 33)) * 0xFF51AFD7ED558CCD;
    x = (x ^ (x >> 33)) * 0xC4CEB9FE1A85EC53;
    return x ^ (x >> 33);
}

struct KeyHash {
    std::uint64_t operator()(std::string_view key) const {
        std::uint64_t hash = 0xCBF29CE484222325;  // FNV-1a
        for (const char c : key) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3;
        }
        return Mix(hash);
    }
};

struct NumberHash {
    std::uint64_t operator()(double value) const {
        // Adding 0 turns -0 into 0: the two are one CO value.
        return Mix(std::bit_cast<std::uint64_t>(value + 0.0));
    }
};

/**
 * Numbers the distinct values added to it from 0 and finds them again: open addressing in a
 * power-of-two table kept at most half full, so a lookup is a hash and a compare or two.
 */
template <typename Value, typename Stored, typename Hash>
class Numbering {
  public:
    int Add(Value value) {
        if (const int found = Find(value); found != kNone) {
            return found;
        }
        if (2 * (m_values.size() + 1) > m_slots.size()) {
            m_slots.assign(std::max<std::size_t>(16, 2 * m_slots.size()), kNone);
            for (std::size_t id = 0; id < m_values.size(); ++id) {
                Place(static_cast<int>(id));
            }
        }
        m_values.emplace_back(value);
        Place(static_cast<int>(m_values.size() - 1));
        return static_cast<int>(m_values.size() - 1);
    }
    /** The number of the value, kNone when it was never added. */
    int Find(Value value) const {
        if (m_slots.empty()) {
            return kNone;
        }
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = Hash{}(value)&mask;; i = (i + 1) & mask) {
            const int id = m_slots[i];
            if (id == kNone || m_values[static_cast<std::size_t>(id)] == value) {
                return id;
            }
        }
    }
    std::size_t Count() const { return m_values.size(); }

  private:
    void Place(int id) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = Hash{}(m_values[static_cast<std::size_t>(id)]) & mask;
        while (m_slots[i] != kNone) {
            i = (i + 1) & mask;
        }
        m_slots[i] = id;
    }

    std::vector<Stored> m_values;
    std::vector<int> m_slots;
};

/** Every distinct text key and CO value of the rules, numbered from 0. */
class Catalogue {
  public:
    /** The number of K(text), added when new. */
    int AddKey(std::string_view text) { return m_keys.Add(TextKey(text)); }
    int AddNumber(double value) { return m_numbers.Add(value); }
    /** The number of a key, kNone when no rule holds it. */
    int FindKey(std::string_view key) const { return m_keys.Find(key); }
    /** The number of a CO value (-0 and 0 are one value), kNone when no rule holds it. */
    int FindNumber(double value) const { return m_numbers.Find(value); }
    std::size_t KeyCount() const { return m_keys.Count(); }
    std::size_t NumberCount() const { return m_numbers.Count(); }

  private:
    Numbering<std::string_view, std::string, KeyHash> m_keys;
    Numbering<double, double, NumberHash> m_numbers;
};

/** Per CO value, the numbers of the entries that it selects, in ascending order. */
using EntriesByNumber = std::vector<std::vector<int>>;

template <typename T>
T& Slot(std::vector<T>& table, int id) {
    const auto index = static_cast<std::size_t>(id);
    if (table.size() <= index) {
        table.resize(index + 1);
    }
    return table[index];
}

/** A delete entry reached through a lookup table: the key it compares and its number. */
struct KeyedEntry {
    int key = kNone;
    int entry = 0;
};

/** A source/destination entry under its destination; "ALL" as source stands for every source. */
struct SourceEntry {
    int source = kNone;
    bool anySource = false;
    int entry = 0;
};

/** The number of the first entry whose key is a or b; 0 when none. Stored keys are never kNone. */
int FirstEntry(const std::vector<KeyedEntry>& entries, int a, int b) {
    for (const KeyedEntry& e : entries) {
        if (e.key == a || e.key == b) {
            return e.entry;
        }
    }
    return 0;
}

int FirstEntry(const std::vector<SourceEntry>& entries, int source) {
    for (const SourceEntry& e : entries) {
        if (e.source == source || e.anySource) {
            return e.entry;
        }
    }
    return 0;
}

/** The lower of two entry numbers where 0 stands for none. */
int Earliest(int a, int b) {
    return a == 0 || (b != 0 && b < a) ? b : a;
}

/** The first entry numbered from `from` on that the CO value selects; 0 when none. */
int NextEntry(const EntriesByNumber& byNumber, int number, int from) {
    if (number == kNone) {
        return 0;
    }
    for (int n : byNumber[static_cast<std::size_t>(number)]) {
        if (n >= from) {
            return n;
        }
    }
    return 0;
}

/** Sets the field, moving the value in when it is a temporary; a trace hears before and after. */
template <typename Value>
void Assign(std::string& field, Value&& value, RuleTrace* trace, RuleId rule, EventField which) {
    if (trace == nullptr) {
        field = std::forward<Value>(value);
        return;
    }
    const std::string before = std::move(field);
    field = std::forward<Value>(value);
    trace->Changed(rule, which, before, field);
}

struct CallLetterChange {
    int oldKey = kNone;
    int newKey = kNone;
    std::string newText;
};

/** A CO change selected by call letters or by a description, with its new CO number. */
struct COChange {
    int key = kNone;
    bool anyCallLetters = false;
    std::string newCO;
    int newNumber = kNone;
};

/** What a Change Time entry does: the time it moves and the operation, "+" or "-". */
struct TimeMath {
    EventField field = EventField::StartTime;
    std::string_view op;
};

/**
 * A stored Math value as the dialog lists the choices: add to start, subtract from start, add to
 * end, subtract from end; any other value changes nothing.
 */
std::optional<TimeMath> TimeMathOf(std::int16_t math) {
    switch (math) {
        case 0:
            return TimeMath{EventField::StartTime, "+"};
        case 1:
            return TimeMath{EventField::StartTime, "-"};
        case 2:
            return TimeMath{EventField::EndTime, "+"};
        case 3:
            return TimeMath{EventField::EndTime, "-"};
        default:
            return std::nullopt;
    }
}

struct TimeRule {
    int source = kNone;
    int destination = kNone;
    int description = kNone;
    TimeMath math;
    std::string amount;
};

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

/**
 * The first delete switch, in the order HD, SD, Digital, Non-Digital, that is set and fits the
 * To or the From call letters (given as keys); none when no set switch fits.
 */
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

}  // namespace

struct PreparedRules::Tables {
    Catalogue catalogue;

    /** Per CO value, the call letters deleted with it; 9999 stands for every CO value. */
    std::vector<std::vector<KeyedEntry>> deletedKeysByNumber;
    int anyCONumber = kNone;
    /** Per destination, the sources deleted with it. */
    std::vector<std::vector<SourceEntry>> sourcesByDestination;
    /** The sources deleted with destination "ALL". */
    std::vector<KeyedEntry> sourcesForAnyDestination;
    DeleteAllFlagsGroup flags;

    RuleList<CallLetterChange, 24> callLetterChanges;
    EntriesByNumber callLetterChangesByNumber;
    RuleList<COChange, 24> coByCallLetter;
    EntriesByNumber coByCallLetterByNumber;
    RuleList<COChange, 24> coByDescription;
    EntriesByNumber coByDescriptionByNumber;
    RuleList<TimeRule, 8> timeChanges;
    EntriesByNumber timeChangesByNumber;
};

PreparedRules::PreparedRules(const RuleSet& rules) {
    auto t = std::make_unique<Tables>();
    Catalogue& c = t->catalogue;

    for (int n = 1; n <= rules.DeleteCallLetterRules.kSize; ++n) {
        const DeleteCallLetterRule& rule = rules.DeleteCallLetterRules[n];
        Slot(t->deletedKeysByNumber, c.AddNumber(LeadingNumber(rule.CONumber)))
            .push_back({c.AddKey(rule.CallLetter), n});
    }
    for (int n = 1; n <= kAppliedSourceDestinationRules; ++n) {
        const DeleteSourceDestinationRule& rule = rules.DeleteSourceDestinationRules[n];
        const int source = c.AddKey(rule.Source);
        const int destination = c.AddKey(rule.Destination);
        Slot(t->sourcesByDestination, destination)
            .push_back({source, TextKey(rule.Source) == kAllKey, n});
        if (TextKey(rule.Destination) == kAllKey) {
            t->sourcesForAnyDestination.push_back({source, n});
        }
    }
    t->flags = rules.DeleteAllFlags;

    for (int n = 1; n <= rules.ChangeCallLetterRules.kSize; ++n) {
        const ChangeCallLetterRule& rule = rules.ChangeCallLetterRules[n];
        const std::string newText = TextKey(rule.NewCallLetter);
        t->callLetterChanges[n] = {c.AddKey(rule.OldCallLetter), c.AddKey(newText), newText};
        Slot(t->callLetterChangesByNumber, c.AddNumber(LeadingNumber(rule.CO))).push_back(n);
    }
    for (int n = 1; n <= rules.ChangeCOFromCallLetterRules.kSize; ++n) {
        const ChangeCOFromCallLetterRule& rule = rules.ChangeCOFromCallLetterRules[n];
        const std::string newCO(TrimSpaces(rule.NewCO));
        t->coByCallLetter[n] = {c.AddKey(rule.CallLetter), TextKey(rule.CallLetter) == kAllKey,
                                newCO, c.AddNumber(LeadingNumber(newCO))};
        Slot(t->coByCallLetterByNumber, c.AddNumber(LeadingNumber(rule.OldCO))).push_back(n);
    }
    for (int n = 1; n <= rules.ChangeCOFromDescriptionRules.kSize; ++n) {
        const ChangeCOFromDescriptionRule& rule = rules.ChangeCOFromDescriptionRules[n];
        const std::string newCO(TrimSpaces(rule.NewCO));
        t->coByDescription[n] = {c.AddKey(rule.ProgramDescription), false, newCO,
                                 c.AddNumber(LeadingNumber(newCO))};
        Slot(t->coByDescriptionByNumber, c.AddNumber(LeadingNumber(rule.OldCO))).push_back(n);
    }
    for (int n = 1; n <= rules.ChangeTimeRules.kSize; ++n) {
        const ChangeTimeRule& rule = rules.ChangeTimeRules[n];
        const std::optional<TimeMath> math = TimeMathOf(rule.Math);
        if (!math) {
            continue;  // An entry that changes nothing is never selected.
        }
        t->timeChanges[n] = {c.AddKey(rule.Source), c.AddKey(rule.Destination),
                             c.AddKey(rule.Description), *math, rule.Time};
        Slot(t->timeChangesByNumber, c.AddNumber(LeadingNumber(rule.CO))).push_back(n);
    }

    t->anyCONumber = c.FindNumber(kAnyCONumber);
    // Every key and CO value of the catalogue has a place in every table.
    t->deletedKeysByNumber.resize(c.NumberCount());
    t->sourcesByDestination.resize(c.KeyCount());
    t->callLetterChangesByNumber.resize(c.NumberCount());
    t->coByCallLetterByNumber.resize(c.NumberCount());
    t->coByDescriptionByNumber.resize(c.NumberCount());
    t->timeChangesByNumber.resize(c.NumberCount());
    m_tables = std::move(t);
}

PreparedRules::~PreparedRules() = default;
PreparedRules::PreparedRules(PreparedRules&&) noexcept = default;
PreparedRules& PreparedRules::operator=(PreparedRules&&) noexcept = default;

bool PreparedRules::IsDeleted(const ScheduleRecord& event, RuleTrace* trace) const {
    const Tables& t = *m_tables;
    const EventKey toKey(event.tochnm_hd);
    const EventKey fromKey(event.fchnm_hd);
    const int to = t.catalogue.FindKey(toKey);
    const int from = t.catalogue.FindKey(fromKey);
    const int co = t.catalogue.FindNumber(LeadingNumber(event.co));

    // Without a trace any match will do; with one, the first in entry order is wanted.
    const auto deleted = [trace](RuleFamily family, int entry) {
        if (trace != nullptr) {
            trace->Deleted({family, entry});
        }
        return true;
    };
    int entry = 0;
    for (const int number : {co, t.anyCONumber}) {
        if (number != kNone) {
            entry = Earliest(
                entry,
                FirstEntry(t.deletedKeysByNumber[static_cast<std::size_t>(number)], to, from));
            if (entry != 0 && trace == nullptr) {
                return true;
            }
        }
    }
    if (entry != 0) {
        return deleted(RuleFamily::DeleteCallLetter, entry);
    }
    if (from != kNone) {
        entry = FirstEntry(t.sourcesByDestination[static_cast<std::size_t>(from)], to);
        if (entry != 0 && trace == nullptr) {
            return true;
        }
    }
    entry = Earliest(entry, FirstEntry(t.sourcesForAnyDestination, to, kNone));
    if (entry != 0) {
        return deleted(RuleFamily::DeleteSource, entry);
    }
    if (const auto flag = MatchingDeleteAllFlag(t.flags, toKey, fromKey)) {
        return deleted(*flag, 0);
    }
    return false;
}

void PreparedRules::ApplyChanges(ScheduleRecord& event, RuleTrace* trace) const {
    const Tables& t = *m_tables;
    int co = t.catalogue.FindNumber(LeadingNumber(event.co));
    if (co == kNone) {
        // Every entry is selected by its CO value, so no rule applies and the CO stays.
        return;
    }
    int to = t.catalogue.FindKey(EventKey(event.tochnm_hd));
    int from = t.catalogue.FindKey(EventKey(event.fchnm_hd));

    for (int n = NextEntry(t.callLetterChangesByNumber, co, 1); n != 0;
         n = NextEntry(t.callLetterChangesByNumber, co, n + 1)) {
        const CallLetterChange& change = t.callLetterChanges[n];
        const RuleId rule{RuleFamily::ChangeCallLetter, n};
        if (to == change.oldKey) {
            Assign(event.tochnm_hd, change.newText, trace, rule, EventField::ToCallLetters);
            to = change.newKey;
        }
        if (from == change.oldKey) {
            Assign(event.fchnm_hd, change.newText, trace, rule, EventField::FromCallLetters);
            from = change.newKey;
        }
    }

    // A changed CO value selects the later entries of the same list.
    for (int n = NextEntry(t.coByCallLetterByNumber, co, 1); n != 0;
         n = NextEntry(t.coByCallLetterByNumber, co, n + 1)) {
        const COChange& change = t.coByCallLetter[n];
        if (to == change.key || from == change.key || change.anyCallLetters) {
            Assign(event.co, change.newCO, trace, {RuleFamily::ChangeCOFromCallLetter, n},
                   EventField::CO);
            co = change.newNumber;
        }
    }

    std::optional<int> descriptionKey;
    const auto description = [&] {
        if (!descriptionKey) {
            descriptionKey = t.catalogue.FindKey(EventKey(event.pgm));
        }
        return *descriptionKey;
    };

    for (int n = NextEntry(t.coByDescriptionByNumber, co, 1); n != 0;
         n = NextEntry(t.coByDescriptionByNumber, co, n + 1)) {
        const COChange& change = t.coByDescription[n];
        if (description() == change.key) {
            Assign(event.co, change.newCO, trace, {RuleFamily::ChangeCOFromDescription, n},
                   EventField::CO);
            co = change.newNumber;
        }
    }

    for (int n = NextEntry(t.timeChangesByNumber, co, 1); n != 0;
         n = NextEntry(t.timeChangesByNumber, co, n + 1)) {
        const TimeRule& rule = t.timeChanges[n];
        if (to != rule.source || from != rule.destination || description() != rule.description) {
            continue;
        }
        std::string& time = FieldOf(event, rule.math.field);
        Assign(time, AddSubtractTime(time, rule.amount, rule.math.op), trace,
               {RuleFamily::ChangeTime, n}, rule.math.field);
    }
}

}  // namespace skedora
