#include "records/hash.h"

#include <climits>

#include "platform/random.h"

namespace tq {

int32_t HashSlots::keyHash(const TqString& key) {
  uint32_t h = 0;
  uint32_t power = 1;
  for (int32_t i = 0; i < key.length(); ++i) {
    int32_t b = static_cast<signed char>(key.at(i));
    h += static_cast<uint32_t>(b) * power;
    power *= 7;
  }
  return static_cast<int32_t>(h);
}

int32_t HashSlots::growthSize(int32_t size) {
  int64_t grown = int64_t{size} * 4 + 1 + (static_cast<uint32_t>(platform::randomNumber()) % 100);
  return grown > INT32_MAX / 2 ? INT32_MAX / 2 : static_cast<int32_t>(grown);
}

}  // namespace tq
