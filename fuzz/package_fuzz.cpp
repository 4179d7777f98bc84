// Parses arbitrary bytes as a parenthesised package; writing the tree must be stable and no
// parsed tree may pass the nesting limit.
#include <cstdint>
#include <cstdlib>

#include "fuzz/checks/package_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  if (tq::fuzzPackageParser(data, size) != 0) std::abort();
  return 0;
}
