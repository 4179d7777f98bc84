#include "transport/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace tq {

bool SocketStream::waitReadable(int32_t ms) {
  return platform::waitSocket(socket_, ms, platform::WaitFor::kRead) == 1;
}

bool SocketStream::waitWritable(int32_t ms) {
  return platform::waitSocket(socket_, ms, platform::WaitFor::kWrite) == 1;
}

int32_t SocketStream::read(uint8_t* bytes, int32_t n) {
  return platform::receiveSome(socket_, bytes, n);
}

int32_t SocketStream::write(const uint8_t* bytes, int32_t n) {
  return platform::sendSome(socket_, bytes, n);
}

int32_t MemoryStream::read(uint8_t* bytes, int32_t n) {
  size_t take = std::min(
      {static_cast<size_t>(n < 0 ? 0 : n), input_.size() - position_, static_cast<size_t>(chunk_)});
  if (take > 0) std::memcpy(bytes, input_.data() + position_, take);
  position_ += take;
  return static_cast<int32_t>(take);
}

int32_t MemoryStream::write(const uint8_t* bytes, int32_t n) {
  if (n < 0) return -1;
  output_.insert(output_.end(), bytes, bytes + n);
  return n;
}

}  // namespace tq
