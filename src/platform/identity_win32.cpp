// winsock2.h before windows.h, and both before the headers that build on them.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <winnetwk.h>
// clang-format on

#include <cstring>
#include <vector>

#include "platform/identity.h"

namespace tq::platform {

std::vector<HardwareAddress> adapterAddresses() {
  std::vector<HardwareAddress> addresses;
  constexpr ULONG kBufferSize = 20480;
  std::vector<IP_ADAPTER_INFO> buffer(kBufferSize / sizeof(IP_ADAPTER_INFO) + 1);
  ULONG size = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
  if (size > kBufferSize) size = kBufferSize;
  if (GetAdaptersInfo(buffer.data(), &size) != NO_ERROR) return addresses;
  for (const IP_ADAPTER_INFO* adapter = buffer.data(); adapter; adapter = adapter->Next) {
    HardwareAddress address{};
    std::memcpy(address.data(), adapter->Address, address.size());
    addresses.push_back(address);
  }
  return addresses;
}

std::string userName() {
  char buffer[256];
  DWORD size = sizeof(buffer);
  if (WNetGetUserA(nullptr, buffer, &size) != NO_ERROR) return std::string();
  buffer[sizeof(buffer) - 1] = '\0';
  return buffer;
}

std::string hostName() {
  // Winsock counts its users, so starting and stopping it here leaves any other user alone.
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return std::string();
  char buffer[1024];
  std::string name;
  if (gethostname(buffer, sizeof(buffer)) == 0) {
    buffer[sizeof(buffer) - 1] = '\0';
    name = buffer;
  }
  WSACleanup();
  return name;
}

}  // namespace tq::platform
