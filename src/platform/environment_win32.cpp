#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "platform/environment.h"

namespace tq::platform {

bool setEnvironmentVariable(const std::string& name, const std::string& value) {
  if (!validVariableName(name) || value.find('\0') != std::string::npos) return false;
  return _putenv_s(name.c_str(), value.c_str()) == 0;
}

bool unsetEnvironmentVariable(const std::string& name) {
  if (!validVariableName(name)) return false;
  return _putenv_s(name.c_str(), "") == 0;
}

std::vector<std::string> environmentEntries() {
  std::vector<std::string> entries;
  char* block = GetEnvironmentStringsA();
  if (!block) return entries;
  // The block is a run of NUL-terminated entries ended by an empty one. Entries such as
  // "=C:=C:\work" (the per-drive working directories) are kept as they are.
  for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) {
    entries.emplace_back(entry);
  }
  FreeEnvironmentStringsA(block);
  return entries;
}

}  // namespace tq::platform
