#include "platform/sleep.h"

#include <utility>

namespace tq::platform {
namespace {

SleepFunction& installed() {
  static SleepFunction function;
  return function;
}

}  // namespace

void sleepMilliseconds(int32_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  if (installed()) {
    installed()(milliseconds);
  } else {
    realSleepMilliseconds(milliseconds);
  }
}

SleepFunction setSleepFunction(SleepFunction function) {
  return std::exchange(installed(), std::move(function));
}

}  // namespace tq::platform
