#include "records/byte_buffer.h"

namespace tq {

void ByteBuffer::appendGrowing(const void* bytes, size_t n) {
  uint8_t* at = extendGrowing(n);
  if (at && n > 0) std::memcpy(at, bytes, n);
}

uint8_t* ByteBuffer::extendGrowing(size_t n) {
  int64_t extra = terminated_ ? 1 : 0;
  if (failed_ || n > static_cast<size_t>(INT32_MAX) ||
      int64_t{length_} + static_cast<int64_t>(n) + extra >
          INT32_MAX) {  // no encoding exceeds 2 GiB
    failed_ = true;
    return nullptr;
  }
  int64_t needed = int64_t{length_} + static_cast<int64_t>(n) + extra;
  if (capacity_ < needed) {
    int64_t grown = (int64_t{length_} + static_cast<int64_t>(n)) * 4 + (terminated_ ? 20 : 16);
    if (grown > INT32_MAX) grown = INT32_MAX;
    std::unique_ptr<uint8_t[]> bigger(new uint8_t[static_cast<size_t>(grown)]);
    if (length_ > 0) std::memcpy(bigger.get(), data_.get(), static_cast<size_t>(length_));
    data_ = std::move(bigger);
    capacity_ = static_cast<int32_t>(grown);
  }
  uint8_t* at = data_.get() + length_;
  length_ += static_cast<int32_t>(n);
  if (terminated_) data_[length_] = 0;
  return at;
}

uint8_t* ByteCursor::roomGrowing(size_t n) {
  if (out_.failed()) return nullptr;
  finish();
  if (!out_.reserve(n)) return nullptr;
  at_ = out_.tail();
  end_ = out_.limit();
  return at_;
}

}  // namespace tq
