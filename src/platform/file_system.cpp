#include "platform/file_system.h"

#include <cerrno>
#include <cstring>

namespace tq::platform {
namespace {

thread_local std::string file_error;

}  // namespace

std::string lastFileError() { return file_error; }
void recordFileError() { file_error = std::strerror(errno); }
void setFileError(std::string reason) { file_error = std::move(reason); }

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
