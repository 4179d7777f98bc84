#include "platform/identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace tq::platform {
namespace {

TEST(IdentityTest, FirstNonZeroAdapterIsChosen) {
  HardwareAddress zero{};
  HardwareAddress first{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  HardwareAddress second{0x02, 0, 0, 0, 0, 0x01};
  EXPECT_EQ(firstNonZeroAddress({zero, first, second}), first);
  EXPECT_EQ(firstNonZeroAddress({second, first}), second);
  // A single non-zero byte anywhere counts.
  HardwareAddress last_byte{0, 0, 0, 0, 0, 1};
  EXPECT_EQ(firstNonZeroAddress({zero, last_byte}), last_byte);
  EXPECT_FALSE(firstNonZeroAddress({zero, zero}).has_value());
  EXPECT_FALSE(firstNonZeroAddress({}).has_value());
}

TEST(IdentityTest, HostAndUserAreKnown) {
  std::string host = hostName();
  EXPECT_FALSE(host.empty());
  EXPECT_LT(host.size(), 1024u);
  EXPECT_FALSE(userName().empty());
  EXPECT_LT(userName().size(), 256u);
}

#ifdef __linux__
// The kernel also publishes every interface's address as text under /sys/class/net.
std::set<HardwareAddress> publishedAddresses() {
  std::set<HardwareAddress> found;
  std::error_code ec;
  for (const auto& interface : std::filesystem::directory_iterator("/sys/class/net", ec)) {
    std::ifstream in(interface.path() / "address");
    std::string text;
    if (!(in >> text) || text.size() != 17) continue;
    HardwareAddress address{};
    for (size_t i = 0; i < 6; ++i) {
      address[i] = static_cast<uint8_t>(std::stoi(text.substr(3 * i, 2), nullptr, 16));
    }
    if (address != HardwareAddress{}) found.insert(address);
  }
  return found;
}

TEST(IdentityTest, AdapterListMatchesWhatTheKernelPublishes) {
  std::set<HardwareAddress> listed;
  for (const HardwareAddress& address : adapterAddresses()) {
    if (address != HardwareAddress{}) listed.insert(address);
  }
  EXPECT_EQ(listed, publishedAddresses());
}
#endif

}  // namespace
}  // namespace tq::platform
