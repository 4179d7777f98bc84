// How much memory this process uses: what the budget checks measure a reader by.
//
// POSIX: the resident set now (/proc/self/statm) and its high-water mark (getrusage). Windows:
// the working set and its peak (GetProcessMemoryInfo). Zero where the system cannot tell.
#pragma once

#include <cstdint>

namespace tq::platform {

struct MemoryUse {
  int64_t current_bytes = 0;
  int64_t peak_bytes = 0;
};

MemoryUse memoryUse();

}  // namespace tq::platform
