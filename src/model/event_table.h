#pragma once

#include <vector>

#include "model/schedule_record.h"

namespace skedora {

/**
 * The events of the current job. Slot 0 always exists and stays empty; events occupy
 * slots 1 to N in input order, N being the event count (at most kMaxEvents).
 */
class EventTable {
  public:
    static constexpr int kMaxEvents = 32767;

    EventTable() { ResetEventTable(); }

    /** The table becomes one empty slot 0, with no ignored lines. */
    void ResetEventTable();

    /** N, the highest index: the number of events. */
    int Count() const { return static_cast<int>(m_slots.size()) - 1; }
    bool IsFull() const { return Count() >= kMaxEvents; }

    /** Makes room for that many events without changing the count. */
    void Reserve(int events) { m_slots.reserve(static_cast<std::size_t>(events) + 1); }

    /** Adds one fresh slot after the last and returns it. The caller checks IsFull() first. */
    ScheduleRecord& Append();

    /** Slot i, 0 to N. */
    ScheduleRecord& operator[](int i) { return m_slots.at(static_cast<std::size_t>(i)); }
    const ScheduleRecord& operator[](int i) const {
        return m_slots.at(static_cast<std::size_t>(i));
    }

    /** Lines of a CSV schedule that were not events (fewer than 18 fields); 0 for dBASE. */
    int IgnoredLines = 0;

  private:
    std::vector<ScheduleRecord> m_slots;
};

}  // namespace skedora
