// NormalizeTimeText on arbitrary bytes: the text is kept whole, and only the short forms of four,
// five and seven characters are completed, to eight characters.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "input/csv_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string normalized = skedora::NormalizeTimeText(text);
    const bool shortForm = size == 4 || size == 5 || size == 7;
    if (shortForm ? normalized.size() != 8 : normalized != text) {
        std::abort();
    }
    // Completed forms gain a leading "0", a trailing ":00", or both, around the text itself.
    const std::size_t at = size == 5 ? 0 : 1;
    if (shortForm && normalized.compare(at, size, text) != 0) {
        std::abort();
    }
    return 0;
}
