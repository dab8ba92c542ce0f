#include "engine/cp2_line.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "model/text.h"

namespace skedora {

namespace {

constexpr std::string_view kRemovedFrom = "REMV From: ";
constexpr std::string_view kAddedFrom = "ADD From: ";
constexpr std::size_t kLongestNumber = 6;  // -32768

/** Writes the columns into a buffer known to be large enough, each followed by a comma. */
class ColumnWriter {
  public:
    explicit ColumnWriter(char* out) : m_out(out) {}

    void Text(std::string_view value) { Raw(TrimSpaces(value)); }
    void Number(std::int16_t value) {
        m_out = std::to_chars(m_out, m_out + kLongestNumber, value).ptr;
        *m_out++ = ',';
    }
    /** "*" when the field holds anything but spaces: the marks never carry their values. */
    void Mark(std::string_view value) { Raw(TrimSpaces(value).empty() ? "" : "*"); }
    void Raw(std::string_view first, std::string_view second = {}) {
        Put(first);
        Put(second);
        *m_out++ = ',';
    }
    char* End() const { return m_out; }

  private:
    void Put(std::string_view bytes) {
        if (!bytes.empty()) {
            std::memcpy(m_out, bytes.data(), bytes.size());
            m_out += bytes.size();
        }
    }

    char* m_out;
};

/** The comment column: the comment, else where an added or removed event came from. */
std::pair<std::string_view, std::string_view> CommentColumn(const ScheduleRecord& event,
                                                            std::string_view inputFileTitle) {
    const std::string_view comments = TrimSpaces(event.comments);
    if (!comments.empty()) {
        return {comments, {}};
    }
    const std::string_view action = TrimSpaces(event.U2);
    if (action.size() == 3 || action.size() == 4) {
        const std::string key = TextKey(action);
        if (key == "REMV") {
            return {kRemovedFrom, inputFileTitle};
        }
        if (key == "ADD") {
            return {kAddedFrom, inputFileTitle};
        }
    }
    return {};
}

}  // namespace

std::string_view CsvHeaderText() {
    return "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,"
           "tochnm_hd,fch,fchnm_hd,co,systemname,U1,U2";
}

std::string FormatEventLine(const ScheduleRecord& event, std::string_view inputFileTitle) {
    const auto [comment, commentTail] = CommentColumn(event, inputFileTitle);
    const std::size_t longest = 18 + 3 * kLongestNumber + 3 + comment.size() + commentTail.size() +
                                event.cur_date.size() + event.week_day.size() +
                                event.on_time.size() + event.off_time.size() + event.pgm.size() +
                                event.tochnm_hd.size() + event.fchnm_hd.size() + event.co.size() +
                                event.systemname.size() + event.U1.size() + event.U2.size();
    std::string line(longest, '\0');
    ColumnWriter out(line.data());
    out.Number(event.day);
    out.Text(event.cur_date);
    out.Text(event.week_day);
    out.Text(event.on_time);
    out.Text(event.off_time);
    out.Text(event.pgm);
    out.Mark(event.mon_beg);
    out.Mark(event.mon_end);
    out.Mark(event.hidef);
    out.Raw(comment, commentTail);
    // The To pair comes first in the file, although the record holds the From pair first.
    out.Number(event.toch);
    out.Text(event.tochnm_hd);
    out.Number(event.fch);
    out.Text(event.fchnm_hd);
    out.Text(event.co);
    out.Text(event.systemname);
    out.Text(event.U1);
    out.Text(event.U2);
    line.resize(static_cast<std::size_t>(out.End() - line.data()));
    return line;
}

}  // namespace skedora
