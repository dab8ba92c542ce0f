#include "engine/cp2_line.h"

#include <charconv>
#include <cstdint>

#include "model/text.h"

namespace skedora {

namespace {

class LineBuilder {
  public:
    explicit LineBuilder(std::string& line) : m_line(line) {}

    void Text(std::string_view value) {
        m_line += TrimSpaces(value);
        m_line += ',';
    }
    void Number(std::int16_t value) {
        char digits[8];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        m_line.append(digits, end);
        m_line += ',';
    }
    /** "*" when the field holds anything but spaces: the marks never carry their values. */
    void Mark(std::string_view value) {
        if (!TrimSpaces(value).empty()) {
            m_line += '*';
        }
        m_line += ',';
    }
    void Raw(std::string_view first, std::string_view second = {}) {
        m_line += first;
        m_line += second;
        m_line += ',';
    }

  private:
    std::string& m_line;
};

}  // namespace

std::string FormatEventLine(const ScheduleRecord& event, std::string_view inputFileTitle) {
    std::string line;
    line.reserve(160);
    LineBuilder out(line);
    out.Number(event.day);
    out.Text(event.cur_date);
    out.Text(event.week_day);
    out.Text(event.on_time);
    out.Text(event.off_time);
    out.Text(event.pgm);
    out.Mark(event.mon_beg);
    out.Mark(event.mon_end);
    out.Mark(event.hidef);

    // An empty comment says where an added or removed event came from.
    const std::string_view comments = TrimSpaces(event.comments);
    if (!comments.empty()) {
        out.Raw(comments);
    } else {
        const std::string action = TextKey(event.U2);
        if (action == "REMV") {
            out.Raw("REMV From: ", inputFileTitle);
        } else if (action == "ADD") {
            out.Raw("ADD From: ", inputFileTitle);
        } else {
            out.Raw({});
        }
    }

    // The To pair comes first in the file, although the record holds the From pair first.
    out.Number(event.toch);
    out.Text(event.tochnm_hd);
    out.Number(event.fch);
    out.Text(event.fchnm_hd);
    out.Text(event.co);
    out.Text(event.systemname);
    out.Text(event.U1);
    out.Text(event.U2);
    return line;
}

}  // namespace skedora
