// Command lines through the system's interpreter, and programs with an argument vector (against
// tq_process_child, tests/platform/process_child.cpp), on the platform layer itself.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>

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

TEST(WindowsCommandLineTest, ArgumentsAreQuotedAsCommandLineToArgvWReadsThem) {
  EXPECT_EQ(windowsCommandLine("C:\\Program Files\\aerender.exe", {}),
            "\"C:\\Program Files\\aerender.exe\"");
  struct Case {
    const char* argument;
    const char* written;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"a b", "\"a b\""},
      {"a\tb", "\"a\tb\""},
      {"a \"b\" & c", "\"a \\\"b\\\" & c\""},
      {"C:\\dir\\", "C:\\dir\\"},              // no quotes: backslashes stay as they are
      {"C:\\my dir\\", "\"C:\\my dir\\\\\""},  // doubled before the closing quote
      {"a\\\"b", "\"a\\\\\\\"b\""},            // 2n + 1 before a quote
      {"&|;%PATH%^<>", "&|;%PATH%^<>"},        // no interpreter reads the line
  };
  for (const Case& c : cases) {
    EXPECT_EQ(windowsCommandLine("p", {c.argument}), std::string("\"p\" ") + c.written)
        << c.argument;
  }
  EXPECT_EQ(windowsCommandLine("p", {"a", "", "b c"}), "\"p\" a \"\" \"b c\"");
}

// The child's output and outcome.
struct ChildRun {
  ProcessOutcome outcome;
  std::string output;
  double seconds = 0;
};

ChildRun runChild(std::vector<std::string> arguments, int32_t silence_ms = 0,
                  std::function<bool()> stop = nullptr) {
  ChildRun result;
  ProgramRun run;
  run.program = TQ_PROCESS_CHILD;
  run.arguments = std::move(arguments);
  run.output = [&](std::string_view text) { result.output.append(text); };
  run.silence_ms = silence_ms;
  run.stop = std::move(stop);
  auto start = std::chrono::steady_clock::now();
  result.outcome = runProgram(run);
  result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // Windows programs end their lines with CR LF.
  std::string text;
  for (char c : result.output)
    if (c != '\r') text += c;
  result.output = text;
  return result;
}

TEST(RunProgramTest, EveryArgumentArrivesWholeAndNothingElseRuns) {
  const std::vector<std::string> arguments = {
      "a \"b\" & c",     "x;y|z", "%PATH%",    "$(echo no)",
      "`echo no`",       "*",     "",          "back\\slash\\",
      "ends with \\",    "it's",  "tab\there", "& echo INJECTED",
      "| echo INJECTED", "\"",    "\\\""};
  std::vector<std::string> all = {"args"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  ChildRun run = runChild(all);
  ASSERT_EQ(run.outcome.state, ProcessOutcome::State::kExited) << run.outcome.reason;
  EXPECT_EQ(run.outcome.exit_code, 0u);
  std::string expected;
  for (const std::string& argument : arguments) expected += "[" + argument + "]\n";
  EXPECT_EQ(run.output, expected);
}

TEST(RunProgramTest, TheExitCodeAndBothStreamsComeBack) {
  ChildRun run = runChild({"exit", "3"});
  ASSERT_EQ(run.outcome.state, ProcessOutcome::State::kExited);
  EXPECT_EQ(run.outcome.exit_code, 3u);
  EXPECT_EQ(run.output, "exiting 3\n");
  run = runChild({"both"});
  EXPECT_EQ(run.output, "to stdout\nto stderr\n");
  run = runChild({"partial"});
  EXPECT_EQ(run.output, "no line end");
}

TEST(RunProgramTest, AProgramThatCannotStartSaysWhy) {
  ProgramRun run;
  run.program = std::string(TQ_PROCESS_CHILD) + ".missing";
  ProcessOutcome outcome = runProgram(run);
  EXPECT_EQ(outcome.state, ProcessOutcome::State::kNotStarted);
  // The system's reason for the missing file, not a later call's ("cannot find the file" on
  // Windows, "File not found" under Wine, ENOENT's text on POSIX).
  const std::string& why = outcome.reason;
  EXPECT_TRUE(why.find("find the file") != std::string::npos ||
              why.find("not found") != std::string::npos ||
              why.find("No such file") != std::string::npos)
      << "reason: " << why;
}

TEST(RunProgramTest, ASilentProgramIsEndedAfterTheSilenceTime) {
  ChildRun run = runChild({"hang"}, 300);
  EXPECT_EQ(run.outcome.state, ProcessOutcome::State::kTimedOut);
  EXPECT_GE(run.seconds, 0.25);
  EXPECT_LT(run.seconds, 20.0);
  // Silence counts from the last output, and a closed output does not end the wait early.
  run = runChild({"talk-then-hang"}, 1500);
  EXPECT_EQ(run.outcome.state, ProcessOutcome::State::kTimedOut);
  EXPECT_EQ(run.output, "talking\n");
  run = runChild({"close-and-hang"}, 300);
  EXPECT_EQ(run.outcome.state, ProcessOutcome::State::kTimedOut);
  EXPECT_LT(run.seconds, 20.0);
}

TEST(RunProgramTest, AProgramThatKeepsTalkingIsNotEnded) {
  // Six lines 300 ms apart: longer than the silence time in all, never silent that long (with
  // room for a slow start under Wine).
  ChildRun run = runChild({"tick", "6", "300"}, 1500);
  ASSERT_EQ(run.outcome.state, ProcessOutcome::State::kExited);
  EXPECT_EQ(run.output.substr(run.output.size() - 7), "tick 5\n");
}

TEST(RunProgramTest, AStopRequestEndsTheProgram) {
  int asked = 0;
  ChildRun run = runChild({"hang"}, 0, [&] { return ++asked > 2; });
  EXPECT_EQ(run.outcome.state, ProcessOutcome::State::kStopped) << run.outcome.reason;
  EXPECT_EQ(asked, 3);
  EXPECT_LT(run.seconds, 20.0);
}

}  // namespace
}  // namespace tq::platform
