#include "platform/identity.h"

namespace tq::platform {

std::optional<HardwareAddress> firstNonZeroAddress(const std::vector<HardwareAddress>& addresses) {
  for (const HardwareAddress& address : addresses) {
    for (uint8_t byte : address) {
      if (byte != 0) return address;
    }
  }
  return std::nullopt;
}

}  // namespace tq::platform
