#include "input/csv_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "input/source_file.h"
#include "model/text.h"

namespace skedora {

namespace {

constexpr std::size_t kColumns = 18;

/** The first 18 fields of a line, column 1 first; missing ones are empty. */
using Columns = std::array<std::string_view, kColumns>;

/**
 * A line that goes on past the end of the read buffer, collected as its bytes arrive. Only the
 * first 18 fields are kept: later fields are ignored anyway, and a line of any length then costs
 * no more memory than the columns that are used.
 */
class PartialLine {
  public:
    /** The next bytes of the line, without its end; keep false drops them (the header). */
    void Feed(std::string_view bytes, bool keep) {
        m_started = m_started || !bytes.empty();
        std::size_t at = 0;
        for (;;) {
            const std::size_t comma = bytes.find(',', at);
            if (keep && m_count <= kColumns) {
                m_fields[m_count - 1].append(bytes.substr(at, comma - at));
            }
            if (comma == std::string_view::npos) {
                return;
            }
            ++m_count;
            at = comma + 1;
        }
    }
    /** True once the line has any byte. */
    bool Started() const { return m_started; }
    /** The number of fields: commas plus one. */
    std::size_t Count() const { return m_count; }
    Columns Fields() const {
        Columns columns;
        for (std::size_t i = 0; i < kColumns; ++i) {
            columns[i] = m_fields[i];
        }
        return columns;
    }
    /** Ready for the next line; the fields keep their capacity. */
    void Clear() {
        for (std::size_t i = 0; i < kColumns && i < m_count; ++i) {
            m_fields[i].clear();
        }
        m_count = 1;
        m_started = false;
    }

  private:
    std::array<std::string, kColumns> m_fields;
    std::size_t m_count = 1;
    bool m_started = false;
};

std::int16_t NumberField(std::string_view text) {
    return RoundToInt16(LeadingNumber(text)).value_or(0);
}

/** hh:mm:ss from the short forms, appended to out. */
void AppendTimeText(std::string& out, std::string_view text) {
    if (text.size() == 4 || text.size() == 7) {
        out += '0';
    }
    out += text;
    if (text.size() == 4 || text.size() == 5) {
        out += ":00";
    }
}

/** Fills a fresh slot; its texts are empty, so appending sets them, at less cost than assigning. */
void FillFreshRecord(const Columns& fields, ScheduleRecord& record) {
    const auto text = [&](std::string& field, std::size_t column) {
        field.append(TrimSpaces(fields[column - 1]));
    };
    record.day = NumberField(fields[0]);
    text(record.cur_date, 2);
    text(record.week_day, 3);
    AppendTimeText(record.on_time, TrimSpaces(fields[3]));
    AppendTimeText(record.off_time, TrimSpaces(fields[4]));
    text(record.pgm, 6);
    text(record.mon_beg, 7);
    text(record.mon_end, 8);
    text(record.hidef, 9);
    text(record.comments, 10);
    record.toch = NumberField(fields[10]);
    text(record.tochnm_hd, 12);
    record.fch = NumberField(fields[12]);
    text(record.fchnm_hd, 14);
    text(record.co, 15);
    text(record.systemname, 16);
    text(record.U1, 17);
    text(record.U2, 18);
}

Error AccessError(const std::string& path, int err) {
    return errors::PathFileAccess(path + ": " + std::strerror(err));
}

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool IsSeparator(char c) {
    return c == ',' || IsLineEnd(c);
}

/**
 * Finds the commas and line ends of a buffer in order. Eight bytes are examined at a time: a
 * byte equal to a separator leaves a zero byte after an xor, which the mask flags.
 */
class SeparatorScanner {
  public:
    SeparatorScanner(std::string_view bytes, std::size_t from) : m_bytes(bytes), m_base(from) {
        Load();
    }

    /** The first separator at or after `from` (which never goes back); the size when none. */
    std::size_t Next(std::size_t from) {
        for (;;) {
            while (m_mask != 0) {
                const std::size_t at =
                    m_base + static_cast<std::size_t>(std::countr_zero(m_mask)) / 8;
                m_mask &= m_mask - 1;
                if (at >= from) {
                    return at;
                }
            }
            m_base += 8;
            if (m_base >= m_bytes.size()) {
                return m_bytes.size();
            }
            Load();
        }
    }

  private:
    void Load() {
        if (std::endian::native == std::endian::little && m_base + 8 <= m_bytes.size()) {
            std::uint64_t word;
            std::memcpy(&word, m_bytes.data() + m_base, sizeof word);
            m_mask = ZeroBytes(word ^ (kOnes * ',')) | ZeroBytes(word ^ (kOnes * '\r')) |
                     ZeroBytes(word ^ (kOnes * '\n'));
            return;
        }
        m_mask = 0;
        for (std::size_t i = m_base; i < m_bytes.size() && i < m_base + 8; ++i) {
            if (IsSeparator(m_bytes[i])) {
                m_mask |= std::uint64_t{0x80} << (8 * (i - m_base));
            }
        }
    }

    /** The high bit of every byte that is zero, and of no other. */
    static std::uint64_t ZeroBytes(std::uint64_t v) { return ~(((v & kLow7) + kLow7) | v | kLow7); }

    static constexpr std::uint64_t kOnes = 0x0101010101010101;
    static constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;

    std::string_view m_bytes;
    std::size_t m_base;
    std::uint64_t m_mask = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

/** Splits the byte stream into lines and fields; the first line is the header and is dropped. */
class CsvParser {
  public:
    explicit CsvParser(EventTable& table) : m_table(table) {}

    /** The next bytes of the file; an error ends the read. */
    MaybeError Feed(std::string_view bytes) {
        std::size_t at = 0;
        if (m_afterCarriageReturn && !bytes.empty()) {
            m_afterCarriageReturn = false;
            if (bytes[0] == '\n') {
                at = 1;
            }
        }
        if (m_partial.Started()) {
            std::size_t end = at;
            while (end < bytes.size() && !IsLineEnd(bytes[end])) {
                ++end;
            }
            m_partial.Feed(bytes.substr(at, end - at), m_headerDone);
            if (end == bytes.size()) {
                return std::nullopt;
            }
            at = AfterLineEnd(bytes, end);
            const MaybeError error = EndLine(m_partial.Fields(), m_partial.Count());
            m_partial.Clear();
            if (error) {
                return error;
            }
        }
        // Lines wholly inside the buffer are split in place.
        SeparatorScanner separators(bytes, at);
        while (at < bytes.size()) {
            Columns columns;
            std::size_t count = 0;
            std::size_t fieldStart = at;
            std::size_t end = separators.Next(at);
            while (end < bytes.size() && bytes[end] == ',') {
                if (count < kColumns) {
                    columns[count] = bytes.substr(fieldStart, end - fieldStart);
                }
                ++count;
                fieldStart = end + 1;
                end = separators.Next(fieldStart);
            }
            if (end == bytes.size()) {
                m_partial.Feed(bytes.substr(at), m_headerDone);
                return std::nullopt;
            }
            if (count < kColumns) {
                columns[count] = bytes.substr(fieldStart, end - fieldStart);
            }
            at = AfterLineEnd(bytes, end);
            if (MaybeError error = EndLine(columns, count + 1)) {
                return error;
            }
        }
        return std::nullopt;
    }

    /** The last line counts even without a line end. */
    MaybeError Finish() {
        if (m_partial.Started()) {
            return EndLine(m_partial.Fields(), m_partial.Count());
        }
        return std::nullopt;
    }

  private:
    /** CR LF is one line end; a CR at the end of the buffer may have its LF in the next one. */
    std::size_t AfterLineEnd(std::string_view bytes, std::size_t end) {
        if (bytes[end] == '\r') {
            if (end + 1 == bytes.size()) {
                m_afterCarriageReturn = true;
            } else if (bytes[end + 1] == '\n') {
                return end + 2;
            }
        }
        return end + 1;
    }

    MaybeError EndLine(const Columns& columns, std::size_t fieldCount) {
        if (!m_headerDone) {
            m_headerDone = true;
        } else if (fieldCount >= kColumns) {
            if (m_table.IsFull()) {
                return errors::Overflow(errors::kEventTableFull);
            }
            FillFreshRecord(columns, m_table.Append());
        } else {
            ++m_table.IgnoredLines;
        }
        return std::nullopt;
    }

    EventTable& m_table;
    PartialLine m_partial;
    bool m_headerDone = false;
    bool m_afterCarriageReturn = false;
};

}  // namespace

std::string NormalizeTimeText(std::string_view text) {
    std::string time;
    AppendTimeText(time, text);
    return time;
}

MaybeError ReadCsvSchedule(const std::string& path, EventTable& table, SourceIdentity* read,
                           const std::atomic<bool>* stopRequested) {
    std::FILE* opened = nullptr;
    FileIdentity identity;
    if (MaybeError error = OpenScheduleFile(path, opened, identity)) {
        return error;
    }
    const std::unique_ptr<std::FILE, FileCloser> file(opened);
    // Room for as many events as the file could hold (a data line has at least 17 commas and a
    // line end), so the table is not moved while it grows.
    if (identity.size > 0) {
        const auto most = static_cast<std::uint64_t>(identity.size) / 18;
        table.Reserve(static_cast<int>(std::min<std::uint64_t>(most, EventTable::kMaxEvents)));
    }
    MaybeError error = ReadCsvScheduleFrom(file.get(), path, table, 64 * 1024, stopRequested);
    RecordRead(file.get(), identity, read);
    return error;
}

MaybeError ReadCsvScheduleFrom(std::FILE* file, const std::string& path, EventTable& table,
                               std::size_t readSize, const std::atomic<bool>* stopRequested) {
    CsvParser parser(table);
    std::vector<char> buffer(std::max<std::size_t>(readSize, 1));
    for (;;) {
        if (IsStopRequested(stopRequested)) {
            return ReadInterrupted(path);
        }
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
        if (got > 0) {
            if (auto error = parser.Feed(std::string_view(buffer.data(), got))) {
                return error;
            }
        }
        if (got < buffer.size()) {
            break;
        }
    }
    if (std::ferror(file)) {
        return AccessError(path, errno);
    }
    return parser.Finish();
}

}  // namespace skedora
