// Parses arbitrary bytes as a received datagram. An accepted body never reaches past the
// datagram, and building a datagram from it gives the same body back.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "transport/framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65535) return 0;
  tq::Error error;
  int32_t n = -1;
  std::unique_ptr<uint8_t[]> body = tq::parseDatagram(data, static_cast<int32_t>(size), error, n);
  if (!body) {
    if (error.code() != 30 && error.code() != 31) std::abort();
    return 0;
  }
  if (n <= 0 || static_cast<size_t>(n) + 5 > size) std::abort();
  if (std::memcmp(body.get(), data + 5, static_cast<size_t>(n)) != 0) std::abort();
  std::vector<uint8_t> datagram;
  if (!tq::buildDatagram(body.get(), n, datagram, error)) std::abort();
  if (std::memcmp(datagram.data(), data, 5) != 0) std::abort();
  return 0;
}
