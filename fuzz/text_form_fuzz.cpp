// Reads arbitrary markup as a nested record; what it reads must write and read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_records.h"
#include "platform/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  tq::platform::seedRandom(1);
  tq::fuzz::Everything first;
  if (first.decodeText(reinterpret_cast<const char*>(data), static_cast<int32_t>(size)) != 0)
    return 0;
  first.encodeText();
  std::string text = "<pack>" + std::string(first.encoded()) + "</pack>";
  tq::fuzz::Everything second;
  int r = second.decodeText(text.data(), static_cast<int32_t>(text.size()));
  // Control bytes other than TAB, LF and CR cannot be carried by the markup; everything else
  // must come back.
  if (r != 0 && r != tq::kTextMalformed) std::abort();
  if (r == 0) {
    second.encodeText();
    if (second.numbers.count() == 0 && second.names.count() == 0 &&
        std::string(second.encoded()) != std::string(first.encoded()))
      std::abort();
  }
  return 0;
}
