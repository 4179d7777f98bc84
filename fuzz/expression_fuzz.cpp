// Parses arbitrary bytes in each of the three expression syntaxes (and as a comma list), then
// evaluates: no input may crash, exhaust the stack or build a tree past the depth limit.
#include <cstdint>
#include <cstdlib>

#include "fuzz/checks/expression_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  if (tq::fuzzInfixExpression(data, size) != 0) std::abort();
  if (tq::fuzzWordExpression(data, size) != 0) std::abort();
  if (tq::fuzzListExpression(data, size) != 0) std::abort();
  return 0;
}
