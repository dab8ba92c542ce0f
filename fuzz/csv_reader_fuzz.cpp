// The CSV reader never crashes and never holds more than the table can take.
#include <cstdlib>

#include "fuzz_file.h"
#include "input/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFile file(data, size, "SCHED.CSV");
    skedora::EventTable table;
    const auto error = skedora::ReadCsvSchedule(file.path(), table);
    if (table.Count() > skedora::EventTable::kMaxEvents ||
        !(table[0] == skedora::ScheduleRecord{})) {
        std::abort();
    }
    (void)error;
    return 0;
}
