#include "app/rule_audit.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "model/text.h"
#include "model/text_1252.h"

namespace skedora {

namespace {

/** A rule list or switch: where SK.ini keeps it and what its settings dialog calls it. */
struct FamilyInfo {
    RuleFamily family;
    /** The number of entries the rules apply; 0 for a switch. */
    int entries;
    const char* section;
    /** The first key of an entry, without its number; the key itself for a switch. */
    const char* key;
    const char* caption;
};

constexpr std::array<FamilyInfo, 10> kFamilies = {{
    {RuleFamily::DeleteCallLetter, 64, "Delete", "Call_Letter_",
     "Delete Events, Call Letters + C.O.# row "},
    {RuleFamily::DeleteSource, kAppliedSourceDestinationRules, "Delete", "Source_",
     "Delete Events, Source + Destination row "},
    {RuleFamily::DeleteAllHD, 0, "Delete", "All_HD", "Delete Events, Delete All HD"},
    {RuleFamily::DeleteAllSD, 0, "Delete", "All_SD", "Delete Events, Delete All SD"},
    {RuleFamily::DeleteAllDigital, 0, "Delete", "All_Digital", "Delete Events, Delete All Digital"},
    {RuleFamily::DeleteAllNonDigital, 0, "Delete", "All_Non_Digital",
     "Delete Events, Delete All Non-Digital"},
    {RuleFamily::ChangeCallLetter, 24, "Change_Call_Letter", "Old_Call_Letter_",
     "Change Call Letters row "},
    {RuleFamily::ChangeCOFromCallLetter, 24, "Change_CO_From_Call_Letter", "Call_Letter_",
     "Change CO#'s, Call Letters row "},
    {RuleFamily::ChangeCOFromDescription, 24, "Change_CO_From_Description", "Program_Description_",
     "Change CO#'s, Program Description row "},
    {RuleFamily::ChangeTime, 8, "Change_Time", "Source_", "Change Time row "},
}};

constexpr bool InFamilyOrder() {
    for (std::size_t i = 0; i < kFamilies.size(); ++i) {
        if (static_cast<std::size_t>(kFamilies[i].family) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InFamilyOrder(), "the families are listed in the order the rules are tried");

const FamilyInfo& Info(RuleFamily family) {
    return kFamilies[static_cast<std::size_t>(family)];
}

int Slots(const FamilyInfo& info) {
    return info.entries == 0 ? 1 : info.entries;
}

/** Every rule in the order the rules are tried, numbered from 0. */
int RuleCount() {
    int count = 0;
    for (const FamilyInfo& info : kFamilies) {
        count += Slots(info);
    }
    return count;
}

/** The number of the rule in that order; -1 for an entry the rules never apply. */
int RuleIndex(const RuleId& rule) {
    int index = 0;
    for (const FamilyInfo& info : kFamilies) {
        if (info.family == rule.family) {
            if (info.entries == 0) {
                return rule.entry == 0 ? index : -1;
            }
            return rule.entry >= 1 && rule.entry <= info.entries ? index + rule.entry - 1 : -1;
        }
        index += Slots(info);
    }
    return -1;
}

RuleId RuleAt(int index) {
    for (const FamilyInfo& info : kFamilies) {
        if (index < Slots(info)) {
            return {info.family, info.entries == 0 ? 0 : index + 1};
        }
        index -= Slots(info);
    }
    return {};
}

bool Filled(std::initializer_list<std::string_view> texts) {
    for (const std::string_view text : texts) {
        if (!TrimSpaces(text).empty()) {
            return true;
        }
    }
    return false;
}

/** True when the entry or switch holds a rule: a text not blank, or the switch on. */
bool HoldsRule(const RuleId& rule, const RuleSet& rules) {
    const int n = rule.entry;
    switch (rule.family) {
        case RuleFamily::DeleteCallLetter: {
            const auto& r = rules.DeleteCallLetterRules[n];
            return Filled({r.CallLetter, r.CONumber});
        }
        case RuleFamily::DeleteSource: {
            const auto& r = rules.DeleteSourceDestinationRules[n];
            return Filled({r.Source, r.Destination});
        }
        case RuleFamily::DeleteAllHD:
            return rules.DeleteAllFlags.AllHD;
        case RuleFamily::DeleteAllSD:
            return rules.DeleteAllFlags.AllSD;
        case RuleFamily::DeleteAllDigital:
            return rules.DeleteAllFlags.AllDigital;
        case RuleFamily::DeleteAllNonDigital:
            return rules.DeleteAllFlags.AllNonDigital;
        case RuleFamily::ChangeCallLetter: {
            const auto& r = rules.ChangeCallLetterRules[n];
            return Filled({r.OldCallLetter, r.CO, r.NewCallLetter});
        }
        case RuleFamily::ChangeCOFromCallLetter: {
            const auto& r = rules.ChangeCOFromCallLetterRules[n];
            return Filled({r.CallLetter, r.OldCO, r.NewCO});
        }
        case RuleFamily::ChangeCOFromDescription: {
            const auto& r = rules.ChangeCOFromDescriptionRules[n];
            return Filled({r.ProgramDescription, r.OldCO, r.NewCO});
        }
        case RuleFamily::ChangeTime: {
            // The operation and the amount always hold a value; the entry is in use once it
            // names any events.
            const auto& r = rules.ChangeTimeRules[n];
            return Filled({r.Source, r.Destination, r.CO, r.Description});
        }
    }
    return false;
}

/** The texts of a delete entry as its dialog row shows them; empty for the other rules. */
std::string DeleteEntryTexts(const RuleId& rule, const RuleSet& rules) {
    if (rule.family == RuleFamily::DeleteCallLetter) {
        const auto& r = rules.DeleteCallLetterRules[rule.entry];
        return ": " + r.CallLetter + " + " + r.CONumber;
    }
    if (rule.family == RuleFamily::DeleteSource) {
        const auto& r = rules.DeleteSourceDestinationRules[rule.entry];
        return ": " + r.Source + " + " + r.Destination;
    }
    return {};
}

std::string_view FieldCaption(EventField field) {
    switch (field) {
        case EventField::ToCallLetters:
            return "Call Letters (To)";
        case EventField::FromCallLetters:
            return "Call Letters (From)";
        case EventField::CO:
            return "CO #";
        case EventField::StartTime:
            return "Start Time";
        case EventField::EndTime:
            break;
    }
    return "End Time";
}

std::string_view OutcomeName(AuditOutcome outcome) {
    switch (outcome) {
        case AuditOutcome::Skipped:
            return "skipped";
        case AuditOutcome::Deleted:
            return "deleted";
        case AuditOutcome::Written:
            break;
    }
    return "written";
}

/**
 * The bytes for a person's terminal: read as Windows-1252, in UTF-8, with every control
 * character written as \xNN so that no byte of a schedule can drive the terminal.
 */
std::string ShownText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t plain = 0;  // the first byte not yet shown
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char32_t c = UnicodeOf1252(static_cast<unsigned char>(bytes[i]));
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            text += Utf8From1252(bytes.substr(plain, i - plain));
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
            text += escaped;
            plain = i + 1;
        }
    }
    return text + Utf8From1252(bytes.substr(plain));
}

/**
 * Writes JSON straight into one growing buffer. A schedule byte becomes its JSON text through a
 * table (one fixed-size copy a byte, no branch a character), and the rule names are quoted once.
 */
class JsonWriter {
  public:
    JsonWriter() {
        for (int byte = 0; byte < 256; ++byte) {
            Escape& e = m_escapes[static_cast<std::size_t>(byte)];
            const char32_t c = UnicodeOf1252(static_cast<unsigned char>(byte));
            const char* named = nullptr;
            switch (c) {
                case U'"':
                    named = "\\\"";
                    break;
                case U'\\':
                    named = "\\\\";
                    break;
                case U'\b':
                    named = "\\b";
                    break;
                case U'\f':
                    named = "\\f";
                    break;
                case U'\n':
                    named = "\\n";
                    break;
                case U'\r':
                    named = "\\r";
                    break;
                case U'\t':
                    named = "\\t";
                    break;
                default:
                    break;
            }
            if (named != nullptr) {
                e.length = static_cast<unsigned char>(std::strlen(named));
                std::memcpy(e.text, named, e.length);
            } else if (c < 0x20) {
                e.length = static_cast<unsigned char>(
                    std::snprintf(e.text, sizeof e.text, "\\u%04x", static_cast<unsigned>(c)));
            } else {
                const char one = static_cast<char>(byte);
                const std::string utf8 = Utf8From1252(std::string_view(&one, 1));
                e.length = static_cast<unsigned char>(utf8.size());
                std::memcpy(e.text, utf8.data(), utf8.size());
            }
        }
    }

    /** The bytes as a quoted JSON string. */
    void Text(std::string_view bytes) {
        char* at = Reserve(bytes.size() * kMaxEscape + 2);
        *at++ = '"';
        for (const char byte : bytes) {
            const Escape& e = m_escapes[static_cast<unsigned char>(byte)];
            // The whole entry in one eight-byte copy; only its text's length counts.
            std::memcpy(at, &e, sizeof e);
            at += e.length;
        }
        *at++ = '"';
        m_length = static_cast<std::size_t>(at - m_buffer.data());
    }
    /** Text that needs no escaping (JSON punctuation, keys, field names). */
    void Raw(std::string_view text) {
        char* at = Reserve(text.size());
        std::memcpy(at, text.data(), text.size());
        m_length += text.size();
    }
    void Number(long long value) {
        char* at = Reserve(24);
        m_length =
            static_cast<std::size_t>(std::to_chars(at, at + 24, value).ptr - m_buffer.data());
    }
    /** The rule's name, quoted. */
    void Rule(const RuleId& rule) {
        const int index = RuleIndex(rule);
        if (index < 0) {
            Text(RuleName(rule));
            return;
        }
        std::string& name = m_ruleNames[static_cast<std::size_t>(index)];
        if (name.empty()) {
            name = RuleName(rule);
        }
        Text(name);
    }

    std::size_t Size() const { return m_length; }
    std::string_view View() const { return {m_buffer.data(), m_length}; }
    void Clear() { m_length = 0; }
    std::string Take() {
        m_buffer.resize(m_length);
        m_length = 0;
        return std::move(m_buffer);
    }

  private:
    struct Escape {
        char text[7] = {};
        unsigned char length = 0;
    };
    static_assert(sizeof(Escape) == 8);
    static constexpr std::size_t kMaxEscape = sizeof(Escape);

    /** Room for count more bytes (and a whole entry's copy past them); where they go. */
    char* Reserve(std::size_t count) {
        const std::size_t needed = m_length + count + kMaxEscape;
        if (needed > m_buffer.size()) {
            m_buffer.resize(std::max(needed, m_buffer.size() * 2));
        }
        return m_buffer.data() + m_length;
    }

    std::array<Escape, 256> m_escapes{};
    std::vector<std::string> m_ruleNames = std::vector<std::string>(RuleCount());
    std::string m_buffer;
    std::size_t m_length = 0;
};

void WriteEventJson(JsonWriter& json, const AuditEvent& event) {
    json.Raw("{\"record\": ");
    json.Number(event.record);
    json.Raw(", \"outcome\": \"");
    json.Raw(OutcomeName(event.outcome));
    json.Raw("\"");
    if (event.outcome == AuditOutcome::Deleted) {
        json.Raw(", \"rule\": ");
        json.Rule(event.deletedBy);
    } else if (event.outcome == AuditOutcome::Written) {
        json.Raw(", \"changes\": [");
        for (std::size_t i = 0; i < event.changes.size(); ++i) {
            const AuditChange& change = event.changes[i];
            json.Raw(i == 0 ? "{\"rule\": " : ", {\"rule\": ");
            json.Rule(change.rule);
            json.Raw(", \"field\": \"");
            json.Raw(FieldColumnName(change.field));
            json.Raw("\", \"before\": ");
            json.Text(change.before);
            json.Raw(", \"after\": ");
            json.Text(change.after);
            json.Raw("}");
        }
        json.Raw("], \"line\": ");
        json.Text(event.line);
    }
    json.Raw("}");
}

void WriteSummaryJson(JsonWriter& json, const RuleAudit& audit) {
    const JobCounts& c = audit.Counts();
    const std::pair<std::string_view, int> counts[] = {
        {"{\"summary\": {\"read\": ", c.read},
        {", \"skipped\": ", c.skipped},
        {", \"deleted\": ", c.deleted},
        {", \"written\": ", c.written},
        {", \"ignored_lines\": ", c.ignoredLines},
    };
    for (const auto& [key, count] : counts) {
        json.Raw(key);
        json.Number(count);
    }
    json.Raw("}, \"rule_hits\": {");
    const auto hits = audit.RuleHits();
    for (std::size_t i = 0; i < hits.size(); ++i) {
        json.Raw(i == 0 ? "" : ", ");
        json.Rule(hits[i].first);
        json.Raw(": ");
        json.Number(hits[i].second);
    }
    json.Raw("}, \"unused_rules\": [");
    const auto unused = audit.UnusedRules();
    for (std::size_t i = 0; i < unused.size(); ++i) {
        json.Raw(i == 0 ? "" : ", ");
        json.Rule(unused[i]);
    }
    json.Raw("]}");
}

}  // namespace

ScheduleRecord WrittenEvent(const AuditEvent& event) {
    ScheduleRecord written = event.input;
    for (const AuditChange& change : event.changes) {
        FieldOf(written, change.field) = change.after;
    }
    return written;
}

std::string RuleName(const RuleId& rule) {
    const FamilyInfo& info = Info(rule.family);
    std::string name = std::string(info.section) + "/" + info.key;
    if (info.entries != 0) {
        name += std::to_string(rule.entry);
    }
    return name;
}

std::string RuleCaption(const RuleId& rule, const RuleSet& rules) {
    const FamilyInfo& info = Info(rule.family);
    if (info.entries == 0) {
        return info.caption;
    }
    return info.caption + std::to_string(rule.entry) + DeleteEntryTexts(rule, rules);
}

std::string_view FieldColumnName(EventField field) {
    switch (field) {
        case EventField::ToCallLetters:
            return "tochnm_hd";
        case EventField::FromCallLetters:
            return "fchnm_hd";
        case EventField::CO:
            return "co";
        case EventField::StartTime:
            return "on_time";
        case EventField::EndTime:
            break;
    }
    return "off_time";
}

std::string JsonString(std::string_view bytes) {
    JsonWriter json;
    json.Text(bytes);
    return json.Take();
}

RuleAudit::RuleAudit(RuleSet rules) : m_rules(std::move(rules)), m_hits(RuleCount(), 0) {}

void RuleAudit::EventSkipped(int record) {
    m_reading = false;
    AuditEvent& event = m_events.emplace_back();
    event.record = record;
    ++m_counts.read;
    ++m_counts.skipped;
}

void RuleAudit::EventRead(int record, const ScheduleRecord& event) {
    m_current = AuditEvent{};
    m_current.record = record;
    m_current.input = event;
    m_reading = true;
}

void RuleAudit::EventDeleted(int record, const ScheduleRecord& /*event*/) {
    if (m_reading && m_current.record == record) {
        Finish(AuditOutcome::Deleted);
    }
}

void RuleAudit::EventWritten(int record, int /*outputCount*/, const ScheduleRecord& /*event*/,
                             std::string_view line) {
    if (m_reading && m_current.record == record) {
        m_current.line = line;
        Finish(AuditOutcome::Written);
    }
}

void RuleAudit::Deleted(const RuleId& rule) {
    if (m_reading) {
        m_current.deletedBy = rule;
    }
}

void RuleAudit::Changed(const RuleId& rule, EventField field, std::string_view before,
                        std::string_view after) {
    if (m_reading) {
        m_current.changes.push_back({rule, field, std::string(before), std::string(after)});
    }
}

void RuleAudit::Finish(AuditOutcome outcome) {
    m_reading = false;
    m_current.outcome = outcome;
    ++m_counts.read;
    const auto hit = [this](const RuleId& rule) {
        if (const int index = RuleIndex(rule); index >= 0) {
            ++m_hits[static_cast<std::size_t>(index)];
        }
    };
    if (outcome == AuditOutcome::Deleted) {
        ++m_counts.deleted;
        m_current.changes.clear();
        hit(m_current.deletedBy);
    } else {
        ++m_counts.written;
        // The items of one entry come together: an event counts once for each entry.
        for (std::size_t i = 0; i < m_current.changes.size(); ++i) {
            if (i == 0 || !(m_current.changes[i].rule == m_current.changes[i - 1].rule)) {
                hit(m_current.changes[i].rule);
            }
        }
    }
    m_events.push_back(std::move(m_current));
    m_current = AuditEvent{};
}

std::vector<std::pair<RuleId, int>> RuleAudit::RuleHits() const {
    std::vector<std::pair<RuleId, int>> hits;
    for (std::size_t i = 0; i < m_hits.size(); ++i) {
        if (m_hits[i] > 0) {
            hits.emplace_back(RuleAt(static_cast<int>(i)), m_hits[i]);
        }
    }
    return hits;
}

std::vector<RuleId> RuleAudit::UnusedRules() const {
    std::vector<RuleId> unused;
    for (std::size_t i = 0; i < m_hits.size(); ++i) {
        const RuleId rule = RuleAt(static_cast<int>(i));
        if (m_hits[i] == 0 && HoldsRule(rule, m_rules)) {
            unused.push_back(rule);
        }
    }
    return unused;
}

void WriteAuditJsonLines(const RuleAudit& audit, std::ostream& out) {
    // Written out a block at a time: the whole file's JSON is never held at once.
    constexpr std::size_t kBlock = 1 << 20;
    JsonWriter json;
    for (const AuditEvent& event : audit.Events()) {
        WriteEventJson(json, event);
        json.Raw("\n");
        if (json.Size() >= kBlock) {
            out.write(json.View().data(), static_cast<std::streamsize>(json.Size()));
            json.Clear();
        }
    }
    WriteSummaryJson(json, audit);
    json.Raw("\n");
    out.write(json.View().data(), static_cast<std::streamsize>(json.Size()));
}

void WriteAuditText(const RuleAudit& audit, std::ostream& out) {
    const RuleSet& rules = audit.Rules();
    for (const AuditEvent& event : audit.Events()) {
        if (event.outcome == AuditOutcome::Skipped ||
            (event.outcome == AuditOutcome::Written && event.changes.empty())) {
            continue;
        }
        const ScheduleRecord& e = event.input;
        std::string line = "Record " + std::to_string(event.record) + " [To " + e.tochnm_hd +
                           ", From " + e.fchnm_hd + ", CO " + e.co + ", " + e.pgm + "]: ";
        if (event.outcome == AuditOutcome::Deleted) {
            line += "deleted by " + RuleCaption(event.deletedBy, rules);
        }
        for (std::size_t i = 0; i < event.changes.size(); ++i) {
            const AuditChange& change = event.changes[i];
            line += i == 0 ? "" : "; ";
            line += std::string(FieldCaption(change.field)) + " " + change.before + " -> " +
                    change.after + " by " + RuleCaption(change.rule, rules);
        }
        out << ShownText(line) << '\n';
    }
    const JobCounts& c = audit.Counts();
    out << c.read << " events read: " << c.skipped << " skipped, " << c.deleted << " deleted, "
        << c.written << " written; " << c.ignoredLines << " lines ignored (fewer than 18 fields)\n";
    const auto hits = audit.RuleHits();
    out << "Rules that hit events:" << (hits.empty() ? " none" : "") << '\n';
    for (const auto& [rule, count] : hits) {
        out << "  " << ShownText(RuleCaption(rule, rules)) << ": " << count
            << (count == 1 ? " event\n" : " events\n");
    }
    const auto unused = audit.UnusedRules();
    out << "Rules that hit no event:" << (unused.empty() ? " none" : "") << '\n';
    for (const RuleId& rule : unused) {
        out << "  " << ShownText(RuleCaption(rule, rules)) << '\n';
    }
}

}  // namespace skedora
