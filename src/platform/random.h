// The one source of randomness of the library.
//
// randomNumber() answers 0..kRandomMax like the C library's rand(). By default it runs a small
// linear congruential generator seeded once from the clock; tests install a fixed source.
#pragma once

#include <cstdint>
#include <functional>

namespace tq::platform {

inline constexpr int32_t kRandomMax = 32767;

using RandomSource = std::function<int32_t()>;

int32_t randomNumber();
// 0..limit-1 (0 when limit is 1 or less).
int32_t randomBelow(int32_t limit);
// Restarts the default generator from `seed`.
void seedRandom(uint32_t seed);
// Installs `source` (an empty one restores the default) and returns the previous one.
RandomSource setRandomSource(RandomSource source);

class ScopedRandomSource {
 public:
  explicit ScopedRandomSource(RandomSource source)
      : previous_(setRandomSource(std::move(source))) {}
  ~ScopedRandomSource() { setRandomSource(std::move(previous_)); }
  ScopedRandomSource(const ScopedRandomSource&) = delete;
  ScopedRandomSource& operator=(const ScopedRandomSource&) = delete;

 private:
  RandomSource previous_;
};

}  // namespace tq::platform
