// The private half of the built-in credential key, for the stand-in supervisor and the tests.
// Never part of the library: only programs under tools/ and the tests include it. Made by
// scripts/make-credential-key.py together with src/transport/builtin_credential_key.cpp.
#pragma once

#include <cstdint>

#include "records/tq_string.h"
#include "transport/big_integer.h"
#include "transport/credential_key.h"

namespace tq::dev {

inline constexpr char kCredentialPrivateExponent[] =
    "578df83bbadf32f84c102a712109b8137139ea99a8fd506ce36cc1c1a39ef689";

// Inverts CredentialKey::encipher() with the built-in key: the text is cut into blocks of the
// modulus's width, each block m = c^d mod n must fit in 16 bytes, and the zero bytes that fill
// the last block are dropped. False, with `plain` empty, for a text that is not such blocks.
// `plain` is a secure string.
inline bool decipher(const TqString& cipher, TqString& plain) {
  plain.clear();
  plain.setSecure(true);
  BigInteger modulus, exponent;
  BigInteger::fromHex(kCredentialModulus, modulus);
  BigInteger::fromHex(kCredentialPrivateExponent, exponent);
  const int32_t width = 8 * modulus.wordCount();
  if (cipher.length() % width != 0) return false;
  TqString bytes;
  bytes.setSecure(true);
  for (int32_t start = 0; start < cipher.length(); start += width) {
    BigInteger c, m;
    if (!BigInteger::fromHex(
            cipher.view().substr(static_cast<size_t>(start), static_cast<size_t>(width)), c) ||
        c.isNegative() || !(c < modulus) || !BigInteger::modPow(c, exponent, modulus, m) ||
        m.bitLength() > 8 * CredentialKey::kBlockBytes) {
      return false;
    }
    for (int32_t i = CredentialKey::kBlockBytes; i-- > 0;) {
      bytes.append(static_cast<char>((m.word(i / 4) >> (8 * (i % 4))) & 0xFF));
    }
  }
  int32_t length = bytes.length();
  while (length > 0 && bytes.at(length - 1) == '\0') --length;
  plain.assign(bytes.c_str(), length);
  return true;
}

}  // namespace tq::dev
