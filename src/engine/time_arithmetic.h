#pragma once

#include <string>
#include <string_view>

namespace skedora {

/**
 * time plus or minus amount (operation "+" or "-"), both hh:mm:ss (or hh:mm), within one day.
 * Every failure, and every result outside the day, gives "00:00:00".
 */
std::string AddSubtractTime(std::string_view time, std::string_view amount,
                            std::string_view operation);

}  // namespace skedora
