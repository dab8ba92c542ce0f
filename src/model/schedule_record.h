#pragma once

#include <cstdint>
#include <string>

namespace skedora {

/**
 * One event of a schedule. The fields are named after the CSV header; note that the record
 * holds the From pair (fch, fchnm_hd) before the To pair, while every file lists To first.
 */
struct ScheduleRecord {
    std::int16_t day = 0;
    std::string cur_date;
    std::string week_day;
    std::string on_time;
    std::string off_time;
    std::string pgm;
    std::string mon_beg;
    std::string mon_end;
    std::string hidef;
    std::string comments;
    std::int16_t fch = 0;
    std::string fchnm_hd;
    std::int16_t toch = 0;
    std::string tochnm_hd;
    std::string co;
    std::string systemname;
    std::string U1;
    std::string U2;

    bool operator==(const ScheduleRecord&) const = default;
};

}  // namespace skedora
