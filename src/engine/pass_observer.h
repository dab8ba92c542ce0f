#pragma once
#include <string_view>
#include "model/error.h"
#include "model/schedule_record.h"
namespace skedora {
/** What a conversion pass reports as it goes: every member does nothing unless overridden. */
class PassObserver {
  public:
    virtual ~PassObserver() = default;
    /** Record number `record` has blank From call letters and is passed over. */
    virtual void EventSkipped(int /*record*/) {}
    /** The event as read, before any rule. */
    virtual void EventRead(int /*record*/, const ScheduleRecord& /*event*/) {}
    /** A delete rule removed the event (as read). */
    virtual void EventDeleted(int /*record*/, const ScheduleRecord& /*event*/) {}
    /** The event after the change rules, written as output line `outputCount` (line without CR LF). */
    virtual void EventWritten(int /*record*/, int /*outputCount*/, const ScheduleRecord& /*event*/,
                              std::string_view /*line*/) {}
};
}  // namespace skedora
