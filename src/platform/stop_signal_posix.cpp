#include <signal.h>

#include "platform/stop_signal.h"

namespace tq::platform {
namespace {

extern "C" void onStopSignal(int) { requestStop(); }

}  // namespace

void watchStopSignals() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace tq::platform
