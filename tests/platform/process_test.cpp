// Command lines through the system's interpreter, on the platform layer itself.
#include "platform/process.h"

#include <gtest/gtest.h>

namespace tq::platform {
namespace {

ProcessOutcome run(const std::string& text) { return runShellCommand(shellCommand(text)); }

TEST(ProcessTest, TheInterpreterSeesTheTextAsItStands) {
#ifdef _WIN32
  ProcessOutcome outcome = run("if \"x y\"==\"x y\" exit 7");
#else
  ProcessOutcome outcome = run("test \"x y\" = \"x y\" && exit 7");
#endif
  ASSERT_EQ(outcome.state, ProcessOutcome::State::kExited) << outcome.reason;
  EXPECT_EQ(outcome.exit_code, 7u);
}

TEST(ProcessTest, TheLineNamesTheInterpreterAndQuotesTheText) {
  ShellCommand command = shellCommand("exit 0");
  EXPECT_EQ(command.text, "exit 0");
#ifdef _WIN32
  // "<system directory>\cmd.exe" /C "exit 0", as CreateProcess gets it.
  EXPECT_EQ(command.line.front(), '"');
  EXPECT_NE(command.line.find("\\cmd.exe\" /C \"exit 0\""), std::string::npos) << command.line;
#else
  EXPECT_EQ(command.line, "/bin/sh -c \"exit 0\"");
#endif
  EXPECT_EQ(runShellCommand(command).exit_code, 0u);
}

#ifndef _WIN32
TEST(ProcessTest, AnEndBySignalCountsAsShellsReportIt) {
  ProcessOutcome outcome = run("kill -9 $$");
  ASSERT_EQ(outcome.state, ProcessOutcome::State::kExited);
  EXPECT_EQ(outcome.exit_code, 128u + 9u);
}
#endif

}  // namespace
}  // namespace tq::platform
