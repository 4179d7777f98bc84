// The raw reader takes whatever arrives, in any chunking, and hands back exactly those bytes
// (up to the frame limit).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "transport/framing.h"
#include "transport/limits.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  static bool limited = [] {
    tq::setMaxFrameBody(4096);
    return true;
  }();
  (void)limited;
  int32_t chunk = 1 + data[0] * 3;
  std::vector<uint8_t> input(data + 1, data + size);
  tq::MemoryStream in(input, chunk);
  tq::Error error;
  int32_t n = -1;
  std::unique_ptr<uint8_t[]> got = tq::readRaw(in, 0, error, n);
  if (!got) std::abort();
  size_t expected = input.size() < 4096 ? input.size() : 4096;
  if (static_cast<size_t>(n) != expected || in.unread() != input.size() - expected) std::abort();
  if (n > 0 && std::memcmp(got.get(), input.data(), static_cast<size_t>(n)) != 0) std::abort();
  return 0;
}
