#include "platform/random.h"

#include <chrono>
#include <utility>

namespace tq::platform {
namespace {

struct RandomState {
  RandomSource source;
  uint32_t seed = 0;
  bool seeded = false;
};

RandomState& state() {
  static RandomState s;
  return s;
}

int32_t defaultRandom() {
  RandomState& s = state();
  if (!s.seeded) {
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    s.seed =
        static_cast<uint32_t>(ticks) ^ static_cast<uint32_t>(static_cast<uint64_t>(ticks) >> 32);
    s.seeded = true;
  }
  s.seed = s.seed * 214013u + 2531011u;
  return static_cast<int32_t>((s.seed >> 16) & 0x7fff);
}

}  // namespace

int32_t randomNumber() {
  RandomState& s = state();
  return s.source ? s.source() : defaultRandom();
}

int32_t randomBelow(int32_t limit) {
  if (limit <= 1) return 0;
  int32_t value = randomNumber() % limit;
  return value < 0 ? value + limit : value;
}

void seedRandom(uint32_t seed) {
  state().seed = seed;
  state().seeded = true;
}

RandomSource setRandomSource(RandomSource source) {
  return std::exchange(state().source, std::move(source));
}

}  // namespace tq::platform
