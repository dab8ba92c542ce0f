#include "app/job_log.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "os/atomic_file.h"
#include "os/file_contents.h"

namespace skedora {

namespace {

constexpr std::size_t kFieldCount = 10;
// Logs written before the ignored-line count have one field less; they still read.
constexpr std::size_t kOldFieldCount = 9;
constexpr std::array<std::pair<JobLogEntry::Outcome, std::string_view>, 3> kOutcomes{{
    {JobLogEntry::Outcome::Finished, "finished"},
    {JobLogEntry::Outcome::Failed, "failed"},
    {JobLogEntry::Outcome::SetUpFailed, "set-up failed"},
}};

void AppendEscaped(std::string& line, std::string_view field) {
    for (const char c : field) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

bool Unescape(std::string_view field, std::string& text) {
    text.clear();
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            text += field[i];
            continue;
        }
        if (++i == field.size()) {
            return false;
        }
        switch (field[i]) {
            case '\\':
                text += '\\';
                break;
            case 't':
                text += '\t';
                break;
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            default:
                return false;
        }
    }
    return true;
}

bool ParseCount(std::string_view field, int& value) {
    const auto* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc() && ptr == end && value >= 0;
}

bool ParseTime(std::string_view field, LocalDateTime& time) {
    // "yyyy-mm-dd hh:mm:ss"
    if (field.size() != 19 || field[4] != '-' || field[7] != '-' || field[10] != ' ' ||
        field[13] != ':' || field[16] != ':') {
        return false;
    }
    const std::array<std::pair<std::size_t, int*>, 6> parts{{{0, &time.year},
                                                             {5, &time.month},
                                                             {8, &time.day},
                                                             {11, &time.hour},
                                                             {14, &time.minute},
                                                             {17, &time.second}}};
    for (const auto& [offset, value] : parts) {
        const std::size_t length = offset == 0 ? 4 : 2;
        if (!ParseCount(field.substr(offset, length), *value)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string JobLogTimeText(const LocalDateTime& time) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second);
    return text;
}

std::string_view OutcomeText(JobLogEntry::Outcome outcome) {
    for (const auto& [value, text] : kOutcomes) {
        if (value == outcome) {
            return text;
        }
    }
    return "finished";
}

std::string FormatJobLogLine(const JobLogEntry& entry) {
    std::string line = JobLogTimeText(entry.time);
    for (const std::string_view text :
         {std::string_view(entry.source), std::string_view(entry.output)}) {
        line += '\t';
        AppendEscaped(line, text);
    }
    for (const int count : {entry.read, entry.skipped, entry.deleted, entry.written}) {
        line += '\t';
        line += std::to_string(count);
    }
    line += '\t';
    line += OutcomeText(entry.outcome);
    line += '\t';
    AppendEscaped(line, entry.error);
    line += '\t';
    line += std::to_string(entry.ignoredLines);
    return line;
}

bool ParseJobLogLine(std::string_view line, JobLogEntry& entry) {
    std::array<std::string_view, kFieldCount> fields;
    std::size_t count = 0;
    while (true) {
        const auto tab = line.find('\t');
        if (count == kFieldCount) {
            return false;
        }
        fields[count++] = line.substr(0, tab);
        if (tab == std::string_view::npos) {
            break;
        }
        line.remove_prefix(tab + 1);
    }
    if (count != kFieldCount && count != kOldFieldCount) {
        return false;
    }
    JobLogEntry parsed;
    bool known = false;
    for (const auto& [value, text] : kOutcomes) {
        if (fields[7] == text) {
            parsed.outcome = value;
            known = true;
        }
    }
    if (!known || !ParseTime(fields[0], parsed.time) || !Unescape(fields[1], parsed.source) ||
        !Unescape(fields[2], parsed.output) || !ParseCount(fields[3], parsed.read) ||
        !ParseCount(fields[4], parsed.skipped) || !ParseCount(fields[5], parsed.deleted) ||
        !ParseCount(fields[6], parsed.written) || !Unescape(fields[8], parsed.error) ||
        (count == kFieldCount && !ParseCount(fields[9], parsed.ignoredLines))) {
        return false;
    }
    entry = std::move(parsed);
    return true;
}

JobLog::JobLog(const std::filesystem::path& home) : m_file(home / kFileName) {}

MaybeError JobLog::Load() {
    std::string bytes;
    if (auto error = ReadFileIfPresent(m_file, bytes)) {
        return error;
    }
    std::vector<JobLogEntry> entries;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        JobLogEntry entry;
        if (ParseJobLogLine(line, entry)) {
            entries.push_back(std::move(entry));
        }
    }
    m_entries = std::move(entries);
    Trim();
    return std::nullopt;
}

MaybeError JobLog::Append(const JobLogEntry& entry) {
    // An unreadable file keeps the entries known here; the write below then reports it.
    (void)Load();
    m_entries.push_back(entry);
    Trim();
    std::string bytes;
    for (const auto& kept : m_entries) {
        bytes += FormatJobLogLine(kept);
        bytes += '\n';
    }
    return WriteFileAtomically(m_file, bytes);
}

void JobLog::Trim() {
    if (m_entries.size() > kMaxEntries) {
        m_entries.erase(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(
                                                                   m_entries.size() - kMaxEntries));
    }
}

}  // namespace skedora
