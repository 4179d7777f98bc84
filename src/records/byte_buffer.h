// The growable byte buffer a record encodes into.
//
// Appending n bytes to L bytes in a buffer of capacity C reallocates only when C is too small,
// to (L + n) * 4 + extra bytes. The binary writer uses extra = 16; the text writer keeps a zero
// byte after the last character and uses extra = 20.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace tq {

class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;

  const uint8_t* data() const { return data_.get(); }
  int32_t length() const { return length_; }
  int32_t capacity() const { return capacity_; }
  // Direct filling (ByteCursor below): the room after the contents is [tail(), limit()); the
  // filler stores bytes there and counts them with commit(). reserve() makes room for n bytes
  // more (and the zero byte of text mode) as extend(n) would, without counting them.
  uint8_t* data() { return data_.get(); }
  uint8_t* tail() { return data_.get() + length_; }
  uint8_t* limit() { return data_.get() + capacity_; }
  bool textMode() const { return terminated_; }
  bool reserve(size_t n) {
    if (extend(n) == nullptr) return false;
    length_ -= static_cast<int32_t>(n);
    return true;
  }
  void commit(const uint8_t* end) {
    if (!data_) return;
    length_ = static_cast<int32_t>(end - data_.get());
    if (terminated_) data_[static_cast<size_t>(length_)] = 0;
  }
  std::string_view view() const {
    return std::string_view(reinterpret_cast<const char*>(data_.get()),
                            static_cast<size_t>(length_));
  }

  // Keeps the memory, forgets the contents.
  void reset() {
    length_ = 0;
    failed_ = false;
    if (terminated_ && data_) data_[0] = 0;
  }
  // Gives the memory back.
  void release() {
    data_.reset();
    length_ = capacity_ = 0;
    failed_ = false;
  }
  // Set when an append would pass 2 GiB; the contents are then incomplete.
  bool failed() const { return failed_; }
  // Text mode keeps a zero byte after the contents.
  void setTextMode(bool text) { terminated_ = text; }

  // The common case (room left) is inline; the rest grows the buffer.
  void append(const void* bytes, size_t n) {
    size_t extra = terminated_ ? 1 : 0;
    if (!failed_ && n + extra <= static_cast<size_t>(capacity_ - length_)) {
      if (n > 0) std::memcpy(data_.get() + length_, bytes, n);
      length_ += static_cast<int32_t>(n);
      if (terminated_) data_[static_cast<size_t>(length_)] = 0;
      return;
    }
    appendGrowing(bytes, n);
  }
  void append(std::string_view text) { append(text.data(), text.size()); }
  // Room for n more bytes, counted as written, for the caller to fill; null (and failed())
  // when the contents would pass 2 GiB. The buffer grows as append() would grow it.
  uint8_t* extend(size_t n) {
    size_t extra = terminated_ ? 1 : 0;
    if (failed_ || n + extra > static_cast<size_t>(capacity_ - length_)) return extendGrowing(n);
    uint8_t* at = data_.get() + length_;
    length_ += static_cast<int32_t>(n);
    if (terminated_) data_[static_cast<size_t>(length_)] = 0;
    return at;
  }
  void appendByte(uint8_t b) { append(&b, 1); }
  void appendInt16(int16_t v) {
    uint8_t b[2] = {static_cast<uint8_t>(static_cast<uint16_t>(v) >> 8), static_cast<uint8_t>(v)};
    append(b, 2);
  }
  void appendInt32(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    uint8_t b[4] = {static_cast<uint8_t>(u >> 24), static_cast<uint8_t>(u >> 16),
                    static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u)};
    append(b, 4);
  }
  // Overwrites four bytes already written (a length filled in after its payload).
  void patchInt32(int32_t at, int32_t v) {
    if (at < 0 || at + 4 > length_) return;
    uint32_t u = static_cast<uint32_t>(v);
    data_[at] = static_cast<uint8_t>(u >> 24);
    data_[at + 1] = static_cast<uint8_t>(u >> 16);
    data_[at + 2] = static_cast<uint8_t>(u >> 8);
    data_[at + 3] = static_cast<uint8_t>(u);
  }

 private:
  void appendGrowing(const void* bytes, size_t n);
  uint8_t* extendGrowing(size_t n);

  std::unique_ptr<uint8_t[]> data_;
  int32_t length_ = 0;
  int32_t capacity_ = 0;
  bool terminated_ = false;
  bool failed_ = false;
};

// Fills a buffer through a cursor into the room after its contents: the writers take room for
// each field or line, store into it and advance, and finish() counts what they stored into the
// buffer's length. When n bytes do not fit, the buffer grows exactly as extend(n) would grow it.
class ByteCursor {
 public:
  explicit ByteCursor(ByteBuffer& out)
      : out_(out), at_(out.tail()), end_(out.limit()), extra_(out.textMode() ? 1 : 0) {}
  ByteCursor(const ByteCursor&) = delete;
  ByteCursor& operator=(const ByteCursor&) = delete;

  // Room for n bytes at the cursor; null when the buffer cannot grow (it then says failed()).
  uint8_t* room(size_t n) {
    return static_cast<size_t>(end_ - at_) >= n + extra_ ? at_ : roomGrowing(n);
  }
  void advance(uint8_t* to) { at_ = to; }
  // The cursor, and the room after it that contents may fill (less the zero byte of text
  // mode). Growth moves the cursor.
  uint8_t* cursor() const { return at_; }
  size_t roomLeft() const {
    size_t left = static_cast<size_t>(end_ - at_);
    return left > extra_ ? left - extra_ : 0;
  }
  // Where the cursor is in the buffer, and the bytes at a position (growth moves them).
  int32_t position() const { return static_cast<int32_t>(at_ - out_.data()); }
  uint8_t* at(int32_t position) { return out_.data() + position; }
  bool failed() const { return out_.failed(); }
  // Counts what was stored into the buffer's length.
  void finish() {
    if (at_ != nullptr) out_.commit(at_);
  }

 private:
  uint8_t* roomGrowing(size_t n);
  ByteBuffer& out_;
  uint8_t* at_;
  uint8_t* end_;
  size_t extra_;  // the zero byte that text mode keeps after the contents
};

inline int32_t readInt32(const uint8_t* p) {
  return static_cast<int32_t>((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) |
                              (uint32_t{p[2]} << 8) | uint32_t{p[3]});
}
inline int16_t readInt16(const uint8_t* p) { return static_cast<int16_t>((p[0] << 8) | p[1]); }

// Big-endian stores into room already taken; each returns the byte after what it stored.
inline uint8_t* storeInt16(uint8_t* at, int16_t v) {
  auto u = static_cast<uint16_t>(v);
  at[0] = static_cast<uint8_t>(u >> 8);
  at[1] = static_cast<uint8_t>(u);
  return at + 2;
}
inline uint8_t* storeInt32(uint8_t* at, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  at[0] = static_cast<uint8_t>(u >> 24);
  at[1] = static_cast<uint8_t>(u >> 16);
  at[2] = static_cast<uint8_t>(u >> 8);
  at[3] = static_cast<uint8_t>(u);
  return at + 4;
}

}  // namespace tq
