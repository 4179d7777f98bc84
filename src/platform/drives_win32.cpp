#include <windows.h>
#include <winnetwk.h>

#include <cctype>
#include <vector>

#include "platform/drives.h"

namespace tq::platform {
namespace {

constexpr DWORD kDeviceBufferSize = 4096;

bool isDriveName(const std::string& drive) {
  return drive.size() == 2 && std::isalpha(static_cast<unsigned char>(drive[0])) && drive[1] == ':';
}

}  // namespace

uint32_t logicalDriveMask() { return static_cast<uint32_t>(GetLogicalDrives()) & 0x3FFFFFFu; }

std::string networkDriveTarget(const std::string& drive) {
  if (!isDriveName(drive)) return std::string();
  // First with no buffer: a network drive answers ERROR_MORE_DATA with the size it needs.
  char probe = '\0';
  DWORD length = 0;
  if (WNetGetConnectionA(drive.c_str(), &probe, &length) != ERROR_MORE_DATA || length == 0) {
    return std::string();
  }
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  DWORD size = static_cast<DWORD>(buffer.size());
  if (WNetGetConnectionA(drive.c_str(), buffer.data(), &size) != NO_ERROR) return std::string();
  buffer.back() = '\0';
  return std::string(buffer.data());
}

std::string driveDeviceName(const std::string& drive) {
  if (!isDriveName(drive)) return std::string();
  std::vector<char> buffer(kDeviceBufferSize, '\0');
  DWORD written = QueryDosDeviceA(drive.c_str(), buffer.data(), kDeviceBufferSize);
  if (written == 0) return std::string();
  // The answer is a list of NUL-terminated names; the first one is what the drive stands for.
  buffer.back() = '\0';
  return std::string(buffer.data());
}

}  // namespace tq::platform
