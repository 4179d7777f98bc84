// TqString: the byte string of the whole library.
//
// It keeps a NUL after the last byte and may hold any byte when assigned from a pointer and a
// count. A short text (up to kInlineCapacity bytes) lives inside the string object itself; a
// longer one in one heap buffer that the string owns. Once a string has a buffer it keeps it,
// as clearing does. In secure mode the text always lives in a buffer, and every buffer the
// string gives up, on growth and on destruction, is overwritten with zeros first; passwords and
// other credentials live in secure strings.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "records/value.h"

namespace tq {

class TqString : public Value {
 public:
  static constexpr int32_t kClassId = 72;
  static constexpr int32_t kMinimumCapacity = 16;
  // The longest text held inside the string object, without a buffer: 6 bytes where pointers
  // are 64-bit, 2 where they are 32-bit.
  static constexpr int32_t kInlineCapacity = static_cast<int32_t>(sizeof(uintptr_t)) - 2;

  TqString() = default;
  TqString(const char* text);  // NOLINT(runtime/explicit): strings are made from literals freely
  TqString(const char* bytes, int32_t count);
  TqString(std::string_view text);  // NOLINT(runtime/explicit)
  TqString(const TqString& other);
  TqString(TqString&& other) noexcept;
  explicit TqString(int value);
  explicit TqString(double value);
  // Inline, so that an empty string (most of a decoded record's) costs a test and no call.
  ~TqString() override {
    if (hasBlock()) release(detach());
  }

  TqString& operator=(const TqString& other);
  TqString& operator=(TqString&& other) noexcept;
  TqString& operator=(const char* text);

  int32_t classId() const override { return kClassId; }
  // Copies the bytes and the secure flag of another string; other values are ignored.
  virtual void assign(const Value& other);

  // Assignment. A null pointer, or a pointer to this string's own buffer, is ignored.
  void assign(const char* text);
  // A count of 0 or less clears the string.
  void assign(const char* bytes, int32_t count);
  // The same, except that a buffer it takes fits the bytes (rounded up to a word) instead of
  // leaving room to grow: for decoders, whose strings are seldom appended to.
  void assignFitted(const char* bytes, int32_t count);
  void assign(int value);
  void assign(double value);
  // Length 0 and a NUL at the start of the buffer; the buffer stays.
  void clear();

  // Appending.
  void append(char c);
  void append(const char* bytes, int32_t count);  // ignored for null or count <= 0
  void append(const char* text);                  // ignored for null or ""
  void append(const TqString& other);             // ignored when other is empty
  void append(std::string_view text);
  void append(int value);
  void append(double value);
  // "%0<width>d": zero-padded to width.
  void appendZeroPadded(int value, int width);
  // Right-aligned to width: the pad characters first, then the "%d" text.
  void appendAligned(int value, int width, char pad);

  TqString& operator+=(char c) {
    append(c);
    return *this;
  }
  TqString& operator+=(const char* text) {
    append(text);
    return *this;
  }
  TqString& operator+=(const TqString& other) {
    append(other);
    return *this;
  }

  // Reading.
  const char* c_str() const {
    if (isInline()) return inlineBytes();
    const Block* b = block();
    return b ? b->bytes() : "";
  }
  int32_t length() const {
    if (isInline()) return inlineLength();
    const Block* b = block();
    return b ? b->length : 0;
  }
  bool empty() const { return length() == 0; }
  // The bytes the text may take without a new buffer (kInlineCapacity while inline).
  int32_t capacity() const {
    if (isInline()) return kInlineCapacity;
    const Block* b = block();
    return b ? b->capacity : 0;
  }
  std::string_view view() const {
    // Never a null pointer: an empty string views "" as c_str() gives it.
    return std::string_view(c_str(), static_cast<size_t>(length()));
  }
  std::string str() const { return std::string(view()); }
  // NUL for positions outside 0..length-1.
  char at(int32_t position) const;
  // A fresh NUL-terminated copy owned by the caller.
  std::unique_ptr<char[]> copyCString() const;
  // atoi / atof of the text (0 for an empty string; out-of-range integers are clamped).
  int toInt() const;
  // The same for any text: leading white space, a sign, decimal digits up to the first other
  // byte; 0 without digits, INT_MIN and INT_MAX beyond the range.
  static int toInt(std::string_view text);
  double toDouble() const;

  // Tests.
  bool isInteger() const;
  bool isNumber() const;
  bool hasNewline() const;
  bool hasWhitespace() const;
  bool contains(char c) const;
  bool contains(const char* text) const;

  // Comparisons (byte-wise; an empty string sorts before every non-empty one).
  bool equals(const TqString& other) const;
  // Mode 0: exact; mode 1: case-insensitive. Lengths must match; other modes never match.
  bool equals(const TqString& other, int mode) const;
  int compare(const TqString& other) const;

  // Transformations.
  // Keeps bytes 32..126, TAB, CR and LF; drops every other byte.
  TqString printable() const;
  // Replaces every non-overlapping occurrence, left to right; an empty search changes nothing.
  TqString replaceAll(const TqString& search, const TqString& replacement) const;

  // Hexadecimal.
  void appendHexByte(uint8_t byte);
  // The first two characters (or the only one) as a hexadecimal byte.
  int hexByte() const;
  // The whole text as a hexadecimal integer; non-digits shift without adding.
  uint32_t hexValue() const;

  void setSecure(bool secure) {
    if (secure && isInline()) moveToBlock(kMinimumCapacity);
    bits_ = (bits_ & ~kSecureBit) | (secure ? kSecureBit : 0);
  }
  bool isSecure() const { return (bits_ & kSecureBit) != 0; }

  // "TqString:" and the size, length and text lines, on standard output.
  void dump() const;

  // Test seam: called with every buffer the library's strings give up, after a secure wipe and
  // just before the memory is released. Pass nullptr to remove.
  using ReleaseObserver = void (*)(const char* buffer, int32_t capacity);
  static void setReleaseObserver(ReleaseObserver observer);

 private:
  // The buffer is one heap block: its capacity and length, then the bytes and a NUL after the
  // last. The string is the virtual table pointer and one word, `bits_`, which is one of
  //   0 or kSecureBit        empty, no buffer (secure or not);
  //   block | kSecureBit?    the block's address (blocks are aligned, so its two lowest bits
  //                          are free) with the secure flag in the lowest bit;
  //   inline                 the lowest byte is (length << 2) | kInlineBit, the bytes after it
  //                          hold the text and its NUL (never secure).
  struct Block {
    int32_t capacity;  // bytes after the header
    int32_t length;
    char* bytes() { return reinterpret_cast<char*>(this + 1); }
    const char* bytes() const { return reinterpret_cast<const char*>(this + 1); }
  };
  static constexpr uintptr_t kSecureBit = 1;
  static constexpr uintptr_t kInlineBit = 2;
  static constexpr uintptr_t kFlagBits = kSecureBit | kInlineBit;

  bool isInline() const { return (bits_ & kInlineBit) != 0; }
  bool hasBlock() const { return bits_ > kSecureBit && !isInline(); }
  // The inline text starts at the word's second byte; its first is the lowest-order one.
  const char* inlineBytes() const { return reinterpret_cast<const char*>(&bits_) + 1; }
  int32_t inlineLength() const { return static_cast<int32_t>((bits_ & 0xFF) >> 2); }
  // Holds `count` bytes (at most kInlineCapacity) inline; the caller has given up any block.
  void setInline(const char* bytes, int32_t count);
  // Moves an inline text into a block of `capacity` bytes (more when the text needs it).
  void moveToBlock(int32_t capacity);
  // Whether `bytes` points at this string's own text.
  bool isOwnText(const char* bytes) const {
    return isInline() ? bytes == inlineBytes() : block() && bytes == block()->bytes();
  }

  Block* block() const {
    return isInline() ? nullptr : reinterpret_cast<Block*>(bits_ & ~kFlagBits);
  }
  char* bytes() const { return block()->bytes(); }  // only with a block
  void setLength(int32_t n) { block()->length = n; }

  // Wipes (when secure) and releases the buffer, then allocates max(n, 16) bytes.
  void reserve(int32_t n);
  // Gives up the block or the inline text; the caller releases a block through release().
  Block* detach() {
    Block* b = block();
    bits_ &= kSecureBit;
    return b;
  }
  // Wipes the block under this string's flag, tells the observer and frees it.
  void release(Block* b) const;
  // Grows to `wanted` bytes when fewer than `needed` are there, keeping the contents.
  bool growKeeping(int64_t needed, int64_t wanted, const char* incoming, int32_t count);
  bool fitsInline(int64_t total) const;
  void appendInline(const char* bytes, int32_t count);
  // assign() and assignFitted(): `fitted` chooses the capacity of a new buffer.
  void assignBytes(const char* bytes, int32_t count, bool fitted);

  uintptr_t bits_ = 0;
};

inline bool operator==(const TqString& a, const TqString& b) { return a.equals(b); }
inline bool operator!=(const TqString& a, const TqString& b) { return !a.equals(b); }
inline bool operator<(const TqString& a, const TqString& b) { return a.compare(b) < 0; }
inline bool operator>(const TqString& a, const TqString& b) { return a.compare(b) > 0; }
inline bool operator<=(const TqString& a, const TqString& b) { return a.compare(b) <= 0; }
inline bool operator>=(const TqString& a, const TqString& b) { return a.compare(b) >= 0; }
TqString operator+(const TqString& a, const TqString& b);
std::ostream& operator<<(std::ostream& out, const TqString& s);

}  // namespace tq
