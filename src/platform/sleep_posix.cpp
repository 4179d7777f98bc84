#include <cerrno>
#include <ctime>

#include "platform/sleep.h"

namespace tq::platform {

void realSleepMilliseconds(int32_t milliseconds) {
  if (milliseconds <= 0) return;
  timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  // A signal cuts nanosleep short; the rest of the pause is still owed.
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

}  // namespace tq::platform
