// The process environment, in plain strings.
//
// On Windows the variables are set through the C runtime (_putenv_s), which also updates the
// process environment block that child processes inherit; there an empty value removes the
// variable. On POSIX systems an empty value is kept as an empty variable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tq::platform {

// The value of a variable, or "" when it is not set.
std::string environmentVariable(const std::string& name);
bool hasEnvironmentVariable(const std::string& name);
// False for an empty name or one containing '=' or NUL, or when the system refuses.
bool setEnvironmentVariable(const std::string& name, const std::string& value);
bool unsetEnvironmentVariable(const std::string& name);
// Every entry of the environment block as "name=value", in the block's order.
std::vector<std::string> environmentEntries();

// Sets a variable for one scope and restores the previous state (value or absence) afterwards.
class ScopedEnvironmentVariable {
 public:
  ScopedEnvironmentVariable(std::string name, const std::string& value);
  ~ScopedEnvironmentVariable();
  ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
  ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

 private:
  std::string name_;
  bool had_value_;
  std::string old_value_;
};

bool validVariableName(std::string_view name);

}  // namespace tq::platform
