// The files the program keeps in its home: the job history and the recent files.
#include <gtest/gtest.h>

#include "app/job_log.h"
#include "app/recent_files.h"
#include "support/expect_error.h"
#include "support/temp_dir.h"

namespace skedora {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

JobLogEntry Entry(int number, JobLogEntry::Outcome outcome = JobLogEntry::Outcome::Finished) {
    JobLogEntry entry;
    entry.time = {2024, 3, 9, 14, 5, number % 60};
    entry.source = "/in/WEEK" + std::to_string(number) + ".CSV";
    entry.output = "/out/WEEK" + std::to_string(number) + ".CP2";
    entry.read = number;
    entry.written = number;
    entry.outcome = outcome;
    return entry;
}

TEST(JobLogLine, FieldsSurviveTheRoundTripWhateverBytesTheyHold) {
    using enum JobLogEntry::Outcome;
    const std::tuple<std::string, std::string, JobLogEntry::Outcome> cases[] = {
        {"/in/WEEK.CSV", "", Finished},
        {"/in/a\tb\nc\rd.CSV", "line one\nline\ttwo", Failed},
        {"C:\\in\\t\\\\n.CSV", "\\", Failed},  // backslashes next to escapes
        {"/in/\xE9t\xE9.DBF", "Overflow (\xFF)", SetUpFailed},
    };
    for (const auto& [source, error, outcome] : cases) {
        JobLogEntry entry = Entry(7, outcome);
        entry.source = source;
        entry.error = error;
        entry.skipped = 2;
        entry.deleted = 3;
        entry.ignoredLines = 5120;
        const std::string line = FormatJobLogLine(entry);
        EXPECT_EQ(line.find('\n'), std::string::npos) << source;
        JobLogEntry parsed;
        ASSERT_TRUE(ParseJobLogLine(line, parsed)) << source;
        EXPECT_EQ(parsed, entry);
    }
}

TEST(JobLogLine, DamagedLinesAreRefused) {
    const std::string good = FormatJobLogLine(Entry(1));
    JobLogEntry parsed;
    // A line written before the ignored-line count was kept still reads.
    ASSERT_TRUE(ParseJobLogLine("2024-03-09 14:05:01\ta\tb\t1\t0\t0\t1\tfinished\t", parsed));
    EXPECT_EQ(parsed.ignoredLines, 0);
    for (const std::string& line : {
             std::string(),
             good.substr(0, good.size() / 2),
             good + "\textra",
             std::string("2024-03-09 14:05:01\ta\tb\t1\t0\t0\t1\tfinished-ish\t"),
             std::string("2024-03-09 14:05:01\ta\tb\t-1\t0\t0\t1\tfinished\t"),
             std::string("2024-03-09T14:05:01\ta\tb\t1\t0\t0\t1\tfinished\t"),
             std::string("2024-03-09 14:05:01\ta\\\tb\t1\t0\t0\t1\tfinished\t"),
             std::string("2024-03-09 14:05:01\ta\tb\\q\t1\t0\t0\t1\tfinished\t"),
             std::string("2024-03-09 14:05:01\ta\tb\t1\t0\t0\t1\tfinished\t\t-5"),
         }) {
        EXPECT_FALSE(ParseJobLogLine(line, parsed)) << line;
    }
}

// Another program on the same home (the window and the command line) appends between this
// one's appends; a damaged line (a hand edit) is left out.
TEST(JobLog, AppendsAreReadBackByALaterRunOrAnotherWriterSkipDamagedLinesKeepAThousand) {
    TempDir home;
    JobLog window(home.path());
    ASSERT_FALSE(window.Load());
    EXPECT_TRUE(window.Entries().empty());
    ASSERT_FALSE(window.Append(Entry(1)));
    WriteFile(home.file("JobLog.txt"), ReadFile(home.file("JobLog.txt")) + "garbage\r\n");
    JobLog other(home.path());
    ASSERT_FALSE(other.Append(Entry(2, JobLogEntry::Outcome::Failed)));
    ASSERT_FALSE(window.Append(Entry(3)));
    const std::vector<JobLogEntry> all = {Entry(1), Entry(2, JobLogEntry::Outcome::Failed),
                                          Entry(3)};
    EXPECT_EQ(window.Entries(), all);
    JobLog later(home.path());
    ASSERT_FALSE(later.Load());
    EXPECT_EQ(later.Entries(), all);
    EXPECT_EQ(ReadFile(home.file("JobLog.txt")), FormatJobLogLine(all[0]) + "\n" +
                                                     FormatJobLogLine(all[1]) + "\n" +
                                                     FormatJobLogLine(all[2]) + "\n");

    // Only the last thousand jobs are kept.
    std::string bytes;
    for (int number = 0; number < 1005; ++number) {
        bytes += FormatJobLogLine(Entry(number)) + "\n";
    }
    WriteFile(home.file("JobLog.txt"), bytes);
    JobLog log(home.path());
    ASSERT_FALSE(log.Load());
    EXPECT_EQ(log.Entries().size(), JobLog::kMaxEntries);
    ASSERT_FALSE(log.Append(Entry(2000)));
    ASSERT_EQ(log.Entries().size(), JobLog::kMaxEntries);
    EXPECT_EQ(log.Entries().front(), Entry(6));
    EXPECT_EQ(log.Entries().back(), Entry(2000));
    JobLog reread(home.path());
    ASSERT_FALSE(reread.Load());
    EXPECT_EQ(reread.Entries(), log.Entries());
}

TEST(HomeFiles, RecentNewestFirstOnceEachAtMostEightReadBackAndFailedWritesReported) {
    TempDir home;
    RecentFiles recent(home.path());
    ASSERT_FALSE(recent.Load());
    EXPECT_EQ(recent.LastFolder(), "");
    for (int n = 1; n <= 10; ++n) {
        ASSERT_FALSE(recent.Add("/in/W" + std::to_string(n) + ".CSV"));
    }
    ASSERT_FALSE(recent.Add("/in/W5.CSV"));    // again: it moves to the front
    ASSERT_FALSE(recent.Add("/in/a\nb.CSV"));  // cannot be a line: left out
    ASSERT_FALSE(recent.Add("/other/\xE9t\xE9.DBF"));
    const std::vector<std::string> expected{"/other/\xE9t\xE9.DBF", "/in/W5.CSV", "/in/W10.CSV",
                                            "/in/W9.CSV",           "/in/W8.CSV", "/in/W7.CSV",
                                            "/in/W6.CSV",           "/in/W4.CSV"};
    EXPECT_EQ(recent.Files(), expected);
    EXPECT_EQ(recent.LastFolder(), "/other/");

    RecentFiles later(home.path());
    ASSERT_FALSE(later.Load());
    EXPECT_EQ(later.Files(), expected);

    // A hand-edited file: blank and repeated lines, CR LF ends, no last line end.
    WriteFile(home.file("Recent.txt"), "/a/1.CSV\r\n\n/a/1.CSV\n/b/2.DBF");
    ASSERT_FALSE(later.Load());
    EXPECT_EQ(later.Files(), (std::vector<std::string>{"/a/1.CSV", "/b/2.DBF"}));
    ASSERT_FALSE(later.Add("/b/2.DBF"));
    EXPECT_EQ(ReadFile(home.file("Recent.txt")), "/b/2.DBF\n/a/1.CSV\n");

    // A failed write of either file is reported naming it, and the log entry is kept. A file
    // stands where the home folder should be: nothing can be written inside it.
    WriteFile(home.file("home"), "x");
    JobLog log(home.file("home"));
    RecentFiles blocked(home.file("home"));
    const std::pair<MaybeError, const char*> cases[] = {{log.Append(Entry(1)), "JobLog.txt"},
                                                        {blocked.Add("/a/1.CSV"), "Recent.txt"}};
    for (const auto& [error, file] : cases) {
        EXPECT_TRUE(test::IsError(error, errors::kPathFileAccess, {file}));
    }
    EXPECT_EQ(log.Entries().size(), 1u);
}

}  // namespace
}  // namespace skedora
