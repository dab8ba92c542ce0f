#include "input/csv_reader.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "model/text.h"

namespace skedora {

namespace {

constexpr std::size_t kColumns = 18;
constexpr std::size_t kReadBufferSize = 64 * 1024;

/**
 * The fields of the line being read, collected as its bytes arrive. Only the first 18 are
 * kept: later fields are ignored anyway, and a line of any length then costs no more memory
 * than the columns that are used.
 */
class LineFields {
  public:
    void Append(std::string_view bytes) {
        if (m_count <= kColumns) {
            m_fields[m_count - 1].append(bytes);
        }
        m_started = true;
    }
    void Comma() {
        ++m_count;
        m_started = true;
    }
    /** True once the line has any byte; a line end alone does not count. */
    bool Started() const { return m_started; }
    std::size_t Count() const { return m_count; }
    std::string_view operator[](std::size_t column) const { return m_fields[column - 1]; }

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

void FillRecord(const LineFields& fields, ScheduleRecord& record) {
    record.day = NumberField(fields[1]);
    record.cur_date = TrimSpaces(fields[2]);
    record.week_day = TrimSpaces(fields[3]);
    record.on_time = NormalizeTimeText(TrimSpaces(fields[4]));
    record.off_time = NormalizeTimeText(TrimSpaces(fields[5]));
    record.pgm = TrimSpaces(fields[6]);
    record.mon_beg = TrimSpaces(fields[7]);
    record.mon_end = TrimSpaces(fields[8]);
    record.hidef = TrimSpaces(fields[9]);
    record.comments = TrimSpaces(fields[10]);
    record.toch = NumberField(fields[11]);
    record.tochnm_hd = TrimSpaces(fields[12]);
    record.fch = NumberField(fields[13]);
    record.fchnm_hd = TrimSpaces(fields[14]);
    record.co = TrimSpaces(fields[15]);
    record.systemname = TrimSpaces(fields[16]);
    record.U1 = TrimSpaces(fields[17]);
    record.U2 = TrimSpaces(fields[18]);
}

Error AccessError(const std::string& path, int err) {
    return errors::PathFileAccess(path + ": " + std::strerror(err));
}

bool IsSeparator(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

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
        while (at < bytes.size()) {
            std::size_t stop = at;
            while (stop < bytes.size() && !IsSeparator(bytes[stop])) {
                ++stop;
            }
            if (stop == bytes.size()) {
                AppendText(bytes.substr(at));
                break;
            }
            AppendText(bytes.substr(at, stop - at));
            at = stop + 1;
            if (bytes[stop] == ',') {
                m_line.Comma();
                continue;
            }
            if (bytes[stop] == '\r') {
                // CR LF is one line end; a CR at the end of the buffer may have its LF next.
                if (at < bytes.size()) {
                    if (bytes[at] == '\n') {
                        ++at;
                    }
                } else {
                    m_afterCarriageReturn = true;
                }
            }
            if (auto error = EndLine()) {
                return error;
            }
        }
        return std::nullopt;
    }

    /** The last line counts even without a line end. */
    MaybeError Finish() {
        if (m_line.Started()) {
            return EndLine();
        }
        return std::nullopt;
    }

  private:
    void AppendText(std::string_view text) {
        if (!text.empty()) {
            m_line.Append(m_headerDone ? text : std::string_view{});
        }
    }

    MaybeError EndLine() {
        if (!m_headerDone) {
            m_headerDone = true;
        } else if (m_line.Count() >= kColumns) {
            if (m_table.IsFull()) {
                return errors::Overflow();
            }
            FillRecord(m_line, m_table.Append());
        }
        m_line.Clear();
        return std::nullopt;
    }

    EventTable& m_table;
    LineFields m_line;
    bool m_headerDone = false;
    bool m_afterCarriageReturn = false;
};

}  // namespace

std::string_view CsvHeaderText() {
    return "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,"
           "tochnm_hd,fch,fchnm_hd,co,systemname,U1,U2";
}

std::string NormalizeTimeText(std::string_view text) {
    switch (text.size()) {
        case 4:
            return "0" + std::string(text) + ":00";
        case 5:
            return std::string(text) + ":00";
        case 7:
            return "0" + std::string(text);
        default:
            return std::string(text);
    }
}

MaybeError ReadCsvSchedule(const std::string& path, EventTable& table) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        const int err = errno;
        return err == ENOENT ? errors::FileNotFound() : AccessError(path, err);
    }
    CsvParser parser(table);
    std::vector<char> buffer(kReadBufferSize);
    for (;;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file.get());
        if (got > 0) {
            if (auto error = parser.Feed(std::string_view(buffer.data(), got))) {
                return error;
            }
        }
        if (got < buffer.size()) {
            break;
        }
    }
    if (std::ferror(file.get())) {
        return AccessError(path, errno);
    }
    return parser.Finish();
}

}  // namespace skedora
