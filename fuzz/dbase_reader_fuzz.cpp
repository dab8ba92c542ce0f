// The dBASE reader never crashes, never holds more than the table can take, and leaves slot 0
// empty, whatever bytes the table file holds. The bytes are read from memory, through the same
// checks and table library as a file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "input/dbase_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Only read; fmemopen wants a writable pointer all the same.
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    skedora::EventTable table;
    table.Append().pgm = "earlier job";
    const auto error = skedora::ReadDbaseScheduleFrom(file, "SCHED.DBF", table);
    if (table.Count() > skedora::EventTable::kMaxEvents ||
        !(table[0] == skedora::ScheduleRecord{})) {
        std::abort();
    }
    (void)error;
    return 0;
}
