// The whole farm loop on one machine: a job with an agenda submitted to the stand-in
// supervisor, tq-work's loop taking and running every item against it, and the stored job
// showing the result.
//
// The job goes out through the submission call, as tq-aesubmit -submit sends it.
#include <gtest/gtest.h>

#include "client/submit.h"
#include "client/work_protocol.h"
#include "job/status.h"
#include "support/client_environment.h"
#include "support/job_output_capture.h"
#include "support/running_supervisor.h"
#include "transport/error.h"
#include "work_loop.h"

namespace tq {
namespace {

class FarmLoopTest : public ::testing::Test {
 protected:
  FarmLoopTest() : running(options()) { resetWorkProtocol(); }
  ~FarmLoopTest() override { resetWorkProtocol(); }

  DevSupervisorOptions options() {
    DevSupervisorOptions o;
    o.data_directory = TqString(env.dir.file("data"));
    return o;
  }
  int32_t submit(const std::vector<const char*>& agenda) {
    env.writeConfig(running.configLines());
    JobList jobs;
    Job job;
    job.name = "farm loop";
    job.prototype = "cmdline";
    for (const char* name : agenda) {
      Work item;
      item.name = name;
      job.agenda.append(item);
    }
    jobs.append(std::move(job));
    JobList accepted;
    bool ok = tq::submit(jobs, accepted);
    EXPECT_TRUE(ok) << lastError().text();
    if (!ok || accepted.count() != 1) return 0;
    return accepted[0].id;
  }
  Job stored(int32_t id) {
    Job job;
    std::string path = env.dir.file("data") + "/" + std::to_string(id) + ".job";
    EXPECT_GT(job.loadText(path.c_str()), 0) << path;
    return job;
  }

  test::ClientEnvironment env;
  test::JobOutputCapture out;
  test::RunningSupervisor running;
};

TEST_F(FarmLoopTest, EveryItemIsTakenRunAndStoredComplete) {
  ASSERT_TRUE(running.opened()) << running.supervisor().errorText();
  int32_t id = submit({"f1", "f2", "f3"});
  ASSERT_GT(id, 0);
  platform::ScopedEnvironmentVariable job_id("TQJOBID", std::to_string(id));
  platform::ScopedEnvironmentVariable sub_id("TQSUBID", "1");
  WorkLoopOptions loop;
  loop.command = "echo frame %w of job %j.%s";
  WorkLoopResult result = runWorkLoop(loop);
  running.stop();
  EXPECT_EQ(result.complete, 3);
  EXPECT_EQ(result.failed, 0);
  EXPECT_FALSE(result.lost);
  EXPECT_EQ(result.exitStatus(), 0);
  EXPECT_TRUE(out.has("got work: " + std::to_string(id) + ":f2 - running"));
  EXPECT_TRUE(out.has("complete notification - job done: " + std::to_string(id)));
  EXPECT_TRUE(out.has("received confirmation from worker."));
  EXPECT_EQ(out.countStarting("COMMAND: "), 3);
  EXPECT_NE(out.text().find("echo frame f3 of job " + std::to_string(id) + ".1\""),
            std::string::npos);

  Job job = stored(id);
  ASSERT_EQ(job.agenda.count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(job.agenda[i].status.value, kStatusComplete) << i;
    EXPECT_EQ(job.agenda[i].seq, 6) << i;  // confirmed with 3, reported with 6
    EXPECT_EQ(job.agenda[i].sub_id, 1) << i;
    EXPECT_FALSE(job.agenda[i].host.empty()) << i;
  }
  EXPECT_EQ(job.todo, 0);
  EXPECT_EQ(job.status.value, kStatusComplete);
  ASSERT_EQ(job.subjobs.count(), 1);
  EXPECT_EQ(job.subjobs[0].status.value, kStatusComplete);
  EXPECT_TRUE(env.sleeps.empty());
}

TEST_F(FarmLoopTest, AFailedItemIsStoredFailedAndFailsTheJob) {
  ASSERT_TRUE(running.opened());
  int32_t id = submit({"1", "2"});
  platform::ScopedEnvironmentVariable job_id("TQJOBID", std::to_string(id));
  platform::ScopedEnvironmentVariable sub_id("TQSUBID", "1");
  WorkLoopOptions loop;
#ifdef _WIN32
  loop.command = "if %w==2 exit 1";
#else
  loop.command = "test %w != 2";
#endif
  WorkLoopResult result = runWorkLoop(loop);
  running.stop();
  EXPECT_EQ(result.complete, 1);
  EXPECT_EQ(result.failed, 1);
  Job job = stored(id);
  EXPECT_EQ(job.agenda[0].status.value, kStatusComplete);
  EXPECT_EQ(job.agenda[1].status.value, kStatusFailed);
  EXPECT_EQ(job.subjobs[0].status.value, kStatusFailed);
  EXPECT_EQ(job.status.value, kStatusFailed);
}

TEST_F(FarmLoopTest, AJobTheWorkerDoesNotKnowEndsTheLoopWithoutWork) {
  ASSERT_TRUE(running.opened());
  env.writeConfig(running.configLines());
  platform::ScopedEnvironmentVariable job_id("TQJOBID", "41");
  WorkLoopOptions loop;
  loop.command = "exit 0";
  WorkLoopResult result = runWorkLoop(loop);
  EXPECT_TRUE(result.lost);
  EXPECT_TRUE(out.has("ERROR: tq-devsupervisor: no job 41"));
  EXPECT_EQ(out.countStarting("COMMAND: "), 0);
}

}  // namespace
}  // namespace tq
