#include "model/event_table.h"

namespace skedora {

void EventTable::ResetEventTable() {
    m_slots.assign(1, ScheduleRecord{});
    IgnoredLines = 0;
}

ScheduleRecord& EventTable::Append() {
    return m_slots.emplace_back();
}

}  // namespace skedora
