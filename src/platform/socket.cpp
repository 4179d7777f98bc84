#include "platform/socket.h"

#include "platform/environment.h"

namespace tq::platform {

std::optional<uint32_t> parseDottedQuad(const std::string& text) {
  uint32_t value = 0;
  int groups = 0;
  size_t i = 0;
  while (groups < 4) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    uint32_t group = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      group = group * 10 + static_cast<uint32_t>(text[i] - '0');
      if (group > 255) return std::nullopt;
      ++i;
    }
    value = (value << 8) | group;
    if (++groups < 4) {
      if (i >= text.size() || text[i] != '.') return std::nullopt;
      ++i;
    }
  }
  if (i != text.size()) return std::nullopt;
  return value;
}

uint32_t broadcastAddress() {
  std::optional<uint32_t> redirected = parseDottedQuad(environmentVariable(kBroadcastVariable));
  return redirected ? *redirected : kLimitedBroadcast;
}

}  // namespace tq::platform
