#include "platform/process_exit.h"

#include <cstdlib>
#include <utility>

namespace tq::platform {
namespace {

ExitFunction& installed() {
  static ExitFunction function;
  return function;
}

}  // namespace

void exitProcess(int status) {
  if (installed()) {
    installed()(status);
    return;
  }
  std::exit(status);
}

ExitFunction setExitFunction(ExitFunction function) {
  return std::exchange(installed(), std::move(function));
}

}  // namespace tq::platform
