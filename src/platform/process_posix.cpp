#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/process.h"

extern char** environ;

namespace tq::platform {
namespace {

constexpr const char* kShell = "/bin/sh";
// Longest single wait of runProgram, so that a stop request is seen soon.
constexpr int kPollMs = 50;

uint32_t exitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128u + static_cast<uint32_t>(WTERMSIG(status));
  return 1;
}

int64_t nowMs() {
  struct timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Closes a descriptor once, whatever path leaves the function.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// The spawn attributes and file actions of runProgram, released at the end of the scope.
struct SpawnSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  SpawnSetup() {
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

// Reads what is there without blocking; false once the pipe is at its end (or broken).
bool readAvailable(int fd, const ProgramRun& run, bool& got) {
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof(buffer));
    if (n > 0) {
      got = true;
      if (run.output) run.output(std::string_view(buffer, static_cast<size_t>(n)));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

// Ends the program's process group (and the program, should it have left the group) and
// collects it.
uint32_t endProgram(pid_t child) {
  ::kill(-child, SIGKILL);
  ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return exitCodeOf(status);
}

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
  outcome.exit_code = exitCodeOf(status);
  return outcome;
}

ProcessOutcome runProgram(const ProgramRun& run) {
  ProcessOutcome outcome;
  int fds[2];
  if (::pipe(fds) != 0) {
    outcome.reason = std::strerror(errno);
    return outcome;
  }
  Descriptor reader(fds[0]), writer(fds[1]);
  ::fcntl(reader.get(), F_SETFD, FD_CLOEXEC);
  ::fcntl(writer.get(), F_SETFD, FD_CLOEXEC);
  SpawnSetup setup;
  // The duplicates on 1 and 2 lose close-on-exec; the pipe's own descriptors keep it.
  ::posix_spawn_file_actions_addopen(&setup.actions, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&setup.actions, writer.get(), 1);
  ::posix_spawn_file_actions_adddup2(&setup.actions, writer.get(), 2);
  // A group of its own, the caller's ignored SIGPIPE undone, no signal blocked.
  sigset_t none, defaults;
  sigemptyset(&none);
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  ::posix_spawnattr_setpgroup(&setup.attributes, 0);
  ::posix_spawnattr_setsigmask(&setup.attributes, &none);
  ::posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
  ::posix_spawnattr_setflags(
      &setup.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<std::string> words;
  words.reserve(run.arguments.size() + 1);
  words.push_back(run.program);
  words.insert(words.end(), run.arguments.begin(), run.arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const bool search = run.program.find('/') == std::string::npos;
  int error = search ? ::posix_spawnp(&child, run.program.c_str(), &setup.actions,
                                      &setup.attributes, argv.data(), environ)
                     : ::posix_spawn(&child, run.program.c_str(), &setup.actions, &setup.attributes,
                                     argv.data(), environ);
  writer.close();
  if (error != 0) {
    outcome.reason = std::strerror(error);
    return outcome;
  }
  ::fcntl(reader.get(), F_SETFL, ::fcntl(reader.get(), F_GETFL) | O_NONBLOCK);

  bool open = true;
  int64_t last_output = nowMs();
  for (;;) {
    if (run.stop && run.stop()) {
      outcome.state = ProcessOutcome::State::kStopped;
      outcome.exit_code = endProgram(child);
      return outcome;
    }
    int wait = kPollMs;
    if (run.silence_ms > 0) {
      int64_t left = last_output + run.silence_ms - nowMs();
      if (left < wait) wait = left < 0 ? 0 : static_cast<int>(left);
    }
    bool got = false;
    if (open) {
      struct pollfd ready {};
      ready.fd = reader.get();
      ready.events = POLLIN;
      if (::poll(&ready, 1, wait) > 0) open = readAvailable(reader.get(), run, got);
    } else {
      // The program closed its output but runs on: wait for its end alone.
      ::poll(nullptr, 0, wait);
    }
    if (got) last_output = nowMs();
    int status = 0;
    pid_t waited = ::waitpid(child, &status, WNOHANG);
    if (waited == child) {
      // What it wrote before it ended is in the pipe; a process it left behind may keep the
      // pipe open, and is not waited for.
      bool ignored = false;
      if (open) readAvailable(reader.get(), run, ignored);
      outcome.state = ProcessOutcome::State::kExited;
      outcome.exit_code = exitCodeOf(status);
      return outcome;
    }
    if (waited < 0 && errno != EINTR) {
      outcome.state = ProcessOutcome::State::kWaitFailed;
      outcome.reason = std::strerror(errno);
      endProgram(child);
      return outcome;
    }
    if (run.silence_ms > 0 && nowMs() - last_output >= run.silence_ms) {
      outcome.state = ProcessOutcome::State::kTimedOut;
      outcome.exit_code = endProgram(child);
      return outcome;
    }
  }
}

}  // namespace tq::platform
