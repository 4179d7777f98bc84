#include "platform/directories.h"

#include "platform/environment.h"

namespace tq::platform {
namespace {

std::string redirectedOr(const char* variable, std::string (*system)()) {
  std::string redirected = environmentVariable(variable);
  return trimOneTrailingSeparator(redirected.empty() ? system() : redirected);
}

}  // namespace

std::string trimOneTrailingSeparator(std::string_view path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  return std::string(path);
}

std::string windowsDirectory() {
  return redirectedOr(kWindowsDirectoryVariable, systemWindowsDirectory);
}

std::string temporaryDirectory() {
  return redirectedOr(kTemporaryDirectoryVariable, systemTemporaryDirectory);
}

}  // namespace tq::platform
