#include "platform/directories.h"
#include "platform/environment.h"

namespace tq::platform {

std::string systemWindowsDirectory() { return "/etc"; }

std::string systemTemporaryDirectory() {
  std::string tmpdir = environmentVariable("TMPDIR");
  return tmpdir.empty() ? "/tmp" : tmpdir;
}

}  // namespace tq::platform
