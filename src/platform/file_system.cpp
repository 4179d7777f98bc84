#include "platform/file_system.h"

namespace tq::platform {

bool usablePath(std::string_view path) {
  return !path.empty() && path.find('\0') == std::string_view::npos;
}

std::string listPattern(std::string_view path) {
  std::string pattern(path);
  if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) pattern += '\\';
  pattern += "*.*";
  return pattern;
}

}  // namespace tq::platform
