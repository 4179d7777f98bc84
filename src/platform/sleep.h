// The one way the library waits.
//
// Every pause of the library goes through sleepMilliseconds(). The real function blocks the
// calling thread (Sleep on Windows, nanosleep elsewhere); tests install a recording function
// instead and check what was asked for, so that no test waits for real.
#pragma once

#include <cstdint>
#include <functional>

namespace tq::platform {

using SleepFunction = std::function<void(int32_t milliseconds)>;

// Waits through the installed function. Negative durations count as 0.
void sleepMilliseconds(int32_t milliseconds);
// Installs `function` (an empty one restores the real sleep) and returns the previous one.
SleepFunction setSleepFunction(SleepFunction function);
// The real wait, whatever is installed.
void realSleepMilliseconds(int32_t milliseconds);

// Installs a sleep function for one scope.
class ScopedSleepFunction {
 public:
  explicit ScopedSleepFunction(SleepFunction function)
      : previous_(setSleepFunction(std::move(function))) {}
  ~ScopedSleepFunction() { setSleepFunction(std::move(previous_)); }
  ScopedSleepFunction(const ScopedSleepFunction&) = delete;
  ScopedSleepFunction& operator=(const ScopedSleepFunction&) = delete;

 private:
  SleepFunction previous_;
};

}  // namespace tq::platform
