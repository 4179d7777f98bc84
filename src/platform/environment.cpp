#include "platform/environment.h"

#include <cstdlib>

namespace tq::platform {

bool validVariableName(std::string_view name) {
  return !name.empty() && name.find('=') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

std::string environmentVariable(const std::string& name) {
  if (!validVariableName(name)) return std::string();
  const char* value = std::getenv(name.c_str());
  return value ? std::string(value) : std::string();
}

bool hasEnvironmentVariable(const std::string& name) {
  return validVariableName(name) && std::getenv(name.c_str()) != nullptr;
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(std::string name, const std::string& value)
    : name_(std::move(name)),
      had_value_(hasEnvironmentVariable(name_)),
      old_value_(environmentVariable(name_)) {
  setEnvironmentVariable(name_, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
  if (had_value_) {
    setEnvironmentVariable(name_, old_value_);
  } else {
    unsetEnvironmentVariable(name_);
  }
}

}  // namespace tq::platform
