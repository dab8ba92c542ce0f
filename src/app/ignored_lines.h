#pragma once

#include <string>
#include <string_view>

namespace skedora {

/** A count with its thousands grouped by commas: "5,120". */
std::string GroupedCount(long long count);

/**
 * The warning the command-line program prints when a CSV schedule had lines that were not
 * events: "5,120 lines of WEEK1.CSV were ignored: fewer than 18 fields". Empty for none.
 */
std::string IgnoredLinesWarning(std::string_view file, int lines);

/** The note a job report carries: "5,120 lines ignored: fewer than 18 fields". Empty for none. */
std::string IgnoredLinesNote(int lines);

}  // namespace skedora
