#include "transport/credential_key.h"

namespace tq {
namespace {

void appendLowerHexByte(TqString& out, uint8_t byte) {
  static const char kDigits[] = "0123456789abcdef";
  out.append(kDigits[byte >> 4]);
  out.append(kDigits[byte & 0xF]);
}

}  // namespace

bool CredentialKey::setModulus(const TqString& hex) {
  return BigInteger::fromHex(hex.view(), modulus_);
}

bool CredentialKey::setExponent(const TqString& hex) {
  return BigInteger::fromHex(hex.view(), exponent_);
}

void CredentialKey::setBuiltIn() {
  setModulus(kCredentialModulus);
  setExponent(kCredentialExponent);
}

bool CredentialKey::isUsable() const {
  return !modulus_.isNegative() && modulus_.bitLength() > 8 * kBlockBytes &&
         !exponent_.isNegative() && !exponent_.isZero();
}

TqString CredentialKey::encipher(const TqString& plain) const {
  TqString out;
  encipher(plain, out);
  return out;
}

bool CredentialKey::encipher(const TqString& plain, TqString& out) const {
  out.clear();
  if (!isUsable()) return false;
  const int32_t words = modulus_.wordCount();
  // Holds plain text as digits: a secure string wipes every buffer it gives up.
  TqString block;
  block.setSecure(true);
  for (int32_t start = 0; start < plain.length(); start += kBlockBytes) {
    block.clear();
    for (int32_t i = start; i < start + kBlockBytes; ++i)
      appendLowerHexByte(block, static_cast<uint8_t>(i < plain.length() ? plain.at(i) : 0));
    BigInteger m;
    BigInteger c;
    BigInteger::fromHex(block.view(), m);
    BigInteger::modPow(m, exponent_, modulus_, c);
    out.append(c.toHex(words));
  }
  return true;  // `block` wipes its buffer as it goes
}

}  // namespace tq
