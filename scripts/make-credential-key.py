#!/usr/bin/env python3
"""Makes a new 256-bit key pair for the credential cipher and writes it into the sources.

  src/transport/builtin_credential_key.cpp  the modulus and the public exponent (the library)
  tools/dev_credential_key.h                the private exponent and decipher(), for the
                                            stand-in supervisor and the tests only

Run it from anywhere: python3 scripts/make-credential-key.py. A new pair makes every cipher
text made with the old one unreadable, and the golden cipher texts of
tests/transport/credential_key_test.cpp must be made again (the script prints them).
Standard library only; randomness from the secrets module.
"""
import math
import os
import secrets

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
EXPONENT = 0x10001
GOLDEN = [b"secret", bytes(range(0x80, 0x90)) + b"\xff"]


def probably_prime(n, rounds=64):
    if n < 2:
        return False
    for p in (2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37):
        if n % p == 0:
            return n == p
    d, s = n - 1, 0
    while d % 2 == 0:
        d //= 2
        s += 1
    for _ in range(rounds):
        a = secrets.randbelow(n - 3) + 2
        x = pow(a, d, n)
        if x in (1, n - 1):
            continue
        for _ in range(s - 1):
            x = pow(x, 2, n)
            if x == n - 1:
                break
        else:
            return False
    return True


def prime(bits):
    while True:
        # The top two bits set make the product of two such primes exactly 2 * bits long.
        candidate = secrets.randbits(bits) | (3 << (bits - 2)) | 1
        if math.gcd(candidate - 1, EXPONENT) == 1 and probably_prime(candidate):
            return candidate


def encipher(plain, e, n):
    out = ""
    for i in range(0, len(plain), 16):
        block = plain[i:i + 16].ljust(16, b"\0")
        out += "%064x" % pow(int.from_bytes(block, "big"), e, n)
    return out


def main():
    while True:
        p, q = prime(128), prime(128)
        n = p * q
        if p != q and n.bit_length() == 256:
            break
    d = pow(EXPONENT, -1, math.lcm(p - 1, q - 1))
    modulus, exponent, private = "%064x" % n, "%08x" % EXPONENT, "%064x" % d

    with open(os.path.join(ROOT, "src/transport/builtin_credential_key.cpp"), "w") as f:
        f.write(f"""// The built-in credential key: the public half. Made by scripts/make-credential-key.py,
// which also writes the matching private exponent into tools/dev_credential_key.h.
#include "transport/credential_key.h"

namespace tq {{

const char kCredentialModulus[] = "{modulus}";
const char kCredentialExponent[] = "{exponent}";

}}  // namespace tq
""")
    with open(os.path.join(ROOT, "tools/dev_credential_key.h"), "w") as f:
        f.write(f"""// The private half of the built-in credential key, for the stand-in supervisor and the tests.
// Never part of the library: only programs under tools/ and the tests include it. Made by
// scripts/make-credential-key.py together with src/transport/builtin_credential_key.cpp.
#pragma once

#include <cstdint>

#include "records/tq_string.h"
#include "transport/big_integer.h"
#include "transport/credential_key.h"

namespace tq::dev {{

inline constexpr char kCredentialPrivateExponent[] =
    "{private}";

// Inverts CredentialKey::encipher() with the built-in key: the text is cut into blocks of the
// modulus's width, each block m = c^d mod n must fit in 16 bytes, and the zero bytes that fill
// the last block are dropped. False, with `plain` empty, for a text that is not such blocks.
// `plain` is a secure string.
inline bool decipher(const TqString& cipher, TqString& plain) {{
  plain.clear();
  plain.setSecure(true);
  BigInteger modulus, exponent;
  BigInteger::fromHex(kCredentialModulus, modulus);
  BigInteger::fromHex(kCredentialPrivateExponent, exponent);
  const int32_t width = 8 * modulus.wordCount();
  if (cipher.length() % width != 0) return false;
  TqString bytes;
  bytes.setSecure(true);
  for (int32_t start = 0; start < cipher.length(); start += width) {{
    BigInteger c, m;
    if (!BigInteger::fromHex(cipher.view().substr(static_cast<size_t>(start),
                                                  static_cast<size_t>(width)),
                             c) ||
        c.isNegative() || !(c < modulus) || !BigInteger::modPow(c, exponent, modulus, m) ||
        m.bitLength() > 8 * CredentialKey::kBlockBytes) {{
      return false;
    }}
    for (int32_t i = CredentialKey::kBlockBytes; i-- > 0;) {{
      bytes.append(static_cast<char>((m.word(i / 4) >> (8 * (i % 4))) & 0xFF));
    }}
  }}
  int32_t length = bytes.length();
  while (length > 0 && bytes.at(length - 1) == '\\0') --length;
  plain.assign(bytes.c_str(), length);
  return true;
}}

}}  // namespace tq::dev
""")
    print("modulus ", modulus)
    print("exponent", exponent)
    print("private ", private)
    for g in GOLDEN:
        print("golden", g.hex(), encipher(g, EXPONENT, n))


if __name__ == "__main__":
    main()
