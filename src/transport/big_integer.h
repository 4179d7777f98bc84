// BigInteger: an arbitrary-precision integer for the credential cipher.
//
// A sign and 32-bit words, least significant first, with no zero words at the top (zero has no
// words and is never negative). Every buffer the words ever occupied is zeroed before it is
// released, because these numbers carry enciphered and plain passwords.
//
// Hexadecimal text in: an optional '-', then digits of either case. Out: "-" when negative,
// "0" for zero, else each word from the most significant as eight lower-case digits ("%.8x"),
// so a value always writes a multiple of eight digits (after the sign).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <vector>

#include "records/tq_string.h"

namespace tq {

// Zeroes memory in a way the compiler may not drop.
void wipeMemory(void* memory, size_t bytes);

// A std::allocator that wipes what it releases.
template <class T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() = default;
  template <class U>
  WipingAllocator(const WipingAllocator<U>&) {}  // NOLINT(runtime/explicit)
  T* allocate(size_t n) { return static_cast<T*>(::operator new(n * sizeof(T))); }
  void deallocate(T* p, size_t n) {
    wipeMemory(p, n * sizeof(T));
    ::operator delete(p);
  }
  template <class U>
  bool operator==(const WipingAllocator<U>&) const {
    return true;
  }
  template <class U>
  bool operator!=(const WipingAllocator<U>&) const {
    return false;
  }
};

class BigInteger {
 public:
  using Words = std::vector<uint32_t, WipingAllocator<uint32_t>>;

  BigInteger() = default;
  explicit BigInteger(uint32_t value);
  BigInteger(const BigInteger&) = default;
  BigInteger& operator=(const BigInteger&) = default;
  // A moved-from value is zero.
  BigInteger(BigInteger&& other) noexcept;
  BigInteger& operator=(BigInteger&& other) noexcept;
  ~BigInteger();

  // False, and `out` unchanged, for an empty text, a lone '-' or a character that is not a
  // hexadecimal digit.
  static bool fromHex(std::string_view text, BigInteger& out);
  // The text form above. `min_words` pads with leading zero words (zero then writes as
  // zeros, not "0"): a fixed width for values that must be told apart in a run of text.
  TqString toHex(int32_t min_words = 0) const;

  bool isZero() const { return words_.empty(); }
  bool isNegative() const { return negative_; }
  bool isOdd() const { return !words_.empty() && (words_[0] & 1u) != 0; }
  int32_t wordCount() const { return static_cast<int32_t>(words_.size()); }
  // Word i (0 least significant); 0 beyond the top.
  uint32_t word(int32_t i) const;
  // Bits needed for the magnitude (0 for zero).
  int32_t bitLength() const;
  bool bit(int32_t i) const;

  // -1, 0 or 1 for less, equal, greater, with the signs.
  static int compare(const BigInteger& a, const BigInteger& b);
  // The same for the magnitudes alone.
  static int compareMagnitude(const BigInteger& a, const BigInteger& b);

  static BigInteger add(const BigInteger& a, const BigInteger& b);
  static BigInteger subtract(const BigInteger& a, const BigInteger& b);
  static BigInteger multiply(const BigInteger& a, const BigInteger& b);
  // The remainder of |a| divided by |n| (shift and subtract); false when n is zero.
  static bool remainder(const BigInteger& a, const BigInteger& n, BigInteger& out);

  // base^exponent mod modulus by binary square-and-multiply over the exponent's bits, from the
  // most significant. An odd modulus multiplies in Montgomery form; an even one reduces by
  // remainder() after each product. False when the modulus is not positive or the base or the
  // exponent is negative.
  static bool modPow(const BigInteger& base, const BigInteger& exponent, const BigInteger& modulus,
                     BigInteger& out);

  // The words themselves (for tests and the Montgomery code).
  const Words& words() const { return words_; }

 private:
  void trim();

  bool negative_ = false;
  Words words_;
};

inline bool operator==(const BigInteger& a, const BigInteger& b) {
  return BigInteger::compare(a, b) == 0;
}
inline bool operator!=(const BigInteger& a, const BigInteger& b) { return !(a == b); }
inline bool operator<(const BigInteger& a, const BigInteger& b) {
  return BigInteger::compare(a, b) < 0;
}

}  // namespace tq
