// Running other programs, for job programs.
//
// Command lines through the system's interpreter. shellCommand(text) builds the line that is
// shown and run; runShellCommand() starts it as a new process that inherits the caller's
// handles (standard streams included) and environment, waits for it without a time limit and
// gives its exit code.
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
//
// Programs with an argument vector, never through an interpreter: runProgram() starts the
// program with each argument arriving as one argument, whatever it holds (blanks, quotes, &, |,
// ;, %, *), reads what the program writes to its standard output and standard error (one pipe
// for both, in the order written) and hands it on as it arrives, and waits for the end.
//   POSIX: posix_spawn (posix_spawnp, searching PATH, for a program named without a '/'), the
//   argument vector as given; standard input is /dev/null. The program runs in a process group
//   of its own, so that ending it ends whatever it started too.
//   Windows: CreateProcessA of the command line windowsCommandLine() makes, which the program's
//   runtime (CommandLineToArgvW, or the C runtime's rules, which agree on it) splits back into
//   exactly the arguments given; no interpreter sees it, so nothing in it is expanded. Standard
//   input is NUL. The program runs in a job object, where the system allows one: a time-out
//   ends it whole, and whatever the program leaves running ends with the run (or with the
//   caller, should the caller end first). On POSIX what it leaves running in its group is not
//   ended when it exits by itself.
// Windows, both calls: a start that fails for a reason of the system's rather than the
// program's (ERROR_INTERNAL_ERROR, which a process that ended while it was being set up gives,
// or memory, resources or quota that ran short) is tried again at once, three tries in all; a
// missing, unreadable or invalid program fails on the first.
// Silence: a program that writes nothing for `silence_ms` milliseconds is ended (SIGKILL to its
// process group; TerminateJobObject or TerminateProcess) and the outcome is kTimedOut. The wait
// is a real one, of the process and its pipe, not the library's replaceable sleep: it is the
// program that is waited for.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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
    kTimedOut,    // runProgram: it wrote nothing for the silence time and was ended
    kStopped,     // runProgram: the caller asked for the end, and it was ended
  };
  State state = State::kNotStarted;
  uint32_t exit_code = 0;
  std::string reason;  // the system's text for the two failures
};

ShellCommand shellCommand(const std::string& text);
ProcessOutcome runShellCommand(const ShellCommand& command);

struct ProgramRun {
  std::string program;                 // a path, or (POSIX) a name searched for on PATH
  std::vector<std::string> arguments;  // after the program's own name
  // Receives the program's output as it arrives, in pieces of any size (not lines).
  std::function<void(std::string_view output)> output;
  int32_t silence_ms = 0;  // 0 or less: no limit
  // Asked about every 50 ms while the program runs; true ends the program (kStopped).
  std::function<bool()> stop;
};

// Runs the program to its end (kExited with its exit code; an end by a signal is 128 + the
// signal, as for runShellCommand), or until it is silent for too long or stopped. The output
// written before the end is handed on before this returns; output that a process it started
// writes after it ended is not waited for.
ProcessOutcome runProgram(const ProgramRun& run);

// The Windows command line of a program and its arguments: the program in double quotes (a
// Windows path cannot hold one), then each argument after a blank, as it stands when it is not
// empty and holds no blank, TAB, LF, VT or '"', else in double quotes with every '"' and the
// backslashes before it, and the backslashes before the closing quote, escaped by backslashes.
// The same on every platform, so that it can be tested everywhere.
std::string windowsCommandLine(const std::string& program,
                               const std::vector<std::string>& arguments);

}  // namespace tq::platform
