#include "transport/big_integer.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace tq {
namespace {

using Words = BigInteger::Words;

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void trimWords(Words& w) {
  while (!w.empty() && w.back() == 0) w.pop_back();
}

int compareWords(const Words& a, const Words& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  for (size_t i = a.size(); i-- > 0;) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

Words addWords(const Words& a, const Words& b) {
  const Words& longer = a.size() >= b.size() ? a : b;
  const Words& shorter = a.size() >= b.size() ? b : a;
  Words out(longer.size() + 1, 0);
  uint64_t carry = 0;
  for (size_t i = 0; i < longer.size(); ++i) {
    uint64_t sum = uint64_t{longer[i]} + (i < shorter.size() ? shorter[i] : 0) + carry;
    out[i] = static_cast<uint32_t>(sum);
    carry = sum >> 32;
  }
  out[longer.size()] = static_cast<uint32_t>(carry);
  trimWords(out);
  return out;
}

// a -= b in place; REQUIRES: a >= b.
void subtractInPlace(Words& a, const Words& b) {
  uint64_t borrow = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    uint64_t sub = uint64_t{i < b.size() ? b[i] : 0} + borrow;
    borrow = a[i] < sub ? 1 : 0;
    a[i] = static_cast<uint32_t>((uint64_t{a[i]} + (borrow << 32)) - sub);
  }
  trimWords(a);
}

// w = w * 2 + low_bit, in place.
void shiftLeftOne(Words& w, bool low_bit) {
  uint32_t carry = low_bit ? 1u : 0u;
  for (uint32_t& word : w) {
    uint32_t next = word >> 31;
    word = (word << 1) | carry;
    carry = next;
  }
  if (carry != 0) w.push_back(carry);
}

Words multiplyWords(const Words& a, const Words& b) {
  if (a.empty() || b.empty()) return Words();
  Words out(a.size() + b.size(), 0);
  for (size_t i = 0; i < a.size(); ++i) {
    uint64_t carry = 0;
    for (size_t j = 0; j < b.size(); ++j) {
      uint64_t t = uint64_t{a[i]} * b[j] + out[i + j] + carry;
      out[i + j] = static_cast<uint32_t>(t);
      carry = t >> 32;
    }
    out[i + b.size()] = static_cast<uint32_t>(carry);
  }
  trimWords(out);
  return out;
}

// Montgomery arithmetic modulo an odd n of k words, with R = 2^(32k).
class Montgomery {
 public:
  explicit Montgomery(const Words& n) : n_(n), k_(n.size()), t_(n.size() + 2, 0) {
    // Newton's iteration doubles the correct low bits of n^-1 mod 2^32 each round (an odd n
    // is its own inverse mod 8).
    uint32_t x = n_[0];
    for (int i = 0; i < 5; ++i) x *= 2u - n_[0] * x;
    n0_inverse_ = 0u - x;
  }

  // a * b / R mod n into out (k words); REQUIRES: a, b of k words and below n.
  void multiply(const Words& a, const Words& b, Words& out) {
    std::fill(t_.begin(), t_.end(), 0u);
    for (size_t i = 0; i < k_; ++i) {
      uint64_t carry = 0;
      for (size_t j = 0; j < k_; ++j) {
        uint64_t s = uint64_t{t_[j]} + uint64_t{a[j]} * b[i] + carry;
        t_[j] = static_cast<uint32_t>(s);
        carry = s >> 32;
      }
      uint64_t s = uint64_t{t_[k_]} + carry;
      t_[k_] = static_cast<uint32_t>(s);
      t_[k_ + 1] = static_cast<uint32_t>(s >> 32);

      uint32_t m = t_[0] * n0_inverse_;
      carry = (uint64_t{t_[0]} + uint64_t{m} * n_[0]) >> 32;
      for (size_t j = 1; j < k_; ++j) {
        uint64_t r = uint64_t{t_[j]} + uint64_t{m} * n_[j] + carry;
        t_[j - 1] = static_cast<uint32_t>(r);
        carry = r >> 32;
      }
      uint64_t r = uint64_t{t_[k_]} + carry;
      t_[k_ - 1] = static_cast<uint32_t>(r);
      t_[k_] = t_[k_ + 1] + static_cast<uint32_t>(r >> 32);
    }
    // t < 2n: one subtraction at most.
    bool at_least_n = t_[k_] != 0;
    if (!at_least_n) {
      at_least_n = true;
      for (size_t i = k_; i-- > 0;) {
        if (t_[i] != n_[i]) {
          at_least_n = t_[i] > n_[i];
          break;
        }
      }
    }
    out.assign(t_.begin(), t_.begin() + static_cast<std::ptrdiff_t>(k_));
    if (at_least_n) {
      uint64_t borrow = 0;
      for (size_t i = 0; i < k_; ++i) {
        uint64_t sub = uint64_t{n_[i]} + borrow;
        borrow = out[i] < sub ? 1 : 0;
        out[i] = static_cast<uint32_t>((uint64_t{out[i]} + (borrow << 32)) - sub);
      }
    }
  }

  size_t size() const { return k_; }

 private:
  const Words& n_;
  size_t k_;
  Words t_;
  uint32_t n0_inverse_ = 0;
};

Words padded(const Words& w, size_t k) {
  Words out(w);
  out.resize(k, 0);
  return out;
}

}  // namespace

void wipeMemory(void* memory, size_t bytes) {
  volatile unsigned char* p = static_cast<volatile unsigned char*>(memory);
  for (size_t i = 0; i < bytes; ++i) p[i] = 0;
}

BigInteger::BigInteger(uint32_t value) {
  if (value != 0) words_.push_back(value);
}

BigInteger::BigInteger(BigInteger&& other) noexcept
    : negative_(other.negative_), words_(std::move(other.words_)) {
  other.words_.clear();
  other.negative_ = false;
}

BigInteger& BigInteger::operator=(BigInteger&& other) noexcept {
  if (this != &other) {
    words_.swap(other.words_);
    negative_ = other.negative_;
    std::fill(other.words_.begin(), other.words_.end(), 0u);
    other.words_.clear();
    other.negative_ = false;
  }
  return *this;
}

BigInteger::~BigInteger() {
  // The allocator wipes the buffer when it is released.
}

void BigInteger::trim() {
  trimWords(words_);
  if (words_.empty()) negative_ = false;
}

bool BigInteger::fromHex(std::string_view text, BigInteger& out) {
  bool negative = false;
  if (!text.empty() && text.front() == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  BigInteger value;
  value.words_.assign((text.size() + 7) / 8, 0);
  size_t digit = 0;
  for (size_t i = text.size(); i-- > 0; ++digit) {
    int v = hexDigitValue(text[i]);
    if (v < 0) return false;
    value.words_[digit / 8] |= static_cast<uint32_t>(v) << (4 * (digit % 8));
  }
  value.negative_ = negative;
  value.trim();
  out = std::move(value);
  return true;
}

TqString BigInteger::toHex(int32_t min_words) const {
  static const char kDigits[] = "0123456789abcdef";
  TqString out;
  if (negative_) out.append('-');
  int32_t count = wordCount() > min_words ? wordCount() : min_words;
  if (count == 0) {
    out.append('0');
    return out;
  }
  for (int32_t i = count; i-- > 0;) {
    uint32_t w = word(i);
    for (int shift = 28; shift >= 0; shift -= 4) out.append(kDigits[(w >> shift) & 0xF]);
  }
  return out;
}

uint32_t BigInteger::word(int32_t i) const {
  return i >= 0 && i < wordCount() ? words_[static_cast<size_t>(i)] : 0u;
}

int32_t BigInteger::bitLength() const {
  if (words_.empty()) return 0;
  int32_t bits = 32 * (wordCount() - 1);
  for (uint32_t top = words_.back(); top != 0; top >>= 1) ++bits;
  return bits;
}

bool BigInteger::bit(int32_t i) const {
  if (i < 0) return false;
  return ((word(i / 32) >> (i % 32)) & 1u) != 0;
}

int BigInteger::compareMagnitude(const BigInteger& a, const BigInteger& b) {
  return compareWords(a.words_, b.words_);
}

int BigInteger::compare(const BigInteger& a, const BigInteger& b) {
  if (a.negative_ != b.negative_) return a.negative_ ? -1 : 1;
  int magnitude = compareMagnitude(a, b);
  return a.negative_ ? -magnitude : magnitude;
}

BigInteger BigInteger::add(const BigInteger& a, const BigInteger& b) {
  BigInteger out;
  if (a.negative_ == b.negative_) {
    out.words_ = addWords(a.words_, b.words_);
    out.negative_ = a.negative_;
  } else if (compareMagnitude(a, b) >= 0) {
    out.words_ = a.words_;
    subtractInPlace(out.words_, b.words_);
    out.negative_ = a.negative_;
  } else {
    out.words_ = b.words_;
    subtractInPlace(out.words_, a.words_);
    out.negative_ = b.negative_;
  }
  out.trim();
  return out;
}

BigInteger BigInteger::subtract(const BigInteger& a, const BigInteger& b) {
  BigInteger negated(b);
  if (!negated.isZero()) negated.negative_ = !negated.negative_;
  return add(a, negated);
}

BigInteger BigInteger::multiply(const BigInteger& a, const BigInteger& b) {
  BigInteger out;
  out.words_ = multiplyWords(a.words_, b.words_);
  out.negative_ = a.negative_ != b.negative_;
  out.trim();
  return out;
}

bool BigInteger::remainder(const BigInteger& a, const BigInteger& n, BigInteger& out) {
  if (n.isZero()) return false;
  Words r;
  r.reserve(n.words_.size() + 1);
  for (int32_t i = a.bitLength(); i-- > 0;) {
    shiftLeftOne(r, a.bit(i));
    if (compareWords(r, n.words_) >= 0) subtractInPlace(r, n.words_);
  }
  out.words_ = std::move(r);
  out.negative_ = false;
  out.trim();
  return true;
}

bool BigInteger::modPow(const BigInteger& base, const BigInteger& exponent,
                        const BigInteger& modulus, BigInteger& out) {
  if (modulus.isZero() || modulus.negative_ || base.negative_ || exponent.negative_) return false;
  BigInteger reduced;
  remainder(base, modulus, reduced);
  BigInteger one(1);
  BigInteger result;
  remainder(one, modulus, result);  // 1 mod n: 0 when n is 1
  if (modulus.wordCount() == 1 && modulus.word(0) == 1) {
    out = BigInteger();
    return true;
  }

  if (!modulus.isOdd()) {
    for (int32_t i = exponent.bitLength(); i-- > 0;) {
      remainder(multiply(result, result), modulus, result);
      if (exponent.bit(i)) remainder(multiply(result, reduced), modulus, result);
    }
    out = std::move(result);
    return true;
  }

  Montgomery mont(modulus.words_);
  size_t k = mont.size();
  // R^2 mod n turns a value into Montgomery form with one multiplication.
  BigInteger r_squared;
  r_squared.words_.assign(2 * k + 1, 0);
  r_squared.words_.back() = 1;
  remainder(r_squared, modulus, r_squared);
  Words r2 = padded(r_squared.words_, k);
  Words unit = padded(one.words_, k);
  Words x;
  mont.multiply(padded(reduced.words_, k), r2, x);
  Words acc;
  mont.multiply(unit, r2, acc);  // R mod n, the Montgomery form of 1
  Words scratch;
  for (int32_t i = exponent.bitLength(); i-- > 0;) {
    mont.multiply(acc, acc, scratch);
    acc.swap(scratch);
    if (exponent.bit(i)) {
      mont.multiply(acc, x, scratch);
      acc.swap(scratch);
    }
  }
  mont.multiply(acc, unit, scratch);
  result.words_ = std::move(scratch);
  result.negative_ = false;
  result.trim();
  out = std::move(result);
  return true;
}

}  // namespace tq
