// The credential cipher with the built-in key, checked against cipher texts computed
// independently (scripts/make-credential-key.py prints them) and against the private half.
#include "transport/credential_key.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tools/dev_credential_key.h"

namespace tq::test {
namespace {

CredentialKey builtIn() {
  CredentialKey key;
  key.setBuiltIn();
  return key;
}

TqString bytes(const std::string& s) { return TqString(s.data(), static_cast<int32_t>(s.size())); }

bool lowerHex(const TqString& text) {
  for (char c : text.view())
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

TEST(CredentialKeyTest, BuiltInKeyHasTheFixedForms) {
  EXPECT_EQ(std::strlen(kCredentialModulus), 64u);
  EXPECT_EQ(std::strlen(kCredentialExponent), 8u);
  CredentialKey key = builtIn();
  EXPECT_TRUE(key.isUsable());
  EXPECT_EQ(key.modulus().bitLength(), 256);
  EXPECT_EQ(key.width(), 64);
  EXPECT_EQ(key.modulus().toHex(), TqString(kCredentialModulus));
  EXPECT_EQ(key.exponent().toHex(), TqString(kCredentialExponent));
}

TEST(CredentialKeyTest, SixteenBytesGiveOneBlockAndSeventeenTwo) {
  CredentialKey key = builtIn();
  TqString sixteen("0123456789abcdef");
  TqString one = key.encipher(sixteen);
  EXPECT_EQ(one.length(), 64);
  EXPECT_TRUE(lowerHex(one));
  TqString seventeen("0123456789abcdefZ");
  TqString two = key.encipher(seventeen);
  ASSERT_EQ(two.length(), 128);
  // The first block is the same sixteen bytes; the second holds "Z" and fifteen zero bytes.
  EXPECT_EQ(two.view().substr(0, 64), one.view());
  EXPECT_EQ(two.view().substr(64), key.encipher("Z").view());
  EXPECT_EQ(key.encipher(bytes(std::string("Z") + std::string(15, '\0'))), key.encipher("Z"));
}

TEST(CredentialKeyTest, EmptyTextGivesEmptyCipherText) {
  CredentialKey key = builtIn();
  TqString out("stale");
  EXPECT_TRUE(key.encipher(TqString(), out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(key.encipher(TqString()).empty());
}

TEST(CredentialKeyTest, CipherTextIsDeterministicAndMatchesKnownValues) {
  CredentialKey key = builtIn();
  EXPECT_EQ(key.encipher("secret"), key.encipher("secret"));
  EXPECT_EQ(builtIn().encipher("secret"),
            TqString("b1d1023edd24afccfe562f15ca056f3fd42dfa7afb0e2b4f80c0b709b5e19d2f"));
  EXPECT_NE(key.encipher("secret"), key.encipher("secreu"));
}

TEST(CredentialKeyTest, HighBytesAreTwoDigitsSoEveryBlockHasOneWidth) {
  std::string high;
  for (int b = 0x80; b < 0x90; ++b) high.push_back(static_cast<char>(b));
  high.push_back(static_cast<char>(0xFF));
  TqString cipher = builtIn().encipher(bytes(high));
  EXPECT_EQ(cipher, TqString("1975fc06c55883d9dd90f16a982038aa7a6fa2373b8693809d841e4519c31c34"
                             "52ac79b984b337916281b2bd803522fdfe0fbc28d079e3867dfca2b87262de51"));
}

TEST(CredentialKeyTest, DecipherWithThePrivateHalfGivesThePasswordBack) {
  CredentialKey key = builtIn();
  std::string every;
  for (int b = 1; b < 256; ++b) every.push_back(static_cast<char>(b));
  for (const std::string& password :
       {std::string(""), std::string("a"), std::string(15, 'x'), std::string(16, 'y'),
        std::string(17, 'z'), std::string("p\0ss", 4), every}) {
    TqString plain;
    ASSERT_TRUE(dev::decipher(key.encipher(bytes(password)), plain)) << password;
    EXPECT_EQ(plain.str(), password);
    EXPECT_TRUE(plain.isSecure());
  }
}

TEST(CredentialKeyTest, DecipherRefusesTextThatIsNotWholeBlocks) {
  CredentialKey key = builtIn();
  TqString cipher = key.encipher("secret");
  TqString plain("stale");
  EXPECT_FALSE(dev::decipher(TqString(cipher.view().substr(0, 63)), plain));
  EXPECT_TRUE(plain.empty());
  EXPECT_FALSE(dev::decipher(TqString(std::string(64, 'g')), plain));
  // A block at or above the modulus was not made by encipher().
  EXPECT_FALSE(dev::decipher(TqString(kCredentialModulus), plain));
  EXPECT_FALSE(dev::decipher(TqString(std::string(64, 'f')), plain));
}

TEST(CredentialKeyTest, KeysThatCannotEncipherSaySo) {
  CredentialKey none;
  EXPECT_FALSE(none.isUsable());
  TqString out("stale");
  EXPECT_FALSE(none.encipher("secret", out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(none.encipher("secret").empty());

  CredentialKey small;  // a 128-bit modulus could not tell some blocks apart
  ASSERT_TRUE(small.setModulus("ffffffffffffffffffffffffffffff61"));
  ASSERT_TRUE(small.setExponent("00010001"));
  EXPECT_FALSE(small.isUsable());

  CredentialKey zero_exponent;
  ASSERT_TRUE(zero_exponent.setModulus(kCredentialModulus));
  ASSERT_TRUE(zero_exponent.setExponent("00000000"));
  EXPECT_FALSE(zero_exponent.isUsable());

  CredentialKey key = builtIn();
  EXPECT_FALSE(key.setModulus("not hex"));
  EXPECT_FALSE(key.setExponent(""));
  EXPECT_TRUE(key.isUsable());  // unchanged
  EXPECT_EQ(key.encipher("secret"), builtIn().encipher("secret"));
}

// Every buffer a library string gives up while enciphering; the secure ones arrive wiped.
std::string released;
void recordRelease(const char* buffer, int32_t capacity) {
  released.append(buffer, static_cast<size_t>(capacity));
}

TEST(CredentialKeyTest, NoReleasedStringBufferHoldsThePasswordDigits) {
  CredentialKey key = builtIn();
  TqString password("Password-1234567Password-1234567tail");
  password.setSecure(true);
  released.clear();
  TqString::setReleaseObserver(recordRelease);
  {
    TqString cipher = key.encipher(password);
    EXPECT_EQ(cipher.length(), 3 * 64);
  }
  TqString::setReleaseObserver(nullptr);
  // "Password" as the block text writes it, and the raw bytes.
  EXPECT_EQ(released.find("50617373776f7264"), std::string::npos);
  EXPECT_EQ(released.find("Password"), std::string::npos);
  EXPECT_FALSE(released.empty());
}

}  // namespace
}  // namespace tq::test
