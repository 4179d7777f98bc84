#include "platform/stop_signal.h"

#include <atomic>

namespace tq::platform {
namespace {

std::atomic<bool> stop_flag{false};

}  // namespace

bool stopRequested() { return stop_flag.load(); }
void requestStop() { stop_flag.store(true); }

}  // namespace tq::platform
