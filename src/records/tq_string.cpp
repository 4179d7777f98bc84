#include "records/tq_string.h"

#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

namespace tq {
namespace {

TqString::ReleaseObserver g_release_observer = nullptr;

// Zeroes memory in a way the optimiser may not drop as a dead store.
void secureZero(char* p, int32_t n) {
  volatile char* v = p;
  for (int32_t i = 0; i < n; ++i) v[i] = 0;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Largest buffer a string may hold; sizes are signed 32-bit.
constexpr int64_t kMaxCapacity = INT32_MAX;

int32_t clampCapacity(int64_t wanted) {
  return static_cast<int32_t>(wanted > kMaxCapacity ? kMaxCapacity : wanted);
}

}  // namespace

// A list of strings or a record with many string fields pays this size for each.
static_assert(sizeof(TqString) == 2 * sizeof(void*), "a string is its vtable pointer and a word");
// The inline text follows the word's lowest-order byte, which must come first in memory.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "inline strings need a little-endian word");
static_assert(alignof(std::max_align_t) >= 4, "blocks leave the two lowest address bits free");

void TqString::setInline(const char* bytes, int32_t count) {
  uintptr_t word = kInlineBit | (static_cast<uintptr_t>(count) << 2);
  // Built aside, as the bytes may be this string's own inline text.
  std::memcpy(reinterpret_cast<char*>(&word) + 1, bytes, static_cast<size_t>(count));
  reinterpret_cast<char*>(&word)[1 + count] = '\0';
  bits_ = word;
}

void TqString::moveToBlock(int32_t capacity) {
  uintptr_t text = bits_;
  int32_t n = inlineLength();
  reserve(capacity > n + 1 ? capacity : n + 1);  // the inline word is given up first
  std::memcpy(bytes(), reinterpret_cast<const char*>(&text) + 1, static_cast<size_t>(n) + 1);
  setLength(n);
}

void TqString::setReleaseObserver(ReleaseObserver observer) { g_release_observer = observer; }

TqString::TqString(const char* text) : TqString() { assign(text); }
TqString::TqString(const char* bytes, int32_t count) : TqString() { assign(bytes, count); }
TqString::TqString(std::string_view text) : TqString() {
  if (text.size() <= static_cast<size_t>(kMaxCapacity - 1))
    assign(text.data(), static_cast<int32_t>(text.size()));
}
TqString::TqString(const TqString& other) : Value(other) {
  assign(static_cast<const Value&>(other));
}
TqString::TqString(TqString&& other) noexcept : Value(other), bits_(other.bits_) {
  other.bits_ &= kSecureBit;  // the other string keeps its flag and no block
}
TqString::TqString(int value) : TqString() { assign(value); }
TqString::TqString(double value) : TqString() { assign(value); }

TqString& TqString::operator=(const TqString& other) {
  if (this != &other) assign(static_cast<const Value&>(other));
  return *this;
}

TqString& TqString::operator=(TqString&& other) noexcept {
  if (this != &other) {
    release(detach());
    bits_ = other.bits_;
    other.bits_ &= kSecureBit;
  }
  return *this;
}

TqString& TqString::operator=(const char* text) {
  assign(text);
  return *this;
}

void TqString::assign(const Value& other) {
  if (&other == this || other.classId() != kClassId) return;
  const auto& s = static_cast<const TqString&>(other);
  // The flag is taken over only after the copy: a buffer given up on the way still holds this
  // string's own bytes and is wiped under this string's own flag.
  if (s.length() == 0) {
    clear();
  } else {
    assign(s.c_str(), s.length());
  }
  setSecure(s.isSecure());
}

void TqString::release(Block* b) const {
  if (b == nullptr) return;
  if (isSecure()) secureZero(b->bytes(), b->capacity);
  if (g_release_observer) g_release_observer(b->bytes(), b->capacity);
  ::operator delete(b);
}

void TqString::reserve(int32_t n) {
  release(detach());
  int32_t capacity = n > kMinimumCapacity ? n : kMinimumCapacity;
  auto* b = static_cast<Block*>(::operator new(sizeof(Block) + static_cast<size_t>(capacity)));
  b->capacity = capacity;
  b->length = 0;
  b->bytes()[0] = '\0';
  bits_ = reinterpret_cast<uintptr_t>(b) | (bits_ & kSecureBit);
}

void TqString::assign(const char* text) {
  if (text == nullptr || isOwnText(text)) return;
  size_t n = std::strlen(text);
  if (n > static_cast<size_t>(kMaxCapacity - 1)) return;
  assign(text, static_cast<int32_t>(n));
}

void TqString::assign(const char* bytes, int32_t count) { assignBytes(bytes, count, false); }

void TqString::assignFitted(const char* bytes, int32_t count) { assignBytes(bytes, count, true); }

void TqString::assignBytes(const char* bytes, int32_t count, bool fitted) {
  if (bytes == nullptr || isOwnText(bytes)) return;
  if (count <= 0) {
    clear();
    return;
  }
  if (count > kMaxCapacity - 1) return;
  if (count <= kInlineCapacity && !hasBlock() && !isSecure()) {
    setInline(bytes, count);
    return;
  }
  if (isInline() || capacity() < int64_t{count} + 1) {
    // The source may lie inside the buffer that reserve() gives up: keep it alive until copied.
    // (An inline text is too short to hold a source that needs a buffer.)
    Block* old = detach();
    int64_t wanted = fitted ? ((int64_t{count} + 1 + sizeof(Block) + 7) & ~int64_t{7}) -
                                  static_cast<int64_t>(sizeof(Block))
                            : 4 * int64_t{count} + 4;
    reserve(clampCapacity(wanted));
    std::memcpy(this->bytes(), bytes, static_cast<size_t>(count));
    release(old);
  } else {
    std::memmove(this->bytes(), bytes, static_cast<size_t>(count));
  }
  setLength(count);
  this->bytes()[count] = '\0';
}

void TqString::assign(int value) {
  clear();
  append(value);
}

void TqString::assign(double value) {
  clear();
  append(value);
}

void TqString::clear() {
  if (isInline()) {
    bits_ = kInlineBit;  // length 0, a NUL first
  } else if (Block* b = block()) {
    b->length = 0;
    b->bytes()[0] = '\0';
  }
}

bool TqString::growKeeping(int64_t needed, int64_t wanted, const char* incoming, int32_t count) {
  if (needed > kMaxCapacity) return false;
  if (!isInline() && capacity() >= needed) return true;
  int32_t old_length = length();
  uintptr_t inline_text = bits_;
  const char* old_text = isInline() ? reinterpret_cast<const char*>(&inline_text) + 1 : nullptr;
  // Bytes appended from the inline text itself are read from the copy.
  auto at = reinterpret_cast<uintptr_t>(incoming), own = reinterpret_cast<uintptr_t>(inlineBytes());
  if (old_text && at >= own && at < own + kInlineCapacity) incoming = old_text + (at - own);
  Block* old = detach();
  reserve(clampCapacity(wanted));
  if (old_length > 0)
    std::memcpy(bytes(), old_text ? old_text : old->bytes(), static_cast<size_t>(old_length));
  setLength(old_length);
  // Bytes being appended may come from the old buffer: copy them before it goes.
  if (count > 0) std::memcpy(bytes() + old_length, incoming, static_cast<size_t>(count));
  release(old);
  return true;
}

// Whether a text of `total` bytes after an append stays inline (or starts inline on a string
// with no buffer).
bool TqString::fitsInline(int64_t total) const {
  return total <= kInlineCapacity && (isInline() || (!hasBlock() && !isSecure()));
}

void TqString::appendInline(const char* bytes, int32_t count) {
  char text[sizeof(uintptr_t)];
  int32_t n = length();
  std::memcpy(text, c_str(), static_cast<size_t>(n));
  std::memcpy(text + n, bytes, static_cast<size_t>(count));
  setInline(text, n + count);
}

void TqString::append(char c) {
  int32_t n = length();
  if (fitsInline(int64_t{n} + 1)) {
    appendInline(&c, 1);
    return;
  }
  if (!hasBlock() || capacity() < int64_t{n} + 2) {
    if (!growKeeping(int64_t{n} + 2, 4 * int64_t{n} + 8, nullptr, 0)) return;
  }
  char* at = bytes();
  at[n] = c;
  at[n + 1] = '\0';
  setLength(n + 1);
}

void TqString::append(const char* bytes, int32_t count) {
  if (bytes == nullptr || count <= 0) return;
  int64_t total = int64_t{length()} + count;
  if (fitsInline(total)) {
    appendInline(bytes, count);
    return;
  }
  if (!hasBlock() || capacity() < total + 1) {
    if (!growKeeping(total + 1, 4 * total + 4, bytes, count)) return;
  } else {
    std::memmove(this->bytes() + length(), bytes, static_cast<size_t>(count));
  }
  setLength(static_cast<int32_t>(total));
  this->bytes()[total] = '\0';
}

void TqString::append(const char* text) {
  if (text == nullptr || *text == '\0') return;
  size_t n = std::strlen(text);
  if (n > static_cast<size_t>(kMaxCapacity - 1)) return;
  append(text, static_cast<int32_t>(n));
}

void TqString::append(const TqString& other) {
  if (other.length() == 0) return;
  append(other.c_str(), other.length());
}

void TqString::append(std::string_view text) {
  if (text.size() > static_cast<size_t>(kMaxCapacity - 1)) return;
  append(text.data(), static_cast<int32_t>(text.size()));
}

void TqString::append(int value) {
  char buffer[32];
  append(buffer, std::snprintf(buffer, sizeof buffer, "%d", value));
}

void TqString::append(double value) {
  // "%f" of the largest doubles needs over 300 digits.
  char buffer[512];
  int n = std::snprintf(buffer, sizeof buffer, "%f", value);
  append(buffer, n < static_cast<int>(sizeof buffer) ? n : static_cast<int>(sizeof buffer) - 1);
}

void TqString::appendZeroPadded(int value, int width) {
  char format[32];
  std::snprintf(format, sizeof format, "%%0%dd", width < 0 ? 0 : width > 1000 ? 1000 : width);
  char buffer[1100];
  append(buffer, std::snprintf(buffer, sizeof buffer, format, value));
}

void TqString::appendAligned(int value, int width, char pad) {
  char buffer[32];
  int n = std::snprintf(buffer, sizeof buffer, "%d", value);
  for (int i = n; i < width; ++i) append(pad);
  append(buffer, n);
}

char TqString::at(int32_t position) const {
  if (position < 0 || position >= length()) return '\0';
  return c_str()[position];
}

std::unique_ptr<char[]> TqString::copyCString() const {
  std::unique_ptr<char[]> copy(new char[static_cast<size_t>(length()) + 1]);
  std::memcpy(copy.get(), c_str(), static_cast<size_t>(length()));
  copy[length()] = '\0';
  return copy;
}

int TqString::toInt() const { return toInt(view()); }

int TqString::toInt(std::string_view text) {
  size_t i = 0, n = text.size();
  auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < n && space(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;  // stops growing once past the range
  for (; i < n && isDigit(text[i]); ++i) {
    if (value <= int64_t{INT_MAX} + 1) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

double TqString::toDouble() const { return length() == 0 ? 0.0 : std::strtod(c_str(), nullptr); }

bool TqString::isInteger() const {
  std::string_view text = view();
  if (text.empty()) return false;
  if (!isDigit(text[0]) && text[0] != '-') return false;
  for (size_t i = 1; i < text.size(); ++i)
    if (!isDigit(text[i])) return false;
  return true;
}

bool TqString::isNumber() const {
  std::string_view text = view();
  if (text.empty()) return false;
  char first = text[0];
  if (!isDigit(first) && first != '-' && first != '+' && first != '.') return false;
  int dots = first == '.' ? 1 : 0;
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '.') {
      if (++dots > 1) return false;
    } else if (!isDigit(text[i])) {
      return false;
    }
  }
  return true;
}

bool TqString::hasNewline() const { return view().find_first_of("\n\r") != std::string_view::npos; }

bool TqString::hasWhitespace() const {
  return view().find_first_of(" \t\n\r") != std::string_view::npos;
}

bool TqString::contains(char c) const {
  return length() > 0 && std::memchr(c_str(), c, static_cast<size_t>(length())) != nullptr;
}

bool TqString::contains(const char* text) const {
  if (text == nullptr) return false;
  return view().find(text) != std::string_view::npos;
}

bool TqString::equals(const TqString& other) const {
  if (length() != other.length()) return false;
  if (length() == 0) return true;
  return std::memcmp(c_str(), other.c_str(), static_cast<size_t>(length())) == 0;
}

bool TqString::equals(const TqString& other, int mode) const {
  if (length() != other.length()) return false;
  if (mode == 0) return equals(other);
  if (mode != 1) return false;
  for (int32_t i = 0; i < length(); ++i) {
    if (std::tolower(static_cast<unsigned char>(c_str()[i])) !=
        std::tolower(static_cast<unsigned char>(other.c_str()[i])))
      return false;
  }
  return true;
}

int TqString::compare(const TqString& other) const {
  if (length() == 0 && other.length() == 0) return 0;
  if (other.length() == 0) return 1;
  if (length() == 0) return -1;
  int r = std::strcmp(c_str(), other.c_str());
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

TqString TqString::printable() const {
  TqString out;
  for (int32_t i = 0; i < length(); ++i) {
    unsigned char c = static_cast<unsigned char>(c_str()[i]);
    if ((c >= 32 && c <= 126) || c == '\t' || c == '\r' || c == '\n') out.append(c_str()[i]);
  }
  return out;
}

TqString TqString::replaceAll(const TqString& search, const TqString& replacement) const {
  if (search.empty()) return *this;
  TqString out;
  std::string_view text = view();
  size_t from = 0;
  for (;;) {
    size_t hit = text.find(search.view(), from);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(from, hit - from));
    out.append(replacement);
    from = hit + static_cast<size_t>(search.length());
  }
  out.append(text.substr(from));
  return out;
}

void TqString::appendHexByte(uint8_t byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  append(kDigits[byte >> 4]);
  append(kDigits[byte & 0xF]);
}

int TqString::hexByte() const {
  if (length() == 0) return 0;
  if (length() == 1) return hexDigit(c_str()[0]);
  return hexDigit(c_str()[0]) * 16 + hexDigit(c_str()[1]);
}

uint32_t TqString::hexValue() const {
  uint32_t value = 0;
  for (int32_t i = 0; i < length(); ++i)
    value = (value << 4) + static_cast<uint32_t>(hexDigit(c_str()[i]));
  return value;
}

void TqString::dump() const {
  std::printf("TqString:\n\tsize: %d\n\tlength: %d\n\tdata: '%s'\n", capacity(), length(), c_str());
}

TqString operator+(const TqString& a, const TqString& b) {
  TqString out(a);
  out.append(b);
  return out;
}

std::ostream& operator<<(std::ostream& out, const TqString& s) { return out << s.view(); }

}  // namespace tq
