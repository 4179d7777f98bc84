#include "config/identity.h"

#include <gtest/gtest.h>

#include "platform/identity.h"
#include "records/mac_text.h"

namespace tq {
namespace {

TEST(IdentityTextTest, FirstNonZeroAdapterGivesTheText) {
  std::array<uint8_t, 6> zero{};
  std::array<uint8_t, 6> real{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  EXPECT_EQ(macAddressText({zero, real}), TqString("00:1A:2B:3C:4D:5E"));
  EXPECT_TRUE(macAddressText({zero}).empty());
  EXPECT_TRUE(macAddressText({}).empty());
}

TEST(IdentityTextTest, MachineAnswersMatchThePlatformLayer) {
  EXPECT_EQ(userName().str(), platform::userName());
  EXPECT_EQ(hostName().str(), platform::hostName());
  TqString mac = macAddressText();
  if (!mac.empty()) {
    EXPECT_TRUE(isValidMacAddressText(mac)) << mac;
    EXPECT_NE(mac, TqString(kDefaultMacAddressText));
  }
  EXPECT_EQ(mac, macAddressText(platform::adapterAddresses()));
}

}  // namespace
}  // namespace tq
