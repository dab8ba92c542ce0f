#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/error.h"
#include "model/job_counts.h"
#include "model/local_date_time.h"

namespace skedora {

/** One job as the job history keeps it. */
struct JobLogEntry : JobCounts {
    enum class Outcome { Finished, Failed, SetUpFailed };

    LocalDateTime time;
    std::string source;
    std::string output;
    Outcome outcome = Outcome::Finished;
    std::string error;

    bool IsFailure() const { return outcome != Outcome::Finished; }
    bool operator==(const JobLogEntry&) const = default;
};

/** The time as the job history shows it: "2024-03-09 14:05:01". */
std::string JobLogTimeText(const LocalDateTime& time);

/** "finished", "failed" or "set-up failed". */
std::string_view OutcomeText(JobLogEntry::Outcome outcome);

/** One line of the log, without its line end: tab-separated fields, tabs and line breaks
 * escaped. */
std::string FormatJobLogLine(const JobLogEntry& entry);
/** The entry of a line; false for a line that is not one (it is then left out). */
bool ParseJobLogLine(std::string_view line, JobLogEntry& entry);

/**
 * The job history: the file JobLog.txt in the home, one line per job, oldest first, kept to the
 * last kMaxEntries jobs. Every append rewrites the whole file to a temporary file renamed into
 * place, so a crash leaves the old log or the new one.
 */
class JobLog {
  public:
    static constexpr std::size_t kMaxEntries = 1000;
    static constexpr const char* kFileName = "JobLog.txt";

    explicit JobLog(const std::filesystem::path& home);

    /** Reads the file; a missing file is an empty log. */
    MaybeError Load();
    /**
     * Adds the entry to the entries read from the file now (another program on the same home
     * may have added some) and rewrites it. When the file cannot be written the entry is still
     * kept here, and the error names the file.
     */
    MaybeError Append(const JobLogEntry& entry);

    const std::vector<JobLogEntry>& Entries() const { return m_entries; }
    const std::filesystem::path& File() const { return m_file; }

  private:
    void Trim();

    std::filesystem::path m_file;
    std::vector<JobLogEntry> m_entries;
};

}  // namespace skedora
