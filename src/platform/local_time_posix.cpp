#include <time.h>

#include "platform/local_time.h"

namespace tq::platform {

std::time_t currentTime() { return ::time(nullptr); }

bool localTime(std::time_t when, std::tm& out) { return ::localtime_r(&when, &out) != nullptr; }

}  // namespace tq::platform
