// Decodes arbitrary bytes as a nested record, by read plans and field by field (which must
// agree); whatever decodes must re-encode stably.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_records.h"
#include "platform/random.h"
#include "records/read_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  tq::platform::seedRandom(1);
  tq::fuzz::Everything first;
  int result = first.decode(data, static_cast<int32_t>(size));
  // Read field by field instead of by plans: the same record.
  tq::platform::seedRandom(1);
  tq::setReadPlans(false);
  tq::fuzz::Everything plain;
  int plain_result = plain.decode(data, static_cast<int32_t>(size));
  tq::setReadPlans(true);
  if (plain_result != result) std::abort();
  if (result != tq::kDecoded) return 0;
  first.encode();
  std::string once(first.encoded());
  plain.encode();
  if (std::string(plain.encoded()) != once) std::abort();
  tq::fuzz::Everything second;
  if (second.decode(first.buffer(), first.bufferLength()) != tq::kDecoded) std::abort();
  second.encode();
  if (second.numbers.count() == 0 && second.names.count() == 0 &&
      std::string(second.encoded()) != once)
    std::abort();  // without hashes (whose slot order may differ) the bytes must be the same
  return 0;
}
