#include <ifaddrs.h>
#include <pwd.h>
#include <unistd.h>
#ifdef __linux__
#include <netpacket/packet.h>
#endif

#include <cstring>
#include <vector>

#include "platform/environment.h"
#include "platform/identity.h"

namespace tq::platform {

std::vector<HardwareAddress> adapterAddresses() {
  std::vector<HardwareAddress> addresses;
#ifdef __linux__
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return addresses;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET) continue;
    const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
    if (link->sll_halen < 6) continue;
    HardwareAddress address;
    std::memcpy(address.data(), link->sll_addr, address.size());
    addresses.push_back(address);
  }
  ::freeifaddrs(list);
#endif
  return addresses;
}

std::string userName() {
  long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
  passwd entry;
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name && found->pw_name[0]) {
    return found->pw_name;
  }
  std::string name = environmentVariable("LOGNAME");
  return name.empty() ? environmentVariable("USER") : name;
}

std::string hostName() {
  char buffer[1024];
  if (::gethostname(buffer, sizeof(buffer)) != 0) return std::string();
  buffer[sizeof(buffer) - 1] = '\0';
  return buffer;
}

}  // namespace tq::platform
