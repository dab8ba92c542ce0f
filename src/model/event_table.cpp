#include "model/event_table.h"

namespace skedora {

void EventTable::ResetEventTable() {
    m_slots.assign(1, ScheduleRecord{});
}

ScheduleRecord& EventTable::Append() {
    return m_slots.emplace_back();
}

}  // namespace skedora
