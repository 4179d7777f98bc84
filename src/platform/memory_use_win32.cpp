#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include "platform/memory_use.h"

namespace tq::platform {

MemoryUse memoryUse() {
  MemoryUse use;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) {
    use.current_bytes = static_cast<int64_t>(counters.WorkingSetSize);
    use.peak_bytes = static_cast<int64_t>(counters.PeakWorkingSetSize);
  }
  return use;
}

}  // namespace tq::platform
