#include "records/tq_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace tq {
namespace {

TEST(TqStringTest, EmptyStringHasNoBufferAndEqualsOtherEmpties) {
  TqString a;
  TqString b("x");
  b.clear();
  EXPECT_STREQ(a.c_str(), "");
  EXPECT_EQ(a.length(), 0);
  EXPECT_EQ(a.capacity(), 0);
  EXPECT_TRUE(a.equals(b));
  EXPECT_EQ(a.compare(b), 0);
  TqString c("a text that needs a buffer");
  c.clear();
  EXPECT_EQ(c.capacity(), 4 * 26 + 4);  // clearing keeps the buffer
  c.assign("x");
  EXPECT_EQ(c.capacity(), 4 * 26 + 4) << "a string that has a buffer keeps using it";
}

TEST(TqStringTest, GrowthFollowsTheReservationRules) {
  TqString s("abc");
  s.setSecure(true);            // secure text is never inline: the buffer rules show
  EXPECT_EQ(s.capacity(), 16);  // 4*3+4 = 16
  s.setSecure(false);
  s.append("defghij");
  EXPECT_EQ(s.length(), 10);
  EXPECT_EQ(s.capacity(), 16);  // 10 bytes fit
  s.append("0123456789");
  EXPECT_EQ(s.capacity(), 84);  // 4 * (10 + 10) + 4
  EXPECT_STREQ(s.c_str(), "abcdefghij0123456789");

  TqString t("0123456789abcde");  // 15 bytes: capacity 64
  EXPECT_EQ(t.capacity(), 64);
  TqString one;
  one.setSecure(true);
  one.append('x');
  EXPECT_EQ(one.capacity(), 16);                 // 4*0+8 rounded up to the minimum
  TqString big("0123456789012345");              // 16 bytes
  for (int i = 0; i < 47; ++i) big.append('y');  // length 63 fits 68
  EXPECT_EQ(big.capacity(), 68);
  for (int i = 0; i < 3; ++i) big.append('z');  // length 66: needs 68, still fits
  EXPECT_EQ(big.capacity(), 68);
  big.append('z');  // at length 66 it needs 68, fits: length 67
  EXPECT_EQ(big.capacity(), 68);
  big.append('z');  // at length 67 it needs 69: reserves 4*67+8
  EXPECT_EQ(big.capacity(), 4 * 67 + 8);
  EXPECT_EQ(big.length(), 68);
}

TEST(TqStringTest, AssignmentIgnoresNullAndOwnBufferAndClearsOnZeroCount) {
  TqString s("hello");
  s.assign(static_cast<const char*>(nullptr));
  EXPECT_STREQ(s.c_str(), "hello");
  s.assign(s.c_str());
  EXPECT_STREQ(s.c_str(), "hello");
  s.assign(s.c_str() + 2);  // a tail of the own buffer is copied safely
  EXPECT_STREQ(s.c_str(), "llo");
  s.assign("abc", 0);
  EXPECT_TRUE(s.empty());
  TqString bytes("a\0b", 3);
  EXPECT_EQ(bytes.length(), 3);
  EXPECT_EQ(bytes.at(2), 'b');
  EXPECT_EQ(bytes.at(3), '\0');
  EXPECT_EQ(bytes.at(-1), '\0');
}

TEST(TqStringTest, AppendingItsOwnBytesWhileGrowingKeepsThem) {
  TqString s("0123456789");
  s.append(s.c_str(), s.length());
  s.append(s.c_str(), s.length());
  EXPECT_STREQ(s.c_str(), "0123456789012345678901234567890123456789");
}

TEST(TqStringTest, NumbersFormatAndParse) {
  EXPECT_STREQ(TqString(-42).c_str(), "-42");
  EXPECT_STREQ(TqString(1.5).c_str(), "1.500000");
  TqString s;
  s.appendZeroPadded(7, 4);
  s.append(' ');
  s.appendAligned(42, 5, '.');
  s.appendAligned(12345, 2, '.');
  EXPECT_STREQ(s.c_str(), "0007 ...4212345");
  EXPECT_EQ(TqString("12abc").toInt(), 12);
  EXPECT_EQ(TqString("").toInt(), 0);
  EXPECT_EQ(TqString("99999999999").toInt(), 2147483647);
  // What atoi reads: white space, a sign, digits; clamped at both ends of the range.
  EXPECT_EQ(TqString::toInt(" \t\n-2147483648"), INT_MIN);
  EXPECT_EQ(TqString::toInt("-99999999999999999999999"), INT_MIN);
  EXPECT_EQ(TqString::toInt("+17 3"), 17);
  EXPECT_EQ(TqString::toInt("- 5"), 0);
  EXPECT_EQ(TqString::toInt(std::string_view("42\0"
                                             "7",
                                             4)),
            42);
  EXPECT_EQ(TqString::toInt(std::string_view("123", 2)), 12);
  EXPECT_DOUBLE_EQ(TqString("2.25x").toDouble(), 2.25);
}

TEST(TqStringTest, IntegerAndNumberTests) {
  EXPECT_TRUE(TqString("-").isInteger());
  EXPECT_TRUE(TqString("-12").isInteger());
  EXPECT_FALSE(TqString("").isInteger());
  EXPECT_FALSE(TqString("1-2").isInteger());
  EXPECT_FALSE(TqString("+5").isInteger());
  EXPECT_TRUE(TqString("+5").isNumber());
  EXPECT_TRUE(TqString(".5").isNumber());
  EXPECT_FALSE(TqString("1.2.3").isNumber());
  EXPECT_FALSE(TqString("").isNumber());
  EXPECT_FALSE(TqString("1e5").isNumber());
}

TEST(TqStringTest, CharacterClassTests) {
  EXPECT_TRUE(TqString("a\rb").hasNewline());
  EXPECT_FALSE(TqString("a b").hasNewline());
  EXPECT_TRUE(TqString("a\tb").hasWhitespace());
  EXPECT_FALSE(TqString("ab").hasWhitespace());
  EXPECT_TRUE(TqString("abc").contains('c'));
  EXPECT_FALSE(TqString("").contains('c'));
  EXPECT_TRUE(TqString("abcdef").contains("cde"));
  EXPECT_FALSE(TqString("abcdef").contains("ced"));
}

TEST(TqStringTest, ComparisonsPutEmptyFirst) {
  TqString empty, a("a"), b("b");
  EXPECT_EQ(a.compare(empty), 1);
  EXPECT_EQ(empty.compare(a), -1);
  EXPECT_EQ(a.compare(b), -1);
  EXPECT_TRUE(empty < a);
  EXPECT_TRUE(b > a);
  EXPECT_TRUE(a <= a);
  EXPECT_TRUE(TqString("ABC").equals(TqString("abc"), 1));
  EXPECT_FALSE(TqString("ABC").equals(TqString("abc"), 0));
  EXPECT_FALSE(TqString("abc").equals(TqString("abc"), 2));
  EXPECT_FALSE(TqString("abc").equals(TqString("abcd"), 1));
}

TEST(TqStringTest, PrintableCopyDropsControlAndHighBytes) {
  const char bytes[] = {'a', 1, 'b', static_cast<char>(233), 'c', '\n', 127, '\t'};
  TqString s(bytes, sizeof bytes);
  EXPECT_STREQ(s.printable().c_str(), "abc\n\t");
}

TEST(TqStringTest, ReplaceAllScansLeftToRight) {
  EXPECT_STREQ(TqString("aaab").replaceAll("ab", "x").c_str(), "aax");
  EXPECT_STREQ(TqString("aaaa").replaceAll("aa", "b").c_str(), "bb");
  EXPECT_STREQ(TqString("abc").replaceAll("", "x").c_str(), "abc");
  EXPECT_STREQ(TqString("a.b.c").replaceAll(".", "").c_str(), "abc");
}

TEST(TqStringTest, HexadecimalOperations) {
  TqString s;
  s.appendHexByte(171);
  s.appendHexByte(5);
  EXPECT_STREQ(s.c_str(), "AB05");
  EXPECT_EQ(TqString("ff").hexByte(), 255);
  EXPECT_EQ(TqString("F").hexByte(), 15);
  EXPECT_EQ(TqString("1A2b").hexValue(), 0x1A2Bu);
  EXPECT_EQ(TqString("1x").hexValue(), 0x10u);  // non-digits shift without adding
}

TEST(TqStringTest, CopiesDuplicateBytesAndSecureFlag) {
  TqString a("secret");
  a.setSecure(true);
  TqString b(a);
  EXPECT_TRUE(b.isSecure());
  EXPECT_NE(a.c_str(), b.c_str());
  b.append('!');
  EXPECT_STREQ(a.c_str(), "secret");
  TqString c = std::move(b);
  EXPECT_STREQ(c.c_str(), "secret!");
  EXPECT_TRUE(c.isSecure());
}

TEST(TqStringTest, DumpWritesSizeLengthAndData) {
  TqString s("hi");
  testing::internal::CaptureStdout();
  s.dump();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "TqString:\n\tsize: " + std::to_string(TqString::kInlineCapacity) +
                "\n\tlength: 2\n\tdata: 'hi'\n");
}

// Secure strings wipe every buffer they give up. The observer sees each buffer just before it is
// released, so the check reads live memory only.
std::vector<std::vector<char>> g_released;
void recordRelease(const char* buffer, int32_t capacity) {
  g_released.emplace_back(buffer, buffer + capacity);
}

TEST(TqStringTest, SecureModeWipesBuffersOnGrowthAndDestruction) {
  g_released.clear();
  TqString::setReleaseObserver(recordRelease);
  {
    TqString s;
    s.setSecure(true);
    s.assign("password1");
    s.append(
        "-and-a-tail-long-enough-to-outgrow-forty-bytes");  // grows: the first buffer is given up
  }
  { TqString plain("visible"); }
  TqString::setReleaseObserver(nullptr);
  ASSERT_EQ(g_released.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    for (char c : g_released[i]) ASSERT_EQ(c, 0) << "secure buffer " << i << " not wiped";
  }
  EXPECT_EQ(std::memcmp(g_released[2].data(), "visible", 7), 0);  // plain strings are not wiped
}

// An empty string holds no buffer, yet its secure flag lasts: the first buffer it takes is
// wiped too. Moves carry the flag with the bytes; the string moved from keeps its own flag.
TEST(TqStringTest, TheSecureFlagOfAStringWithoutBufferLasts) {
  g_released.clear();
  TqString::setReleaseObserver(recordRelease);
  {
    TqString s;
    s.setSecure(true);
    EXPECT_EQ(s.capacity(), 0);
    EXPECT_TRUE(s.isSecure());
    s.assign("pin 1234");
    EXPECT_TRUE(s.isSecure());
    EXPECT_STREQ(s.c_str(), "pin 1234");
    s.setSecure(false);
    s.setSecure(true);
    EXPECT_STREQ(s.c_str(), "pin 1234") << "the flag leaves the bytes alone";
    TqString taken(std::move(s));
    EXPECT_TRUE(taken.isSecure());
    EXPECT_TRUE(s.isSecure());
    EXPECT_EQ(s.length(), 0);
    EXPECT_STREQ(s.c_str(), "");
    TqString plain("plain text");
    plain = std::move(taken);
    EXPECT_TRUE(plain.isSecure());
    EXPECT_STREQ(plain.c_str(), "pin 1234");
  }
  TqString::setReleaseObserver(nullptr);
  // "plain"'s own buffer (not wiped), then the secret's (wiped) when `plain` goes.
  ASSERT_EQ(g_released.size(), 2u);
  EXPECT_EQ(std::memcmp(g_released[0].data(), "plain text", 10), 0);
  for (char c : g_released[1]) ASSERT_EQ(c, 0) << "the secret's buffer was not wiped";
}

TEST(TqStringTest, CopyingAPlainStringOverASecureOneWipesTheSecret) {
  g_released.clear();
  TqString::setReleaseObserver(recordRelease);
  {
    TqString secret("hunter2");
    secret.setSecure(true);
    TqString plain("a plain value long enough to need a larger buffer");
    secret = plain;  // gives up the buffer that held the password
    EXPECT_FALSE(secret.isSecure());
    EXPECT_STREQ(secret.c_str(), plain.c_str());
    TqString::setReleaseObserver(nullptr);
  }
  ASSERT_EQ(g_released.size(), 1u);
  for (char c : g_released[0]) ASSERT_EQ(c, 0) << "the password's buffer was not wiped";
}

// Every way of making and changing a string, at every length around the inline limit: the
// text, its NUL and its length are the same whether it lives inside the string or in a buffer.
TEST(TqStringTest, TextsAroundTheInlineLimitBehaveAlike) {
  const std::string alphabet = "abcdefghijklmnopqrstuvwxyz";
  for (int n = 0; n <= TqString::kInlineCapacity + 2; ++n) {
    SCOPED_TRACE("length " + std::to_string(n));
    std::string text = alphabet.substr(0, static_cast<size_t>(n));
    TqString assigned(text.c_str()), fitted, appended, grown;
    fitted.assignFitted(text.data(), n);
    for (char c : text) appended.append(c);
    grown.append(text);
    grown.append("+tail");
    TqString copied(assigned), moved(std::move(TqString(assigned)));
    for (const TqString* s : {&assigned, &fitted, &appended, &copied, &moved}) {
      EXPECT_EQ(s->view(), text);
      EXPECT_EQ(s->length(), n);
      EXPECT_EQ(s->c_str()[n], '\0');
      EXPECT_GE(s->capacity(), n);
      EXPECT_TRUE(s->equals(assigned));
    }
    EXPECT_EQ(grown.view(), text + "+tail");
    TqString twice(assigned);
    twice.append(twice);  // its own bytes, inline or not
    EXPECT_EQ(twice.view(), text + text);
    TqString tail(assigned);
    if (n > 1) tail.assign(tail.c_str() + 1);  // a tail of its own text
    EXPECT_EQ(tail.view(), n > 1 ? text.substr(1) : text);
    TqString secret(assigned);
    secret.setSecure(true);  // moves an inline text into a buffer
    EXPECT_EQ(secret.view(), text);
    if (n > 0) {
      EXPECT_GE(secret.capacity(), TqString::kMinimumCapacity);
    }
    TqString cleared(assigned);
    cleared.clear();
    EXPECT_TRUE(cleared.empty());
    EXPECT_STREQ(cleared.c_str(), "");
  }
}

// A decoded string takes a buffer that fits it (rounded up to a word), not room to grow.
TEST(TqStringTest, AFittedAssignmentTakesNoRoomToGrow) {
  std::string text(69, 'v');
  TqString s;
  s.assignFitted(text.data(), 69);
  EXPECT_EQ(s.view(), text);
  EXPECT_GE(s.capacity(), 70);
  EXPECT_LT(s.capacity(), 70 + 8);
  s.append("more");
  EXPECT_EQ(s.view(), text + "more");
}

}  // namespace
}  // namespace tq
