// Development mode: the assignment from a job file, work from its agenda, nothing sent.
#include <gtest/gtest.h>

#include "client/work_protocol.h"
#include "job/status.h"
#include "support/client_environment.h"
#include "support/job_output_capture.h"

namespace tq {
namespace {

class DevelopmentModeTest : public ::testing::Test {
 protected:
  DevelopmentModeTest() { resetWorkProtocol(); }
  ~DevelopmentModeTest() override { resetWorkProtocol(); }

  // A job of three agenda items (whatever their stored status) saved in the given form.
  TqString jobFile(bool binary) {
    Job job;
    job.id = 12;
    job.name = "dev";
    job.setStatus(kStatusComplete);
    for (const char* name : {"f1", "f2", "f3"}) {
      Work item;
      item.name = name;
      item.status.value = kStatusFailed;
      job.agenda.append(item);
    }
    std::string path = env.dir.file(binary ? "job.bin" : "job.txt");
    EXPECT_GT(binary ? job.saveBinary(path.c_str()) : job.saveText(path.c_str()), 0);
    return TqString(path);
  }

  test::ClientEnvironment env;
  test::JobOutputCapture out;
};

TEST_F(DevelopmentModeTest, ThreeItemsRunningThenCompleteWithNothingSent) {
  for (bool binary : {false, true}) {
    TqString path = jobFile(binary);
    out.lines.clear();
    ASSERT_TRUE(loadDevelopmentJob(path));
    EXPECT_EQ(out.lines[0], "loading development environment. using file: " + path.str());
    EXPECT_TRUE(isDevelopmentMode());
    EXPECT_EQ(jobId(), 0);
    EXPECT_EQ(subjobId(), 0);
    const Job* job = assignedJob();
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(job->status.value, kStatusPending);
    EXPECT_EQ(job->todo, 3);
    for (int32_t i = 0; i < job->agenda.count(); ++i)
      EXPECT_EQ(job->agenda[i].status.value, kStatusPending);
    EXPECT_EQ(assignedSubjob()->status.value, kStatusPending);
    EXPECT_EQ(assignedSubjob()->pid, 0);

    for (const char* name : {"f1", "f2", "f3"}) {
      Work work;
      ASSERT_TRUE(requestWork(work));
      EXPECT_EQ(work.name, TqString(name));
      EXPECT_EQ(work.status.value, kStatusRunning);
      EXPECT_EQ(out.lines.back(), std::string("got work: ") + name);
    }
    Work last;
    ASSERT_TRUE(requestWork(last));
    EXPECT_EQ(last.status.value, kStatusComplete);
    EXPECT_EQ(out.lines.back(), "dev - complete notification - job done.");
    EXPECT_EQ(out.count("dev - requesting work."), 4);
  }
  EXPECT_TRUE(env.sleeps.empty());
  EXPECT_EQ(env.log(), "");
}

TEST_F(DevelopmentModeTest, ReportsArePrintedOnly) {
  ASSERT_TRUE(loadDevelopmentJob(jobFile(false)));
  Work work;
  work.name = "f1";
  work.status.value = kStatusComplete;
  EXPECT_TRUE(reportWork(work));
  EXPECT_EQ(out.lines.back(), "dev - reporting status on work: f1 - complete");
  work.status.value = kStatusFailed;
  EXPECT_TRUE(reportWork(work));
  EXPECT_EQ(out.lines.back(), "WARNING: work not set to complete.  Is this ok?");
  EXPECT_TRUE(out.has("dev - reporting status on work: f1 - failed"));
  EXPECT_EQ(work.seq, 0);
  Subjob own;
  own.status.value = kStatusComplete;
  EXPECT_TRUE(reportJob(own));
  EXPECT_EQ(out.lines.back(), "dev - reporting status on job: complete");
  EXPECT_EQ(env.log(), "");
}

TEST_F(DevelopmentModeTest, ReloadingStartsTheAgendaAgain) {
  TqString path = jobFile(false);
  ASSERT_TRUE(loadDevelopmentJob(path));
  Work work;
  requestWork(work);
  requestWork(work);
  ASSERT_TRUE(loadDevelopmentJob(path));
  ASSERT_TRUE(requestWork(work));
  EXPECT_EQ(work.name, TqString("f1"));
}

TEST_F(DevelopmentModeTest, AFileWithoutAJobLeavesNoAssignment) {
  ASSERT_TRUE(loadDevelopmentJob(jobFile(false)));
  std::string missing = env.dir.file("missing.job");
  EXPECT_FALSE(loadDevelopmentJob(TqString(missing)));
  EXPECT_EQ(out.lines.back(), "ERROR: unable to load a job from: " + missing);
  EXPECT_FALSE(isDevelopmentMode());
  EXPECT_EQ(assignedJob(), nullptr);
}

}  // namespace
}  // namespace tq
