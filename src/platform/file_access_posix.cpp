#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/file_access.h"
#include "platform/file_system.h"
#include "platform/log_sink.h"

namespace tq::platform {

bool everyoneHasFullAccess(const std::string& path) {
  struct stat info;
  if (!usablePath(path) || ::stat(nativePath(path).c_str(), &info) != 0) {
    int error = usablePath(path) ? errno : EINVAL;
    logLine("WARNING: unable to get file security DACL [" + std::to_string(error) + "]");
    return false;
  }
  return otherBitsGrantFullAccess(static_cast<uint32_t>(info.st_mode));
}

bool setAccessListForTest(const std::string&, const std::vector<AccessEntry>&) { return false; }

}  // namespace tq::platform
