// The one way the library ends the process.
//
// A server that cannot open its port and a job program told to shut down end the process through
// exitProcess(). The real function is std::exit; tests install a recording function instead and
// check the status asked for. An installed function may return, so every caller returns right
// after the call as if the process had ended.
#pragma once

#include <functional>

namespace tq::platform {

using ExitFunction = std::function<void(int status)>;

// Ends the process through the installed function (std::exit when none is installed).
void exitProcess(int status);
// Installs `function` (an empty one restores std::exit) and returns the previous one.
ExitFunction setExitFunction(ExitFunction function);

// Installs an exit function for one scope.
class ScopedExitFunction {
 public:
  explicit ScopedExitFunction(ExitFunction function)
      : previous_(setExitFunction(std::move(function))) {}
  ~ScopedExitFunction() { setExitFunction(std::move(previous_)); }
  ScopedExitFunction(const ScopedExitFunction&) = delete;
  ScopedExitFunction& operator=(const ScopedExitFunction&) = delete;

 private:
  ExitFunction previous_;
};

}  // namespace tq::platform
