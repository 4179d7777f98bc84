#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/process.h"

namespace tq::platform {
namespace {

// The system's text for the last error, without its line end.
std::string lastErrorText() {
  DWORD code = GetLastError();
  char buffer[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, buffer, sizeof(buffer), nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
    text.pop_back();
  return text.empty() ? "error " + std::to_string(code) : text;
}

// The interpreter part of the line: '"', the interpreter's path, '"', " /C ".
std::string interpreterPrefix() {
  char directory[256];
  UINT length = GetSystemDirectoryA(directory, sizeof(directory));
  if (length == 0 || length >= sizeof(directory)) return std::string();
  char found[MAX_PATH];
  char* file_part = nullptr;
  DWORD n = SearchPathA(directory, "cmd.exe", nullptr, MAX_PATH, found, &file_part);
  if (n > 0 && n < MAX_PATH) return "\"" + std::string(found, n) + "\" /C ";
  return "\"" + std::string(directory, length) + "\\command.com\" /C ";
}

// Longest single wait of runProgram, so that a stop request is seen soon.
constexpr DWORD kPollMs = 50;

// Closes a handle once, whatever path leaves the function.
class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  void reset(HANDLE handle) {
    close();
    handle_ = handle;
  }
  void close() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_;
};

// A job object that ends its processes when it is closed (when the caller ends, too); null when
// the system refuses one (the program then runs outside a job).
HANDLE newKillingJob() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (!job) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
  ZeroMemory(&limits, sizeof(limits));
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

// Hands on what the pipe holds without blocking; false once it is broken (every writer gone).
bool readAvailable(HANDLE pipe, const ProgramRun& run, bool& got) {
  char buffer[4096];
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) return true;
    DWORD n = 0;
    DWORD wanted = available < sizeof(buffer) ? available : static_cast<DWORD>(sizeof(buffer));
    if (!ReadFile(pipe, buffer, wanted, &n, nullptr)) return false;
    if (n > 0) {
      got = true;
      if (run.output) run.output(std::string_view(buffer, n));
    }
  }
}

// Whether a failed start was the system's and may go at once on a second try: a process that
// ended while it was being set up (ERROR_INTERNAL_ERROR, seen now and then under load when the
// new process could not map itself) or memory and handles that ran short. A program that is
// not there, cannot be read or is no program fails the same way every time, and is not retried.
bool startMayBeRetried(DWORD error) {
  switch (error) {
    case ERROR_INTERNAL_ERROR:
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_SYSTEM_RESOURCES:
    case ERROR_COMMITMENT_LIMIT:
    case ERROR_NOT_ENOUGH_QUOTA:
      return true;
    default:
      return false;
  }
}

// How many times a start is tried in all.
constexpr int kStartTries = 3;

// CreateProcessA of the line (which it may write into), handles inherited; tried again at once,
// up to kStartTries in all, when startMayBeRetried() says so. On failure the last error is the
// last try's.
bool startProcess(const std::string& command_line, DWORD flags, STARTUPINFOA& startup,
                  PROCESS_INFORMATION& process) {
  for (int attempt = 1;; ++attempt) {
    std::vector<char> line(command_line.begin(), command_line.end());
    line.push_back('\0');
    ZeroMemory(&process, sizeof(process));
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr,
                       &startup, &process))
      return true;
    DWORD error = GetLastError();
    if (attempt == kStartTries || !startMayBeRetried(error)) {
      SetLastError(error);
      return false;
    }
  }
}

uint32_t endProgram(HANDLE process, HANDLE job) {
  if (!job || !TerminateJobObject(job, 1)) TerminateProcess(process, 1);
  WaitForSingleObject(process, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process, &code);
  return code;
}

}  // namespace

ShellCommand shellCommand(const std::string& text) {
  ShellCommand command;
  command.text = text;
  command.line = interpreterPrefix() + "\"" + text + "\"";
  return command;
}

ProcessOutcome runShellCommand(const ShellCommand& command) {
  ProcessOutcome outcome;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  if (!startProcess(command.line, 0, startup, process)) {
    outcome.state = ProcessOutcome::State::kNotStarted;
    outcome.reason = lastErrorText();
    return outcome;
  }
  CloseHandle(process.hThread);
  DWORD code = 0;
  if (WaitForSingleObject(process.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &code)) {
    outcome.state = ProcessOutcome::State::kWaitFailed;
    outcome.reason = lastErrorText();
  } else {
    outcome.state = ProcessOutcome::State::kExited;
    outcome.exit_code = code;
  }
  CloseHandle(process.hProcess);
  return outcome;
}

ProcessOutcome runProgram(const ProgramRun& run) {
  ProcessOutcome outcome;
  SECURITY_ATTRIBUTES inherited;
  ZeroMemory(&inherited, sizeof(inherited));
  inherited.nLength = sizeof(inherited);
  inherited.bInheritHandle = TRUE;
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherited, 65536)) {
    outcome.reason = lastErrorText();
    return outcome;
  }
  Handle reader(read_end), writer(write_end);
  SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
  Handle input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                           OPEN_EXISTING, 0, nullptr));

  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get() == INVALID_HANDLE_VALUE ? nullptr : input.get();
  startup.hStdOutput = writer.get();
  startup.hStdError = writer.get();
  PROCESS_INFORMATION process;
  if (!startProcess(windowsCommandLine(run.program, run.arguments), CREATE_SUSPENDED, startup,
                    process)) {
    outcome.reason = lastErrorText();
    return outcome;
  }
  Handle child(process.hProcess), thread(process.hThread);
  Handle job(newKillingJob());
  if (job.get() && !AssignProcessToJobObject(job.get(), child.get())) job.close();
  ResumeThread(thread.get());
  thread.close();
  writer.close();
  input.close();

  bool open = true;
  ULONGLONG last_output = GetTickCount64();
  for (;;) {
    if (run.stop && run.stop()) {
      outcome.state = ProcessOutcome::State::kStopped;
      outcome.exit_code = endProgram(child.get(), job.get());
      return outcome;
    }
    bool got = false;
    if (open) open = readAvailable(reader.get(), run, got);
    if (got) {
      last_output = GetTickCount64();
      continue;
    }
    DWORD wait = kPollMs;
    if (run.silence_ms > 0) {
      ULONGLONG waited = GetTickCount64() - last_output;
      ULONGLONG limit = static_cast<ULONGLONG>(run.silence_ms);
      ULONGLONG left = waited >= limit ? 0 : limit - waited;
      if (left < wait) wait = static_cast<DWORD>(left);
    }
    // Pipes cannot be waited for with the process: short waits on the process pace the loop.
    if (open && wait > 10) wait = 10;
    DWORD state = WaitForSingleObject(child.get(), wait);
    if (state == WAIT_OBJECT_0) {
      // What it wrote before it ended is in the pipe; a process it left behind may keep the
      // pipe open, and is not waited for.
      bool ignored = false;
      if (open) readAvailable(reader.get(), run, ignored);
      DWORD code = 0;
      if (!GetExitCodeProcess(child.get(), &code)) {
        outcome.state = ProcessOutcome::State::kWaitFailed;
        outcome.reason = lastErrorText();
        return outcome;
      }
      outcome.state = ProcessOutcome::State::kExited;
      outcome.exit_code = code;
      return outcome;
    }
    if (state == WAIT_FAILED) {
      outcome.state = ProcessOutcome::State::kWaitFailed;
      outcome.reason = lastErrorText();
      endProgram(child.get(), job.get());
      return outcome;
    }
    if (run.silence_ms > 0 &&
        GetTickCount64() - last_output >= static_cast<ULONGLONG>(run.silence_ms)) {
      outcome.state = ProcessOutcome::State::kTimedOut;
      outcome.exit_code = endProgram(child.get(), job.get());
      return outcome;
    }
  }
}

}  // namespace tq::platform
