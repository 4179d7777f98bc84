// runCommand(): the command line of a job program, through the system's interpreter.
#include "client/job_output.h"
#include "client/work_protocol.h"
#include "job/status.h"
#include "platform/process.h"

namespace tq {

int32_t runCommand(const TqString& text) {
  std::string stripped;
  stripped.reserve(static_cast<size_t>(text.length()));
  for (char c : text.view())
    if (c != '\n') stripped.push_back(c);
  platform::ShellCommand command = platform::shellCommand(stripped);
  (JobLine() << "COMMAND: " << command.line).print();
  // The command writes to the same streams: what was printed so far comes first.
  flushJobOutput();
  platform::ProcessOutcome outcome = platform::runShellCommand(command);
  switch (outcome.state) {
    case platform::ProcessOutcome::State::kNotStarted:
      printJobLine("ERROR: unable to create new process... exiting.");
      return kStatusFailed;
    case platform::ProcessOutcome::State::kWaitFailed:
    case platform::ProcessOutcome::State::kTimedOut:  // (runShellCommand has no time limit)
    case platform::ProcessOutcome::State::kStopped:
      printJobLine("ERROR: problem in cmdline application.");
      return kStatusFailed;
    case platform::ProcessOutcome::State::kExited:
      break;
  }
  if (outcome.exit_code != 0) {
    (JobLine() << "ERROR: exit status: " << outcome.exit_code).print();
    return kStatusFailed;
  }
  printJobLine("INFO: execution successful.");
  return kStatusComplete;
}

}  // namespace tq
