#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

#include "platform/memory_use.h"

namespace tq::platform {

MemoryUse memoryUse() {
  MemoryUse use;
  rusage usage{};
  // ru_maxrss is in kilobytes on Linux.
  if (::getrusage(RUSAGE_SELF, &usage) == 0) use.peak_bytes = int64_t{usage.ru_maxrss} * 1024;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    long pages = 0, resident = 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) == 2)
      use.current_bytes = int64_t{resident} * ::sysconf(_SC_PAGESIZE);
    std::fclose(statm);
  }
  return use;
}

}  // namespace tq::platform
