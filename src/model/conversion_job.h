#pragma once

#include <string>

#include "model/event_table.h"

namespace skedora {

/**
 * The state of the one conversion job that can run at a time: the event table and the
 * counters of the pass. The counters are wider than the table's 16-bit count so that a pass
 * over 32,767 events ends normally.
 */
struct ConversionJob {
    EventTable Events;
    int RecordIndex = 0;
    int OutputCount = 0;
    std::string InputFileTitle;

    /** Beyond the description's counters: for the end-of-job report. */
    int SkippedCount = 0;
    int DeletedCount = 0;
};

}  // namespace skedora
