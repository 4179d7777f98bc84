// Wall-clock time and its local calendar form.
#pragma once

#include <cstdint>
#include <ctime>

namespace tq::platform {

// Seconds since 1970-01-01 UTC.
std::time_t currentTime();
// The local calendar time of `when`; false when the system cannot convert it.
bool localTime(std::time_t when, std::tm& out);

}  // namespace tq::platform
