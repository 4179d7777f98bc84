// tq::CredentialKey: the public-key transformation that keeps a password out of clear text on
// its way to the supervisor.
//
// encipher(plain) cuts the bytes into blocks of 16 (the last one filled up with zero bytes; an
// empty text gives no block and an empty result), reads each block as a 128-bit number m (its
// bytes as two lower-case hexadecimal digits each, first byte most significant), computes
// c = m^e mod n and writes c as hexadecimal text padded to the full width of the modulus: 8
// digits per word of n, 64 digits for the built-in 256-bit key. The blocks follow each other
// without separator; a receiver splits the text every width() digits. Every byte, 0x80 and
// above included, is two digits, so every block reads as the same number of bits.
//
// The plain text is never logged or copied into an ordinary buffer: the block texts are secure
// strings and the numbers wipe their words when they release them.
//
// The supervisor deciphers with the private exponent d (m = c^d mod n) and drops the zero bytes
// that fill the last block, so a password that itself ends in zero bytes loses them.
#pragma once

#include <cstdint>

#include "records/tq_string.h"
#include "transport/big_integer.h"

namespace tq {

// The library's built-in key: the modulus as 64 hexadecimal digits (256 bits), the public
// exponent as 8 (32 bits). scripts/make-credential-key.py makes a new pair; the supervisor
// must hold the matching private exponent.
extern const char kCredentialModulus[];
extern const char kCredentialExponent[];

class CredentialKey {
 public:
  static constexpr int32_t kBlockBytes = 16;

  // Both members zero: not usable until both are set.
  CredentialKey() = default;

  // False, and the member unchanged, for text that is not hexadecimal.
  bool setModulus(const TqString& hex);
  bool setExponent(const TqString& hex);
  // The built-in key.
  void setBuiltIn();

  const BigInteger& modulus() const { return modulus_; }
  const BigInteger& exponent() const { return exponent_; }

  // True when encipher() can work: a positive exponent and a modulus above every block
  // (at least 129 bits), so that no two blocks encipher alike.
  bool isUsable() const;
  // Hexadecimal digits per enciphered block (8 per word of the modulus).
  int32_t width() const { return 8 * modulus_.wordCount(); }

  // The cipher text; empty for an empty plain text and for a key that is not usable.
  TqString encipher(const TqString& plain) const;
  // The same, telling the two empty results apart: false (and `out` empty) when the key is
  // not usable.
  bool encipher(const TqString& plain, TqString& out) const;

 private:
  BigInteger modulus_;
  BigInteger exponent_;
};

}  // namespace tq
