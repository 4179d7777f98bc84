// tq-work's loop: the substitution into the command, and the loop in development mode.
#include "work_loop.h"

#include <gtest/gtest.h>

#include "client/work_protocol.h"
#include "job/status.h"
#include "support/client_environment.h"
#include "support/job_output_capture.h"

namespace tq {
namespace {

Work named(const char* name) {
  Work w;
  w.name = name;
  return w;
}

TEST(SubstituteWorkTest, NameJobAndSubjobTakeTheirPlaces) {
  TqString line;
  std::string why;
  ASSERT_TRUE(substituteWork("render -frame %w -job %j.%s 100%% %PATH% %x %", named("0042"), 17, 3,
                             line, why));
  EXPECT_EQ(line, TqString("render -frame 0042 -job 17.3 100% %PATH% %x %"));
  ASSERT_TRUE(substituteWork("%w%w", named("C:\\shots/a_b-c.d,e:f+g=h@i"), 0, 0, line, why));
  EXPECT_EQ(line, TqString("C:\\shots/a_b-c.d,e:f+g=h@iC:\\shots/a_b-c.d,e:f+g=h@i"));
}

TEST(SubstituteWorkTest, NamesThatCouldRunMoreThanTheCommandAreRefused) {
  for (const char* name : {"1; rm -rf x", "1 && echo", "a|b", "$(id)", "`id`", "a\"b", "a'b", "a b",
                           "%TEMP%", "a^b", "a<b", "a>b", "a\nb", "a#b"}) {
    TqString line("stale");
    std::string why;
    EXPECT_FALSE(substituteWork("echo %w", named(name), 1, 1, line, why)) << name;
    EXPECT_NE(why.find("may not go into a command line"), std::string::npos) << name;
    EXPECT_TRUE(line.empty() || line == TqString("echo ")) << name;
  }
  TqString line;
  std::string why;
  EXPECT_FALSE(substituteWork("echo %w", named(""), 1, 1, line, why));
  EXPECT_EQ(why, "work item without a name");
  // A command that does not use the name runs whatever the name holds.
  EXPECT_TRUE(substituteWork("echo %j", named("a;b"), 1, 1, line, why));
}

class WorkLoopTest : public ::testing::Test {
 protected:
  WorkLoopTest() { resetWorkProtocol(); }
  ~WorkLoopTest() override { resetWorkProtocol(); }

  TqString jobFile(const std::vector<const char*>& names) {
    Job job;
    for (const char* name : names) job.agenda.append(named(name));
    std::string path = env.dir.file("job.txt");
    EXPECT_GT(job.saveText(path.c_str()), 0);
    return TqString(path);
  }

  test::ClientEnvironment env;
  test::JobOutputCapture out;
};

TEST_F(WorkLoopTest, DevelopmentModeRunsEveryItemOfTheAgenda) {
  WorkLoopOptions options;
  options.command = "exit 0";
  options.development_file = jobFile({"1", "2", "3"});
  WorkLoopResult result = runWorkLoop(options);
  EXPECT_EQ(result.complete, 3);
  EXPECT_EQ(result.failed, 0);
  EXPECT_FALSE(result.lost);
  EXPECT_EQ(result.exitStatus(), 0);
  EXPECT_EQ(out.count("INFO: execution successful."), 3);
  EXPECT_EQ(out.count("dev - reporting status on work: 2 - complete"), 1);
  EXPECT_TRUE(out.has("dev - complete notification - job done."));
  EXPECT_TRUE(out.has("dev - reporting status on job: complete"));
  EXPECT_EQ(out.lines.back(), "tq-work: 3 complete, 0 failed");
}

TEST_F(WorkLoopTest, FailedAndRefusedItemsFailTheSubjob) {
  WorkLoopOptions options;
#ifdef _WIN32
  options.command = "if %w==2 exit 1";
#else
  options.command = "test %w != 2";
#endif
  options.development_file = jobFile({"1", "2", "a;b"});
  WorkLoopResult result = runWorkLoop(options);
  EXPECT_EQ(result.complete, 1);
  EXPECT_EQ(result.failed, 2);
  EXPECT_EQ(result.exitStatus(), 1);
  EXPECT_EQ(out.count("ERROR: exit status: 1"), 1);
  EXPECT_EQ(out.countStarting("ERROR: work item name 'a;b' holds characters"), 1);
  EXPECT_TRUE(out.has("dev - reporting status on work: a;b - failed"));
  EXPECT_TRUE(out.has("dev - reporting status on job: failed"));
}

TEST_F(WorkLoopTest, AJobFileThatCannotBeReadEndsTheLoopAtOnce) {
  WorkLoopOptions options;
  options.command = "exit 0";
  options.development_file = TqString(env.dir.file("missing.job"));
  WorkLoopResult result = runWorkLoop(options);
  EXPECT_TRUE(result.lost);
  EXPECT_EQ(result.exitStatus(), 1);
  EXPECT_EQ(out.countStarting("COMMAND: "), 0);
}

}  // namespace
}  // namespace tq
