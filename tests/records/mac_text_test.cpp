#include "records/mac_text.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(MacTextTest, SixBytesAsUpperCaseHexPairs) {
  EXPECT_EQ(formatMacAddress({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}), TqString("00:1A:2B:3C:4D:5E"));
  EXPECT_EQ(formatMacAddress({0xff, 0, 1, 0x10, 0xab, 9}), TqString("FF:00:01:10:AB:09"));
  EXPECT_EQ(TqString(kDefaultMacAddressText), TqString("00:00:00:00:00:00"));
}

TEST(MacTextTest, MixedCaseTextIsValidAndStoredUpperCase) {
  TqString text("00:1a:2B:3c:4D:5e");
  EXPECT_TRUE(isValidMacAddressText(text));
  EXPECT_EQ(normalizeMacAddressText(text), TqString("00:1A:2B:3C:4D:5E"));
}

TEST(MacTextTest, ReadingBackUsesTheFirstTwoDigitsOfEachPart) {
  EXPECT_EQ(normalizeMacAddressText("0:1:2:3:4:5"), TqString("00:01:02:03:04:05"));
  EXPECT_EQ(normalizeMacAddressText("abc:1:2:3:4:5"), TqString("AB:01:02:03:04:05"));
  EXPECT_TRUE(normalizeMacAddressText("00:00:00:00:00:00").empty());
  EXPECT_TRUE(normalizeMacAddressText("0:0:0:0:0:0").empty());
  EXPECT_TRUE(normalizeMacAddressText("").empty());
}

TEST(MacTextTest, ValidityNeedsSixHexPartsOfAtMost255) {
  EXPECT_TRUE(isValidMacAddressText("0:1:2:3:4:5"));
  EXPECT_TRUE(isValidMacAddressText("FF:ff:0ff:00FF:1:2"));
  EXPECT_FALSE(isValidMacAddressText("100:1:2:3:4:5"));   // 256
  EXPECT_FALSE(isValidMacAddressText("00:1A:2B:3C:4D"));  // five parts
  EXPECT_FALSE(isValidMacAddressText("00:1A:2B:3C:4D:5E:6F"));
  EXPECT_FALSE(isValidMacAddressText("00:1A:2B:3C:4D:5E "));
  EXPECT_FALSE(isValidMacAddressText("00::2B:3C:4D:5E"));
  EXPECT_FALSE(isValidMacAddressText("00:1G:2B:3C:4D:5E"));
  EXPECT_FALSE(isValidMacAddressText("00-1A-2B-3C-4D-5E"));
  EXPECT_FALSE(isValidMacAddressText(""));
  EXPECT_FALSE(isValidMacAddressText(TqString(std::string(100000, 'f') + ":1:2:3:4:5")));
}

}  // namespace
}  // namespace tq
