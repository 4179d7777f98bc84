// runCommand through the system's interpreter: cmd.exe on Windows (under Wine in the Windows
// build), /bin/sh elsewhere.
#include <gtest/gtest.h>

#include "client/work_protocol.h"
#include "job/status.h"
#include "platform/environment.h"
#include "support/job_output_capture.h"

namespace tq {
namespace {

const std::string kCommand = "COMMAND: ";

std::string commandLine(const test::JobOutputCapture& out) {
  for (const std::string& line : out.lines)
    if (line.compare(0, kCommand.size(), kCommand) == 0) return line.substr(kCommand.size());
  return std::string();
}

TEST(RunCommandTest, LineFeedsAreRemovedAndTheTextIsQuoted) {
  test::JobOutputCapture out;
  runCommand("a\nb");
  std::string line = commandLine(out);
  ASSERT_GE(line.size(), 4u);
  EXPECT_EQ(line.substr(line.size() - 4), "\"ab\"");
#ifdef _WIN32
  EXPECT_NE(line.find("cmd.exe\" /C \"ab\""), std::string::npos) << line;
  EXPECT_EQ(line[0], '"');
#else
  EXPECT_EQ(line, "/bin/sh -c \"ab\"");
#endif
}

TEST(RunCommandTest, ExitCodeZeroIsCompleteAndAnyOtherFailed) {
  test::JobOutputCapture out;
  EXPECT_EQ(runCommand("exit 0"), kStatusComplete);
  EXPECT_EQ(out.lines.back(), "INFO: execution successful.");
  EXPECT_EQ(runCommand("exit 3"), kStatusFailed);
  EXPECT_EQ(out.lines.back(), "ERROR: exit status: 3");
  // A line feed inside the text does not end the command early.
  EXPECT_EQ(runCommand("exit\n 4"), kStatusFailed);
  EXPECT_EQ(out.lines.back(), "ERROR: exit status: 4");
}

TEST(RunCommandTest, TheCommandSeesTheCallersEnvironment) {
  platform::ScopedEnvironmentVariable code("TQ_RUN_COMMAND_TEST", "5");
  test::JobOutputCapture out;
#ifdef _WIN32
  EXPECT_EQ(runCommand("exit %TQ_RUN_COMMAND_TEST%"), kStatusFailed);
#else
  EXPECT_EQ(runCommand("exit $TQ_RUN_COMMAND_TEST"), kStatusFailed);
#endif
  EXPECT_EQ(out.lines.back(), "ERROR: exit status: 5");
}

}  // namespace
}  // namespace tq
