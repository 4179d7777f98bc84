#include "records/tq_string.h"

#include <cctype>
#include <climits>
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

void TqString::setReleaseObserver(ReleaseObserver observer) { g_release_observer = observer; }

TqString::TqString(const char* text) : TqString() { assign(text); }
TqString::TqString(const char* bytes, int32_t count) : TqString() { assign(bytes, count); }
TqString::TqString(std::string_view text) : TqString() {
  if (text.size() <= static_cast<size_t>(kMaxCapacity - 1))
    assign(text.data(), static_cast<int32_t>(text.size()));
}
TqString::TqString(const TqString& other) : Value(other), capacity_(0), secure_(0) {
  assign(static_cast<const Value&>(other));
}
TqString::TqString(TqString&& other) noexcept
    : Value(other),
      data_(std::move(other.data_)),
      length_(other.length_),
      capacity_(other.capacity_),
      secure_(other.secure_) {
  other.length_ = 0;
  other.capacity_ = 0;
}
TqString::TqString(int value) : TqString() { assign(value); }
TqString::TqString(double value) : TqString() { assign(value); }

TqString::~TqString() { release(detach(), capacity_); }

TqString& TqString::operator=(const TqString& other) {
  if (this != &other) assign(static_cast<const Value&>(other));
  return *this;
}

TqString& TqString::operator=(TqString&& other) noexcept {
  if (this != &other) {
    int32_t old_capacity = capacity_;
    release(detach(), old_capacity);
    data_ = std::move(other.data_);
    length_ = other.length_;
    capacity_ = other.capacity_;
    secure_ = other.secure_;
    other.length_ = 0;
    other.capacity_ = 0;
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
  if (s.length_ == 0) {
    clear();
  } else {
    assign(s.c_str(), s.length_);
  }
  secure_ = s.secure_;
}

TqString::Buffer TqString::detach() { return std::move(data_); }

void TqString::release(Buffer buffer, int32_t capacity) const {
  if (!buffer) return;
  if (secure_) secureZero(buffer.get(), capacity);
  if (g_release_observer) g_release_observer(buffer.get(), capacity);
}

void TqString::reserve(int32_t n) {
  int32_t old_capacity = capacity_;
  release(detach(), old_capacity);
  capacity_ = static_cast<uint32_t>(n > kMinimumCapacity ? n : kMinimumCapacity);
  data_ = Buffer(new char[capacity_]);
  data_[0] = '\0';
  length_ = 0;
}

void TqString::assign(const char* text) {
  if (text == nullptr || (data_ && text == data_.get())) return;
  size_t n = std::strlen(text);
  if (n > static_cast<size_t>(kMaxCapacity - 1)) return;
  assign(text, static_cast<int32_t>(n));
}

void TqString::assign(const char* bytes, int32_t count) {
  if (bytes == nullptr || (data_ && bytes == data_.get())) return;
  if (count <= 0) {
    clear();
    return;
  }
  if (count > kMaxCapacity - 1) return;
  if (static_cast<int64_t>(capacity_) < int64_t{count} + 1) {
    // The source may lie inside the buffer that reserve() gives up: keep it alive until copied.
    Buffer old = detach();
    int32_t old_capacity = capacity_;
    capacity_ = 0;
    reserve(clampCapacity(4 * int64_t{count} + 4));
    std::memcpy(data_.get(), bytes, static_cast<size_t>(count));
    release(std::move(old), old_capacity);
  } else {
    std::memmove(data_.get(), bytes, static_cast<size_t>(count));
  }
  length_ = count;
  data_[length_] = '\0';
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
  length_ = 0;
  if (data_) data_[0] = '\0';
}

bool TqString::growKeeping(int64_t needed, int64_t wanted, const char* incoming, int32_t count) {
  if (needed > kMaxCapacity) return false;
  if (capacity_ >= needed) return true;
  Buffer old = detach();
  int32_t old_length = length_;
  int32_t old_capacity = capacity_;
  capacity_ = 0;
  reserve(clampCapacity(wanted));
  if (old_length > 0) std::memcpy(data_.get(), old.get(), static_cast<size_t>(old_length));
  length_ = old_length;
  // Bytes being appended may come from the old buffer: copy them before it goes.
  if (count > 0) std::memcpy(data_.get() + length_, incoming, static_cast<size_t>(count));
  release(std::move(old), old_capacity);
  return true;
}

void TqString::append(char c) {
  if (!data_ || capacity_ < int64_t{length_} + 2) {
    if (!growKeeping(int64_t{length_} + 2, 4 * int64_t{length_} + 8, nullptr, 0)) return;
  }
  data_[length_++] = c;
  data_[length_] = '\0';
}

void TqString::append(const char* bytes, int32_t count) {
  if (bytes == nullptr || count <= 0) return;
  int64_t total = int64_t{length_} + count;
  if (!data_ || capacity_ < total + 1) {
    if (!growKeeping(total + 1, 4 * total + 4, bytes, count)) return;
  } else {
    std::memmove(data_.get() + length_, bytes, static_cast<size_t>(count));
  }
  length_ = static_cast<int32_t>(total);
  data_[length_] = '\0';
}

void TqString::append(const char* text) {
  if (text == nullptr || *text == '\0') return;
  size_t n = std::strlen(text);
  if (n > static_cast<size_t>(kMaxCapacity - 1)) return;
  append(text, static_cast<int32_t>(n));
}

void TqString::append(const TqString& other) {
  if (other.length_ == 0) return;
  append(other.c_str(), other.length_);
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
  if (position < 0 || position >= length_) return '\0';
  return data_[position];
}

std::unique_ptr<char[]> TqString::copyCString() const {
  std::unique_ptr<char[]> copy(new char[static_cast<size_t>(length_) + 1]);
  std::memcpy(copy.get(), c_str(), static_cast<size_t>(length_));
  copy[length_] = '\0';
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

double TqString::toDouble() const { return length_ == 0 ? 0.0 : std::strtod(c_str(), nullptr); }

bool TqString::isInteger() const {
  if (length_ == 0) return false;
  if (!isDigit(data_[0]) && data_[0] != '-') return false;
  for (int32_t i = 1; i < length_; ++i)
    if (!isDigit(data_[i])) return false;
  return true;
}

bool TqString::isNumber() const {
  if (length_ == 0) return false;
  char first = data_[0];
  if (!isDigit(first) && first != '-' && first != '+' && first != '.') return false;
  int dots = first == '.' ? 1 : 0;
  for (int32_t i = 1; i < length_; ++i) {
    if (data_[i] == '.') {
      if (++dots > 1) return false;
    } else if (!isDigit(data_[i])) {
      return false;
    }
  }
  return true;
}

bool TqString::hasNewline() const {
  for (int32_t i = 0; i < length_; ++i)
    if (data_[i] == '\n' || data_[i] == '\r') return true;
  return false;
}

bool TqString::hasWhitespace() const {
  for (int32_t i = 0; i < length_; ++i) {
    char c = data_[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') return true;
  }
  return false;
}

bool TqString::contains(char c) const {
  return length_ > 0 && std::memchr(data_.get(), c, static_cast<size_t>(length_)) != nullptr;
}

bool TqString::contains(const char* text) const {
  if (text == nullptr) return false;
  return view().find(text) != std::string_view::npos;
}

bool TqString::equals(const TqString& other) const {
  if (length_ != other.length_) return false;
  if (length_ == 0) return true;
  return std::memcmp(data_.get(), other.data_.get(), static_cast<size_t>(length_)) == 0;
}

bool TqString::equals(const TqString& other, int mode) const {
  if (length_ != other.length_) return false;
  if (mode == 0) return equals(other);
  if (mode != 1) return false;
  for (int32_t i = 0; i < length_; ++i) {
    if (std::tolower(static_cast<unsigned char>(data_[i])) !=
        std::tolower(static_cast<unsigned char>(other.data_[i])))
      return false;
  }
  return true;
}

int TqString::compare(const TqString& other) const {
  if (length_ == 0 && other.length_ == 0) return 0;
  if (other.length_ == 0) return 1;
  if (length_ == 0) return -1;
  int r = std::strcmp(c_str(), other.c_str());
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

TqString TqString::printable() const {
  TqString out;
  for (int32_t i = 0; i < length_; ++i) {
    unsigned char c = static_cast<unsigned char>(data_[i]);
    if ((c >= 32 && c <= 126) || c == '\t' || c == '\r' || c == '\n') out.append(data_[i]);
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
  if (length_ == 0) return 0;
  if (length_ == 1) return hexDigit(data_[0]);
  return hexDigit(data_[0]) * 16 + hexDigit(data_[1]);
}

uint32_t TqString::hexValue() const {
  uint32_t value = 0;
  for (int32_t i = 0; i < length_; ++i)
    value = (value << 4) + static_cast<uint32_t>(hexDigit(data_[i]));
  return value;
}

void TqString::dump() const {
  std::printf("TqString:\n\tsize: %d\n\tlength: %d\n\tdata: '%s'\n", capacity_, length_, c_str());
}

TqString operator+(const TqString& a, const TqString& b) {
  TqString out(a);
  out.append(b);
  return out;
}

std::ostream& operator<<(std::ostream& out, const TqString& s) { return out << s.view(); }

}  // namespace tq
