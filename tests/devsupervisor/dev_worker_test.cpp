// The stand-in supervisor as the worker of local job programs: assignments and sub-job reports
// on the worker port, work items on the sub port, every change written to the stored job.
#include <gtest/gtest.h>

#include "job/job_records.h"
#include "job/status.h"
#include "support/client_environment.h"
#include "support/running_supervisor.h"
#include "transport/client.h"

namespace tq {
namespace {

class DevWorkerTest : public ::testing::Test {
 protected:
  DevWorkerTest() : running(options()) {}

  DevSupervisorOptions options() {
    DevSupervisorOptions o;
    o.data_directory = TqString(env.dir.file("data"));
    o.agenda = "001-003";
    return o;
  }
  // One exchange with the stand-in on one of its ports.
  Message ask(int32_t port, int32_t tag, std::unique_ptr<Object> content) {
    Message request(tag), reply;
    if (content) request.setContent(std::move(content));
    Client client;
    client.setTimeout(3000);
    EXPECT_TRUE(client.exchange("127.0.0.1", port, request, reply)) << "tag " << tag;
    return reply;
  }
  // Submits one job (with the given agenda, or none) and answers its id.
  int32_t submitJob(const std::vector<const char*>& agenda) {
    auto jobs = std::make_unique<JobList>();
    Job job;
    job.name = "shot";
    for (const char* name : agenda) {
      Work item;
      item.name = name;
      job.agenda.append(item);
    }
    jobs->append(std::move(job));
    Message reply = ask(supervisor().port(), 200, std::move(jobs));
    EXPECT_EQ(reply.tag, 1);
    if (!reply.content() || reply.content()->classId() != JobList::kClassId) return 0;
    return static_cast<JobList&>(*reply.content())[0].id;
  }
  Job stored(int32_t id) {
    Job job;
    std::string path = env.dir.file("data") + "/" + std::to_string(id) + ".job";
    EXPECT_GT(job.loadText(path.c_str()), 0) << path;
    return job;
  }
  Message requestWork(int32_t id, int32_t sub) {
    return ask(supervisor().subPort(), 600, std::make_unique<JobId>(id, sub));
  }
  Message report(const Work& work) {
    return ask(supervisor().subPort(), 602, std::make_unique<Work>(work));
  }
  static const Work& workOf(const Message& reply) {
    static const Work none;
    if (!reply.content() || reply.content()->classId() != Work::kClassId) return none;
    return static_cast<const Work&>(*reply.content());
  }
  static std::string refusalOf(const Message& reply) {
    if (reply.tag != 3 || !reply.content() || reply.content_type != ErrorText::kClassId) return "";
    return static_cast<ErrorText*>(reply.content())->value.str();
  }
  DevSupervisor& supervisor() { return running.supervisor(); }

  test::ClientEnvironment env;
  test::RunningSupervisor running;
};

TEST_F(DevWorkerTest, OpensFourPorts) {
  ASSERT_TRUE(running.opened()) << supervisor().errorText();
  EXPECT_GT(supervisor().workerPort(), 0);
  EXPECT_GT(supervisor().subPort(), 0);
  EXPECT_NE(supervisor().workerPort(), supervisor().port());
  EXPECT_NE(supervisor().subPort(), supervisor().workerPort());
}

TEST_F(DevWorkerTest, SubmissionsGetPendingAgendasAndTheDefaultOne) {
  int32_t own = submitJob({"a", "b"});
  int32_t defaulted = submitJob({});
  Job first = stored(own);
  ASSERT_EQ(first.agenda.count(), 2);
  EXPECT_EQ(first.agenda[1].status.value, kStatusPending);
  EXPECT_EQ(first.todo, 2);
  Job second = stored(defaulted);
  ASSERT_EQ(second.agenda.count(), 3);
  EXPECT_EQ(second.agenda[0].name, TqString("001"));
  EXPECT_EQ(second.agenda[2].name, TqString("003"));
  EXPECT_EQ(second.todo, 3);
}

TEST_F(DevWorkerTest, JobDetailsGiveTheStoredJobAndARunningSubjob) {
  int32_t id = submitJob({"a"});
  Message reply = ask(supervisor().workerPort(), 100, std::make_unique<JobId>(id, 4));
  EXPECT_EQ(reply.tag, 1);
  ASSERT_EQ(reply.content_type, Assignment::kClassId);
  auto& assignment = static_cast<Assignment&>(*reply.content());
  EXPECT_EQ(assignment.job.id, id);
  EXPECT_EQ(assignment.job.name, TqString("shot"));
  EXPECT_EQ(assignment.subjob.id, 4);
  EXPECT_EQ(assignment.subjob.pid, id);
  Job job = stored(id);
  EXPECT_EQ(job.status.value, kStatusRunning);
  ASSERT_EQ(job.subjobs.count(), 1);
  EXPECT_EQ(job.subjobs[0].status.value, kStatusRunning);

  EXPECT_EQ(refusalOf(ask(supervisor().workerPort(), 100, std::make_unique<JobId>(99, 0))),
            "tq-devsupervisor: no job 99");
}

TEST_F(DevWorkerTest, EachPortServesOnlyItsOwnTags) {
  int32_t id = submitJob({"a"});
  EXPECT_EQ(refusalOf(ask(supervisor().port(), 600, std::make_unique<JobId>(id, 0))),
            "tq-devsupervisor: unknown request tag 600");
  EXPECT_EQ(refusalOf(ask(supervisor().subPort(), 100, std::make_unique<JobId>(id, 0))),
            "tq-devsupervisor: unknown request tag 100 on the sub port");
  EXPECT_EQ(refusalOf(ask(supervisor().workerPort(), 200, std::make_unique<JobList>())),
            "tq-devsupervisor: unknown request tag 200 on the worker port");
  EXPECT_EQ(refusalOf(ask(supervisor().subPort(), 600, std::make_unique<Subjob>())),
            "tq-devsupervisor: work is asked for with a job_id");
}

TEST_F(DevWorkerTest, WorkIsHandedOutInOrderThenTheJobIsDone) {
  int32_t id = submitJob({"a", "b"});
  Message first = requestWork(id, 1);
  EXPECT_EQ(workOf(first).name, TqString("a"));
  EXPECT_EQ(workOf(first).status.value, kStatusRunning);
  EXPECT_EQ(workOf(first).pid, id);
  EXPECT_EQ(workOf(requestWork(id, 1)).name, TqString("b"));
  Message done = requestWork(id, 1);
  EXPECT_EQ(done.tag, 1);
  EXPECT_EQ(workOf(done).status.value, kStatusComplete);
  EXPECT_EQ(workOf(done).pid, id);
  Job job = stored(id);
  EXPECT_EQ(job.agenda[0].status.value, kStatusRunning);
  EXPECT_EQ(job.agenda[0].sub_id, 1);
}

TEST_F(DevWorkerTest, ReportsUpdateTheStoredItemAndStaleOnesAreIgnored) {
  int32_t id = submitJob({"a"});
  Work work = workOf(requestWork(id, 1));
  work.seq = 3;
  work.host = "render01";
  EXPECT_EQ(report(work).tag, 1);
  work.status.value = kStatusComplete;
  work.seq = 6;
  EXPECT_EQ(report(work).tag, 1);
  // A late copy of the confirmation must not undo the completion.
  work.status.value = kStatusRunning;
  work.seq = 3;
  EXPECT_EQ(report(work).tag, 1);
  Job job = stored(id);
  EXPECT_EQ(job.agenda[0].status.value, kStatusComplete);
  EXPECT_EQ(job.agenda[0].seq, 6);
  EXPECT_EQ(job.agenda[0].host, TqString("render01"));
  EXPECT_EQ(job.todo, 0);
  EXPECT_NE(env.log().find("ignoring a stale report on work a of job"), std::string::npos);

  work.name = "zz";
  work.seq = 100;
  EXPECT_EQ(refusalOf(report(work)),
            "tq-devsupervisor: job " + std::to_string(id) + " has no work item 'zz'");
}

TEST_F(DevWorkerTest, ARunningSubjobMayReportItemsOfItsOwn) {
  // A job program cuts the job into pieces of its own (as tq-aerender does for a job without
  // an agenda) and reports each as an item.
  int32_t id = submitJob({"1"});
  Work own;
  own.name = "2-10";
  own.pid = id;
  own.sub_id = 1;
  own.seq = 3;
  own.status.value = kStatusComplete;
  // Before the sub-job runs, the item is unknown.
  EXPECT_EQ(refusalOf(report(own)),
            "tq-devsupervisor: job " + std::to_string(id) + " has no work item '2-10'");
  ask(supervisor().workerPort(), 100, std::make_unique<JobId>(id, 1));
  own.sub_id = 2;  // not a sub-job of the job
  EXPECT_EQ(report(own).tag, 3);
  own.sub_id = 1;
  EXPECT_EQ(report(own).tag, 1);
  Job job = stored(id);
  ASSERT_EQ(job.agenda.count(), 2);
  EXPECT_EQ(job.agenda[1].name, TqString("2-10"));
  EXPECT_EQ(job.agenda[1].status.value, kStatusComplete);
  EXPECT_EQ(job.agenda[1].seq, 3);
  EXPECT_EQ(job.todo, 1);  // item "1" is still pending
}

TEST_F(DevWorkerTest, SubjobReportsSettleTheJobsStatus) {
  int32_t done_id = submitJob({"a"});
  int32_t failed_id = submitJob({"a", "b"});
  for (int32_t id : {done_id, failed_id})
    ask(supervisor().workerPort(), 100, std::make_unique<JobId>(id, 1));
  Work work = workOf(requestWork(done_id, 1));
  work.status.value = kStatusComplete;
  work.seq = 6;
  report(work);
  Work bad = workOf(requestWork(failed_id, 1));
  bad.status.value = kStatusFailed;
  bad.seq = 6;
  report(bad);

  auto subjobReport = [&](int32_t id, int32_t status) {
    auto subjob = std::make_unique<Subjob>();
    subjob->id = 1;
    subjob->pid = id;
    subjob->status.value = status;
    return ask(supervisor().workerPort(), 206, std::move(subjob));
  };
  EXPECT_EQ(subjobReport(done_id, kStatusComplete).tag, 1);
  EXPECT_EQ(stored(done_id).status.value, kStatusComplete);
  EXPECT_GT(stored(done_id).time_complete.value, 0);
  EXPECT_EQ(subjobReport(failed_id, kStatusFailed).tag, 1);
  EXPECT_EQ(stored(failed_id).status.value, kStatusFailed);
  EXPECT_EQ(refusalOf(subjobReport(77, kStatusComplete)), "tq-devsupervisor: no job 77");
}

}  // namespace
}  // namespace tq
