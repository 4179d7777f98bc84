#include <windows.h>

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

}  // namespace

ShellCommand shellCommand(const std::string& text) {
  ShellCommand command;
  command.text = text;
  command.line = interpreterPrefix() + "\"" + text + "\"";
  return command;
}

ProcessOutcome runShellCommand(const ShellCommand& command) {
  ProcessOutcome outcome;
  // CreateProcessA may write into the command line.
  std::vector<char> line(command.line.begin(), command.line.end());
  line.push_back('\0');
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof(process));
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
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

}  // namespace tq::platform
