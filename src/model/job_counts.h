#pragma once

namespace skedora {

/** What a job did with its events: the figures every report of it carries. */
struct JobCounts {
    /** Events in the table. */
    int read = 0;
    /** Passed over for blank From call letters. */
    int skipped = 0;
    /** Removed by a delete rule. */
    int deleted = 0;
    /** Lines written to the output. */
    int written = 0;
    /** Lines of a CSV schedule that were not events (fewer than 18 fields); 0 for dBASE. */
    int ignoredLines = 0;

    bool operator==(const JobCounts&) const = default;
};

}  // namespace skedora
