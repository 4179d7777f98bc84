// Feeds arbitrary bytes to the TCP frame reader as a peer would send them, in chunks whose size
// the first byte chooses. A frame that is accepted must inflate to exactly its header's L, and
// writing its body again must give a frame that reads back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "transport/framing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  int32_t chunk = 1 + data[0] % 16;
  tq::MemoryStream in(std::vector<uint8_t>(data + 1, data + size), chunk);
  tq::Error error;
  int32_t n = -1;
  std::unique_ptr<uint8_t[]> body = tq::readTcpFrame(in, 60000, error, n);
  if (!body) {
    if (error.code() == 0) std::abort();
    return 0;
  }
  if (n <= 0 || size < 10) std::abort();
  tq::MemoryStream out({});
  if (tq::writeTcpFrame(out, body.get(), n, 60000, error) <= 0) std::abort();
  tq::MemoryStream again(out.written());
  int32_t m = -1;
  std::unique_ptr<uint8_t[]> back = tq::readTcpFrame(again, 60000, error, m);
  if (!back || m != n || std::memcmp(back.get(), body.get(), static_cast<size_t>(n)) != 0)
    std::abort();
  return 0;
}
