// Big-integer arithmetic against values computed independently (Python's integers).
#include "transport/big_integer.h"

#include <gtest/gtest.h>

#include <string>

namespace tq::test {
namespace {

BigInteger hex(const char* text) {
  BigInteger value;
  EXPECT_TRUE(BigInteger::fromHex(text, value)) << text;
  return value;
}

std::string text(const BigInteger& value, int32_t min_words = 0) {
  return value.toHex(min_words).str();
}

// Expected texts are in the library's form: whole words of eight digits.
std::string words(std::string digits) {
  bool negative = !digits.empty() && digits[0] == '-';
  if (negative) digits.erase(0, 1);
  while (digits.size() % 8 != 0) digits.insert(0, "0");
  return (negative ? "-" : "") + digits;
}

const char kA[] = "fedcba9876543210fedcba9876543210fedcba98765432100123456789abcdef";
const char kB[] = "123456789abcdef0fffffffff";
const char kN[] = "c3540fe47d4979787d98bf34cf33be390dd47d2ec80280a51463b1c913c394d3";

TEST(BigIntegerTest, HexTextRoundTripsInWholeWordsLowerCase) {
  EXPECT_EQ(text(hex(kA)), kA);
  EXPECT_EQ(text(hex("ABCdef")), "00abcdef");
  EXPECT_EQ(text(hex("-1")), "-00000001");
  EXPECT_EQ(text(hex("000000000000000000012")), "00000012");
  EXPECT_EQ(hex("000000000000000000012").wordCount(), 1);
  EXPECT_EQ(text(hex("1234567890")), "0000001234567890");
  // Zero has no words, is never negative, and writes as "0" unless a width is asked for.
  EXPECT_EQ(text(hex("0000")), "0");
  EXPECT_EQ(text(hex("-0")), "0");
  EXPECT_FALSE(hex("-0").isNegative());
  EXPECT_EQ(text(BigInteger()), "0");
  EXPECT_EQ(text(BigInteger(), 2), "0000000000000000");
  EXPECT_EQ(text(hex("abc"), 3), "000000000000000000000abc");
}

TEST(BigIntegerTest, BadHexTextIsRefusedAndLeavesTheValue) {
  BigInteger value(7);
  for (const char* bad : {"", "-", "12g4", "0x12", " 12", "12 ", "--1"}) {
    EXPECT_FALSE(BigInteger::fromHex(bad, value)) << bad;
    EXPECT_EQ(text(value), "00000007") << bad;
  }
}

TEST(BigIntegerTest, ComparisonHonoursSignAndLength) {
  EXPECT_EQ(BigInteger::compare(hex(kA), hex(kB)), 1);
  EXPECT_EQ(BigInteger::compare(hex(kB), hex(kA)), -1);
  EXPECT_EQ(BigInteger::compare(hex(kA), hex(kA)), 0);
  EXPECT_EQ(BigInteger::compare(hex("-5"), hex("3")), -1);
  EXPECT_EQ(BigInteger::compare(hex("-5"), hex("-3")), -1);
  EXPECT_EQ(BigInteger::compare(hex("-3"), hex("-5")), 1);
  EXPECT_EQ(BigInteger::compareMagnitude(hex("-5"), hex("3")), 1);
  EXPECT_EQ(BigInteger::compare(hex("100000000"), hex("ffffffff")), 1);
  EXPECT_TRUE(hex("0") == BigInteger());
}

TEST(BigIntegerTest, SubtractionAndAdditionAgreeWithKnownValues) {
  const std::string difference = "fedcba9876543210fedcba9876543210fedcba97530eca865555565789abcdf0";
  EXPECT_EQ(text(BigInteger::subtract(hex(kA), hex(kB))), difference);
  EXPECT_EQ(text(BigInteger::subtract(hex(kB), hex(kA))), "-" + difference);
  EXPECT_EQ(text(BigInteger::subtract(hex(kA), hex(kA))), "0");
  // Borrow across every word.
  EXPECT_EQ(text(BigInteger::subtract(hex("1000000000000000000000000"), hex("1"))),
            "ffffffffffffffffffffffff");
  EXPECT_EQ(text(BigInteger::subtract(hex("-5"), hex("-7"))), "00000002");
  EXPECT_EQ(text(BigInteger::subtract(hex("5"), hex("-7"))), "0000000c");
  EXPECT_EQ(text(BigInteger::add(hex("ffffffffffffffff"), hex("1"))), "000000010000000000000000");
  EXPECT_EQ(text(BigInteger::add(hex("-ffffffff"), hex("1"))), "-fffffffe");
}

TEST(BigIntegerTest, MultiplicationAgreesWithKnownValues) {
  EXPECT_EQ(text(BigInteger::multiply(hex(kA), hex(kB))),
            words("121fa00ad77d74233469e3a193fca989ad04a08093fca9899af9b6e37fbea034441c22cf98c3eb"
                  "a8876543211"));
  EXPECT_EQ(text(BigInteger::multiply(hex("ffffffff"), hex("ffffffff"))), "fffffffe00000001");
  EXPECT_EQ(text(BigInteger::multiply(hex("-3"), hex("4"))), "-0000000c");
  EXPECT_EQ(text(BigInteger::multiply(hex("-3"), BigInteger())), "0");
}

TEST(BigIntegerTest, RemainderAgreesWithKnownValues) {
  BigInteger r;
  ASSERT_TRUE(BigInteger::remainder(hex(kA), hex(kB), r));
  EXPECT_EQ(text(r), words("ff143bf190450d74478bcf4c"));
  ASSERT_TRUE(BigInteger::remainder(hex(kB), hex(kA), r));
  EXPECT_EQ(text(r), words(kB));
  EXPECT_FALSE(BigInteger::remainder(hex(kA), BigInteger(), r));
}

TEST(BigIntegerTest, ModularPowerInMontgomeryFormAgreesWithKnownValues) {
  BigInteger out;
  ASSERT_TRUE(BigInteger::modPow(hex(kA), hex(kB), hex(kN), out));
  EXPECT_EQ(text(out), "151d80007c7fcab5b6f484d4e609b87ca9b697f567c72b68b54d0956985d993f");
  ASSERT_TRUE(
      BigInteger::modPow(hex("ffffffffffffffffffffffffffffffff"), hex("10001"), hex(kN), out));
  EXPECT_EQ(text(out), "3707b8127a62d23b57b975b7f024d84029853c2f3a28a87e3c227c94130736c7");
  // One-word and two-word moduli.
  ASSERT_TRUE(BigInteger::modPow(hex("3"), hex("c8"), hex("f4243"), out));
  EXPECT_EQ(text(out), words("518a2"));
  ASSERT_TRUE(
      BigInteger::modPow(hex("deadbeef12345678"), hex("ffff"), hex("fffffffffffffffb"), out));
  EXPECT_EQ(text(out), "bd649752faf25443");
}

TEST(BigIntegerTest, ModularPowerWithAnEvenModulusAndEdgeValues) {
  BigInteger out;
  const std::string even = std::string(62, 'f') + "e";  // 2^252 - 2
  ASSERT_TRUE(BigInteger::modPow(hex(kA), hex("10001"), hex(even.c_str()), out));
  EXPECT_EQ(text(out), words("9d040f37518cdabc32eca7ccdf3632e58747c589c35412f93b1d46b25e64fd7"));
  ASSERT_TRUE(BigInteger::modPow(hex(kA), BigInteger(), hex(kN), out));
  EXPECT_EQ(text(out), "00000001");
  ASSERT_TRUE(BigInteger::modPow(hex(kA), hex("5"), hex("1"), out));
  EXPECT_EQ(text(out), "0");
  ASSERT_TRUE(BigInteger::modPow(BigInteger(), hex("5"), hex(kN), out));
  EXPECT_EQ(text(out), "0");
  // A base above the modulus is reduced first.
  BigInteger above = BigInteger::add(hex(kN), hex("2"));
  ASSERT_TRUE(BigInteger::modPow(above, hex("3"), hex(kN), out));
  EXPECT_EQ(text(out), "00000008");
  EXPECT_FALSE(BigInteger::modPow(hex("2"), hex("3"), BigInteger(), out));
  EXPECT_FALSE(BigInteger::modPow(hex("2"), hex("3"), hex("-7"), out));
  EXPECT_FALSE(BigInteger::modPow(hex("2"), hex("-3"), hex("7"), out));
}

TEST(BigIntegerTest, BitsAndWords) {
  BigInteger v = hex("100000001");
  EXPECT_EQ(v.bitLength(), 33);
  EXPECT_TRUE(v.bit(0));
  EXPECT_TRUE(v.bit(32));
  EXPECT_FALSE(v.bit(31));
  EXPECT_FALSE(v.bit(1000));
  EXPECT_EQ(v.word(1), 1u);
  EXPECT_EQ(v.word(5), 0u);
  EXPECT_EQ(BigInteger().bitLength(), 0);
  BigInteger moved(std::move(v));
  EXPECT_TRUE(v.isZero());  // NOLINT(bugprone-use-after-move): moved-from is zero
  EXPECT_EQ(moved.bitLength(), 33);
}

}  // namespace
}  // namespace tq::test
