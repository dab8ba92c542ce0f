// The dBASE reader never crashes, never holds more than the table can take, and leaves slot 0
// empty, whatever bytes the table file holds.
#include <cstdlib>

#include "fuzz_file.h"
#include "input/dbase_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzFile file(data, size, "SCHED.DBF");
    skedora::EventTable table;
    const auto error = skedora::ReadDbaseSchedule(FuzzFile::Folder(), "SCHED.DBF", table);
    if (table.Count() > skedora::EventTable::kMaxEvents ||
        !(table[0] == skedora::ScheduleRecord{})) {
        std::abort();
    }
    (void)error;
    return 0;
}
