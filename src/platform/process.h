// Running a command line through the system's command interpreter, for job programs.
//
// shellCommand(text) builds the line that is shown and run; runShellCommand() starts it as a
// new process that inherits the caller's handles (standard streams included) and environment,
// waits for it without a time limit and gives its exit code.
//
// Windows: the interpreter is "cmd.exe", searched for in the system directory
// (GetSystemDirectoryA into 256 bytes, then SearchPathA). The line is
//   "<full path of cmd.exe>" /C "<text>"
// or, when cmd.exe is not there,
//   "<system directory>\command.com" /C "<text>"
// and, when the system directory cannot be read, just "<text>". The line is given as it stands
// to CreateProcessA (no application name, handles inherited, default start-up settings).
//
// POSIX: the interpreter is /bin/sh. The line reads
//   /bin/sh -c "<text>"
// for display; the process is /bin/sh with the two arguments "-c" and the text itself
// (posix_spawn), so the shell sees exactly the text and nothing is quoted twice. An exit by a
// signal counts as the exit code 128 + the signal number, as shells report it.
//
// The caller removes line feeds from the text first (the interpreters would end the command at
// the first one).
#pragma once

#include <cstdint>
#include <string>

namespace tq::platform {

struct ShellCommand {
  std::string line;  // as shown, and as run on Windows
  std::string text;  // what the interpreter is asked to run
};

struct ProcessOutcome {
  enum class State {
    kExited,      // the process ran and ended; exit_code holds its code
    kNotStarted,  // it could not be created
    kWaitFailed,  // waiting for it, or reading its exit code, failed
  };
  State state = State::kNotStarted;
  uint32_t exit_code = 0;
  std::string reason;  // the system's text for the two failures
};

ShellCommand shellCommand(const std::string& text);
ProcessOutcome runShellCommand(const ShellCommand& command);

}  // namespace tq::platform
