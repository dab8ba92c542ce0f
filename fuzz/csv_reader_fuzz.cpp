// The CSV reader never crashes, never holds more than the table can take, reads the same events
// whatever the size of its reads (so lines cut at any byte by a read are read whole), and reads
// what a plain line-by-line, comma-by-comma reading of the bytes gives.
// Input: one byte that picks the small read size (1 to 64 bytes), then the file's bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "input/csv_reader.h"
#include "model/text.h"

namespace {
struct Read {
    skedora::EventTable table;
    skedora::MaybeError error;
};

Read ReadFromMemory(std::string_view bytes, std::size_t readSize) {
    Read read;
    // The bytes are only read; fmemopen wants a writable pointer all the same.
    std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (file == nullptr) {
        std::abort();
    }
    read.error = skedora::ReadCsvScheduleFrom(file, "SCHED.CSV", read.table, readSize);
    std::fclose(file);
    return read;
}

std::int16_t Number(std::string_view text) {
    return skedora::RoundToInt16(skedora::LeadingNumber(text)).value_or(0);
}

std::string Text(std::string_view text) {
    return std::string(skedora::TrimSpaces(text));
}

std::string Time(std::string_view text) {
    return skedora::NormalizeTimeText(skedora::TrimSpaces(text));
}

/** The events of the bytes, read the plain way: lines end at CR LF, CR or LF. */
std::vector<skedora::ScheduleRecord> PlainReading(std::string_view bytes) {
    std::vector<skedora::ScheduleRecord> events;
    bool header = true;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
        const std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n') {
            ++pos;
        }
        if (header) {
            header = false;
            continue;
        }
        std::vector<std::string_view> f;
        for (std::size_t at = 0;;) {
            const std::size_t comma = line.find(',', at);
            f.push_back(line.substr(at, comma - at));
            if (comma == std::string_view::npos) {
                break;
            }
            at = comma + 1;
        }
        if (f.size() < 18) {
            continue;
        }
        skedora::ScheduleRecord r;
        r.day = Number(f[0]);
        r.cur_date = Text(f[1]);
        r.week_day = Text(f[2]);
        r.on_time = Time(f[3]);
        r.off_time = Time(f[4]);
        r.pgm = Text(f[5]);
        r.mon_beg = Text(f[6]);
        r.mon_end = Text(f[7]);
        r.hidef = Text(f[8]);
        r.comments = Text(f[9]);
        r.toch = Number(f[10]);
        r.tochnm_hd = Text(f[11]);
        r.fch = Number(f[12]);
        r.fchnm_hd = Text(f[13]);
        r.co = Text(f[14]);
        r.systemname = Text(f[15]);
        r.U1 = Text(f[16]);
        r.U2 = Text(f[17]);
        events.push_back(std::move(r));
    }
    return events;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const std::size_t smallRead = data[0] % 64 + 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const Read whole = ReadFromMemory(bytes, 64 * 1024);
    const Read cut = ReadFromMemory(bytes, smallRead);
    const std::vector<skedora::ScheduleRecord> plain = PlainReading(bytes);

    const auto& table = whole.table;
    if (!(table[0] == skedora::ScheduleRecord{})) {
        std::abort();
    }
    const bool overflow = plain.size() > skedora::EventTable::kMaxEvents;
    const std::size_t expected = overflow ? skedora::EventTable::kMaxEvents : plain.size();
    if (whole.error.has_value() != overflow ||
        (overflow && whole.error->number != skedora::errors::kOverflow) ||
        static_cast<std::size_t>(table.Count()) != expected) {
        std::abort();
    }
    if (!(whole.error == cut.error) || cut.table.Count() != table.Count()) {
        std::abort();
    }
    for (int i = 1; i <= table.Count(); ++i) {
        if (!(table[i] == plain[static_cast<std::size_t>(i - 1)]) || !(cut.table[i] == table[i])) {
            std::abort();
        }
    }
    return 0;
}
