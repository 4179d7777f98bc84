// Reads arbitrary bytes as a number list in every ordering. The orderings must hold the same
// numbers as the written order, sorted as they claim, and the compact form must read back to
// the sorted numbers without duplicates.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "config/number_list.h"

namespace {

// Lists of the full kMaxNumberListLength take seconds to sort under the fuzzer's
// instrumentation; the bound itself is the same code with a smaller number.
constexpr int32_t kLimit = 10000;

std::vector<int32_t> sorted(std::vector<int32_t> n) {
  std::sort(n.begin(), n.end());
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 16)) return 0;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tq::NumberList written;
  written.parse(text, tq::NumberList::kAsWritten, kLimit);
  if (written.count() > kLimit) std::abort();
  std::vector<int32_t> ascending = sorted(written.numbers());

  for (int32_t order :
       {tq::NumberList::kBinary, tq::NumberList::kAscending, tq::NumberList::kDescending}) {
    tq::NumberList list;
    list.parse(text, order, kLimit);
    if (sorted(list.numbers()) != ascending || list.width() != written.width()) std::abort();
    if (order == tq::NumberList::kAscending && list.numbers() != ascending) std::abort();
    if (order == tq::NumberList::kDescending &&
        !std::is_sorted(list.numbers().rbegin(), list.numbers().rend())) {
      std::abort();
    }
  }

  std::vector<int32_t> unique = ascending;
  unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
  tq::TqString compact = written.compactText();
  tq::NumberList back;
  back.parse(compact.view(), tq::NumberList::kAscending, kLimit);
  if (back.numbers() != unique) std::abort();
  return 0;
}
