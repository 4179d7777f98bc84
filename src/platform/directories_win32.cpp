#include <windows.h>

#include "platform/directories.h"

namespace tq::platform {
namespace {
constexpr DWORD kBufferSize = 1024;
}

std::string systemWindowsDirectory() {
  char buffer[kBufferSize];
  UINT length = GetWindowsDirectoryA(buffer, kBufferSize);
  if (length == 0 || length >= kBufferSize) return std::string();
  return std::string(buffer, length);
}

std::string systemTemporaryDirectory() {
  char buffer[kBufferSize];
  DWORD length = GetTempPathA(kBufferSize, buffer);
  if (length == 0 || length >= kBufferSize) return std::string();
  return std::string(buffer, length);
}

}  // namespace tq::platform
