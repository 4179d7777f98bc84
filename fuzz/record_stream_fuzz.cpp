// Decodes arbitrary bytes as a nested record; whatever decodes must re-encode stably.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_records.h"
#include "platform/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  tq::platform::seedRandom(1);
  tq::fuzz::Everything first;
  if (first.decode(data, static_cast<int32_t>(size)) != tq::kDecoded) return 0;
  first.encode();
  std::string once(first.encoded());
  tq::fuzz::Everything second;
  if (second.decode(first.buffer(), first.bufferLength()) != tq::kDecoded) std::abort();
  second.encode();
  if (second.numbers.count() == 0 && second.names.count() == 0 &&
      std::string(second.encoded()) != once)
    std::abort();  // without hashes (whose slot order may differ) the bytes must be the same
  return 0;
}
