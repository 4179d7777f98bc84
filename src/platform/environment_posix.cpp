#include <cstdlib>

#include "platform/environment.h"

extern char** environ;

namespace tq::platform {

bool setEnvironmentVariable(const std::string& name, const std::string& value) {
  if (!validVariableName(name) || value.find('\0') != std::string::npos) return false;
  return ::setenv(name.c_str(), value.c_str(), 1) == 0;
}

bool unsetEnvironmentVariable(const std::string& name) {
  if (!validVariableName(name)) return false;
  return ::unsetenv(name.c_str()) == 0;
}

std::vector<std::string> environmentEntries() {
  std::vector<std::string> entries;
  for (char** entry = environ; entry && *entry; ++entry) entries.emplace_back(*entry);
  return entries;
}

}  // namespace tq::platform
