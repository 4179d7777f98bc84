#include <windows.h>

#include "platform/sleep.h"

namespace tq::platform {

void realSleepMilliseconds(int32_t milliseconds) {
  if (milliseconds <= 0) return;
  Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace tq::platform
