#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/process.h"

extern char** environ;

namespace tq::platform {
namespace {

constexpr const char* kShell = "/bin/sh";

}  // namespace

ShellCommand shellCommand(const std::string& text) {
  ShellCommand command;
  command.text = text;
  command.line = std::string(kShell) + " -c \"" + text + "\"";
  return command;
}

ProcessOutcome runShellCommand(const ShellCommand& command) {
  ProcessOutcome outcome;
  std::string shell(kShell), flag("-c"), text(command.text);
  std::vector<char*> argv{shell.data(), flag.data(), text.data(), nullptr};
  pid_t child = 0;
  int error = ::posix_spawn(&child, kShell, nullptr, nullptr, argv.data(), environ);
  if (error != 0) {
    outcome.state = ProcessOutcome::State::kNotStarted;
    outcome.reason = std::strerror(error);
    return outcome;
  }
  int status = 0;
  pid_t waited;
  do {
    waited = ::waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited != child) {
    outcome.state = ProcessOutcome::State::kWaitFailed;
    outcome.reason = std::strerror(errno);
    return outcome;
  }
  outcome.state = ProcessOutcome::State::kExited;
  if (WIFEXITED(status)) {
    outcome.exit_code = static_cast<uint32_t>(WEXITSTATUS(status));
  } else if (WIFSIGNALED(status)) {
    outcome.exit_code = 128u + static_cast<uint32_t>(WTERMSIG(status));
  } else {
    outcome.exit_code = 1;
  }
  return outcome;
}

}  // namespace tq::platform
