// The job-side work protocol against a worker and supervisor written in the tests
// (scripted_supervisor.h): what is sent, what is printed, how long it waits and when it ends the
// process. Every pause is recorded, never slept.
#include "client/work_protocol.h"

#include <gtest/gtest.h>

#include "config/identity.h"
#include "job/status.h"
#include "platform/process_exit.h"
#include "support/client_environment.h"
#include "support/job_output_capture.h"
#include "support/loopback.h"
#include "support/scripted_supervisor.h"

namespace tq {
namespace {

using test::ScriptedSupervisor;
using Answer = ScriptedSupervisor::Answer;

// The contents of the requests a scripted peer saw, by kind.
struct Seen {
  std::vector<int32_t> tags;
  std::vector<JobId> job_ids;
  std::vector<Work> works;
  std::vector<Subjob> subjobs;
};

Answer noting(Seen& seen, Answer inner) {
  return [&seen, inner](Message& request) {
    seen.tags.push_back(request.tag);
    if (Object* c = request.content()) {
      if (c->classId() == JobId::kClassId) seen.job_ids.push_back(*static_cast<JobId*>(c));
      if (c->classId() == Work::kClassId) seen.works.push_back(*static_cast<Work*>(c));
      if (c->classId() == Subjob::kClassId) seen.subjobs.push_back(*static_cast<Subjob*>(c));
    }
    return inner(request);
  };
}

template <class R>
Answer replyWith(int32_t tag, const R& record) {
  return ScriptedSupervisor::reply(
      tag, [record](Message& m) { m.setContent(std::make_unique<R>(record)); });
}

Work workItem(const char* name, int32_t status, int32_t seq = 0) {
  Work w;
  w.name = name;
  w.pid = 7;
  w.sub_id = 2;
  w.status.value = status;
  w.seq = seq;
  return w;
}

Assignment assignmentOf(int32_t job, int32_t sub) {
  Assignment a;
  a.job.id = job;
  a.job.name = "shot";
  a.subjob.id = sub;
  a.subjob.pid = job;
  return a;
}

std::vector<Answer> repeat(int n, const Answer& answer) { return std::vector<Answer>(n, answer); }

class WorkProtocolTest : public ::testing::Test {
 protected:
  WorkProtocolTest()
      : job_id_("TQJOBID", "7"),
        sub_id_("TQSUBID", "2"),
        exit_([this](int status) { exits.push_back(status); }) {
    resetWorkProtocol();
  }
  ~WorkProtocolTest() override { resetWorkProtocol(); }

  // Worker and supervisor sub port both at `port`.
  void pointAt(int32_t port) {
    env.writeConfig("client_timeout = 3000\nsupervisor_host = 127.0.0.1\nworker_port = " +
                    std::to_string(port) + "\nsupervisor_sub_port = " + std::to_string(port) +
                    "\n");
  }
  // Takes the assignment of job 7, sub-job 2 from a scripted worker.
  void assign() {
    ScriptedSupervisor worker;
    pointAt(worker.port());
    worker.serve({replyWith(1, assignmentOf(7, 2))});
    ASSERT_TRUE(initJob());
    worker.join();
    out.lines.clear();
    env.sleeps.clear();
  }
  int32_t sleptTotal() const {
    int32_t n = 0;
    for (int32_t ms : env.sleeps) n += ms;
    return n;
  }

  test::ClientEnvironment env;
  test::JobOutputCapture out;
  std::vector<int> exits;

 private:
  platform::ScopedEnvironmentVariable job_id_;
  platform::ScopedEnvironmentVariable sub_id_;
  platform::ScopedExitFunction exit_;
};

// A TCP port where nothing listens, so every connection is refused. The port stays bound for
// the test, so that no server of a test running alongside can be given it.
class ClosedPort {
 public:
  ClosedPort() : socket_(platform::openStreamSocket()) {
    platform::Endpoint local{test::kLoopback, 0};
    if (platform::bindSocket(socket_, local) && platform::localEndpoint(socket_, local))
      port_ = local.port;
  }
  ~ClosedPort() { platform::closeSocket(socket_); }
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  int32_t port() const { return port_; }

 private:
  platform::SocketHandle socket_;
  int32_t port_ = 0;
};

TEST_F(WorkProtocolTest, WithoutAnAssignmentEveryReaderSaysSo) {
  EXPECT_EQ(jobId(), 0);
  EXPECT_EQ(subjobId(), 0);
  EXPECT_EQ(assignedJob(), nullptr);
  EXPECT_EQ(assignedSubjob(), nullptr);
  EXPECT_EQ(out.count("ERROR: couldn't obtain assignment"), 4);
  EXPECT_FALSE(reportJob(Subjob()));
  EXPECT_TRUE(out.has("unable to report job...  assignment not available."));
  // Nothing is asked or reported for job 0: each fails at once (a day of retries otherwise).
  Work work;
  EXPECT_FALSE(requestWork(work));
  EXPECT_EQ(work.status.value, kStatusComplete);
  Work report;
  report.name = "1";
  report.status.value = kStatusComplete;
  EXPECT_FALSE(reportWork(report));
  EXPECT_EQ(report.seq, 0) << "nothing was numbered for sending";
  EXPECT_TRUE(env.sleeps.empty());
  EXPECT_TRUE(exits.empty());
}

TEST_F(WorkProtocolTest, InitJobAsksTheWorkerForTheEnvironmentsIds) {
  ScriptedSupervisor worker;
  pointAt(worker.port());
  Seen seen;
  worker.serve({noting(seen, replyWith(1, assignmentOf(7, 2)))});
  ASSERT_TRUE(initJob());
  ASSERT_EQ(worker.join(), 1);
  ASSERT_EQ(seen.job_ids.size(), 1u);
  EXPECT_EQ(seen.tags[0], 100);
  EXPECT_EQ(seen.job_ids[0].id, 7);
  EXPECT_EQ(seen.job_ids[0].sub_id, 2);
  EXPECT_EQ(out.lines[0], "getting job details for: 7.2");
  EXPECT_EQ(jobId(), 7);
  EXPECT_EQ(subjobId(), 2);
  ASSERT_NE(assignedJob(), nullptr);
  EXPECT_EQ(assignedJob()->name, TqString("shot"));
  EXPECT_FALSE(isDevelopmentMode());
}

TEST_F(WorkProtocolTest, IdsBeyondThirtyTwoBitsClamp) {
  ScriptedSupervisor worker;
  pointAt(worker.port());
  Seen seen;
  worker.serve({noting(seen, replyWith(1, assignmentOf(7, 2)))});
  platform::ScopedEnvironmentVariable job("TQJOBID", "99999999999");
  platform::ScopedEnvironmentVariable sub("TQSUBID", "-99999999999");
  ASSERT_TRUE(initJob());
  ASSERT_EQ(worker.join(), 1);
  ASSERT_EQ(seen.job_ids.size(), 1u);
  EXPECT_EQ(seen.job_ids[0].id, INT32_MAX);
  EXPECT_EQ(seen.job_ids[0].sub_id, INT32_MIN);
}

TEST_F(WorkProtocolTest, InitJobRetriesTagFourAndSkipsThePauseWhenTurnedAway) {
  platform::ScopedEnvironmentVariable unset_sub("TQSUBID", "");
  ScriptedSupervisor worker;
  pointAt(worker.port());
  std::vector<Answer> answers = repeat(6, ScriptedSupervisor::reply(4));
  answers.push_back(ScriptedSupervisor::reply(5));  // too many connections: turned away
  answers.push_back(replyWith(1, assignmentOf(7, 0)));
  worker.serve(answers);
  ASSERT_TRUE(initJob());
  EXPECT_EQ(worker.join(), 8);
  EXPECT_EQ(out.lines[0], "getting job details for: 7.0");
  EXPECT_EQ(out.count("WARNING: init api re-sent. (worker down?): 0"), 1);
  EXPECT_EQ(out.count("WARNING: init api re-sent. (worker down?): 5"), 1);
  EXPECT_EQ(out.countStarting("WARNING: init api re-sent."), 2);
  // Six pauses of 120 s for tag 4; the refusal costs only the client's own 1 to 10 s.
  std::vector<int32_t> expected(6, 120000);
  expected.push_back(1000);
  EXPECT_EQ(env.sleeps, expected);
}

TEST_F(WorkProtocolTest, InitJobGivesUpAfter1440FailedAttempts) {
  ClosedPort closed;
  ASSERT_GT(closed.port(), 0);
  pointAt(closed.port());
  EXPECT_FALSE(initJob());
  EXPECT_EQ(env.sleeps, std::vector<int32_t>(1440, 120000));
  EXPECT_EQ(out.countStarting("WARNING: job query request resent: "), 288);
  EXPECT_TRUE(out.has("WARNING: job query request resent: 1435"));
  EXPECT_EQ(out.lines.back(),
            "ERROR: unable to contact worker... recommending immediate shutdown.");
  EXPECT_EQ(jobId(), 0);
}

TEST_F(WorkProtocolTest, InitJobTakesOnlyAnAssignment) {
  ScriptedSupervisor worker;
  pointAt(worker.port());
  ErrorText refusal;
  refusal.value = "no job 7";
  worker.serve({replyWith(3, refusal), replyWith(1, JobId(7, 2))});
  EXPECT_FALSE(initJob());
  EXPECT_TRUE(out.has("ERROR: no job 7"));
  EXPECT_FALSE(initJob());
  EXPECT_TRUE(out.has("ERROR: worker returned incorrect data"));
  EXPECT_EQ(assignedJob(), nullptr);
}

TEST_F(WorkProtocolTest, ReceivedWorkIsConfirmedWithSeqPlusThreeAndReportedLaterWithPlusSix) {
  assign();
  ScriptedSupervisor supervisor;
  pointAt(supervisor.port());
  Seen seen;
  supervisor.serve({noting(seen, replyWith(1, workItem("f1", kStatusRunning, 10))),
                    noting(seen, ScriptedSupervisor::reply(1)),
                    noting(seen, ScriptedSupervisor::reply(1))});
  Work work;
  ASSERT_TRUE(requestWork(work));
  EXPECT_EQ(work.name, TqString("f1"));
  EXPECT_EQ(work.status.value, kStatusRunning);
  EXPECT_EQ(work.seq, 13);
  EXPECT_EQ(storedSequence("7:f1"), 13);
  work.status.value = kStatusComplete;
  ASSERT_TRUE(reportWork(work));
  ASSERT_EQ(supervisor.join(), 3);

  EXPECT_EQ(seen.tags, (std::vector<int32_t>{600, 602, 602}));
  EXPECT_EQ(seen.job_ids[0].id, 7);
  EXPECT_EQ(seen.job_ids[0].sub_id, 2);
  ASSERT_EQ(seen.works.size(), 2u);
  EXPECT_EQ(seen.works[0].seq, 13);
  EXPECT_EQ(seen.works[0].status.value, kStatusRunning);
  EXPECT_EQ(seen.works[1].seq, 16);
  EXPECT_EQ(seen.works[1].status.value, kStatusComplete);
  TqString host = hostName().empty() ? TqString("127.0.0.1") : hostName();
  EXPECT_EQ(seen.works[1].host, host);
  EXPECT_EQ(out.lines,
            (std::vector<std::string>{"requesting work for: 7.2", "got work: 7:f1 - running",
                                      "reporting status on work for: 7.2 f1 - complete"}));
  EXPECT_TRUE(env.sleeps.empty());
}

TEST_F(WorkProtocolTest, TwoReportsOfAnUnseenItemCarrySeqThreeThenSix) {
  assign();
  ScriptedSupervisor supervisor;
  pointAt(supervisor.port());
  Seen seen;
  supervisor.serve(repeat(2, noting(seen, ScriptedSupervisor::reply(1))));
  Work work = workItem("f9", kStatusRunning);
  work.pid = -1;
  work.sub_id = -1;
  ASSERT_TRUE(reportWork(work));
  EXPECT_EQ(work.pid, 7);
  EXPECT_EQ(work.sub_id, 2);
  work.status.value = kStatusFailed;
  ASSERT_TRUE(reportWork(work));
  supervisor.join();
  ASSERT_EQ(seen.works.size(), 2u);
  EXPECT_EQ(seen.works[0].seq, 3);
  EXPECT_EQ(seen.works[1].seq, 6);
  EXPECT_TRUE(out.has("reporting status on work for: 7.2 f9 - failed"));
}

TEST_F(WorkProtocolTest, ARefusedWorkReportIsNotDelivered) {
  assign();
  ScriptedSupervisor supervisor;
  pointAt(supervisor.port());
  supervisor.serve({ScriptedSupervisor::reply(3, [](Message& m) {
    auto text = std::make_unique<ErrorText>();
    text->value = "no such item";
    m.setContent(std::move(text));
  })});
  Work work = workItem("f9", kStatusComplete);
  EXPECT_FALSE(reportWork(work));
  supervisor.join();
  EXPECT_TRUE(out.has("ERROR: work report refused: 7.2 f9 - no such item"));
  EXPECT_TRUE(env.sleeps.empty()) << "a refusal is an answer: nothing is sent again";
}

TEST_F(WorkProtocolTest, TagFourToAWorkRequestIsARetryNotAnAnswer) {
  assign();
  env.random_value = 130;  // 130 % 120 + 1 = 11 s, 130 % 20 + 1 = 11 s
  ScriptedSupervisor supervisor;
  pointAt(supervisor.port());
  Seen seen;
  std::vector<Answer> answers = repeat(2, noting(seen, ScriptedSupervisor::reply(4)));
  answers.push_back(noting(seen, replyWith(1, workItem("f2", kStatusRunning))));
  answers.push_back(noting(seen, ScriptedSupervisor::reply(4)));  // the confirmation, again
  answers.push_back(noting(seen, ScriptedSupervisor::reply(1)));
  supervisor.serve(answers);
  Work work;
  ASSERT_TRUE(requestWork(work));
  EXPECT_EQ(supervisor.join(), 5);
  EXPECT_EQ(seen.tags, (std::vector<int32_t>{600, 600, 600, 602, 602}));
  EXPECT_EQ(work.name, TqString("f2"));
  EXPECT_EQ(env.sleeps, (std::vector<int32_t>{71000, 71000, 21000}));
  EXPECT_EQ(out.count("WARNING: work request resent (supervisor down?): 0 tries."), 1);
  EXPECT_EQ(out.countStarting("WARNING: work request resent"), 1);
  EXPECT_EQ(out.count("WARNING: work status resent (supervisor down?): 0 tries."), 1);
}

TEST_F(WorkProtocolTest, CompletionAndPreemptionEndTheWorkWithoutAConfirmation) {
  assign();
  ScriptedSupervisor supervisor;
  pointAt(supervisor.port());
  supervisor.serve(
      {replyWith(1, workItem("", kStatusComplete)), replyWith(1, workItem("f3", kStatusPending))});
  Work done;
  ASSERT_TRUE(requestWork(done));
  EXPECT_EQ(done.status.value, kStatusComplete);
  EXPECT_TRUE(out.has("complete notification - job done: 7"));
  Work preempted;
  ASSERT_TRUE(requestWork(preempted));
  EXPECT_EQ(preempted.status.value, kStatusPending);
  EXPECT_EQ(preempted.name, TqString("f3"));
  EXPECT_TRUE(out.has("preempt order received - job should exit: 7"));
  EXPECT_EQ(supervisor.join(), 2);
  EXPECT_EQ(storedSequence("7:f3"), 0);
}

TEST_F(WorkProtocolTest, RepliesThatHoldNoWorkItemEndTheWorkAsFailures) {
  assign();
  ScriptedSupervisor supervisor;
  pointAt(supervisor.port());
  ErrorText refusal;
  refusal.value = "job 7 was killed";
  supervisor.serve(
      {ScriptedSupervisor::reply(1), replyWith(1, JobId(7, 2)), replyWith(3, refusal)});
  for (const char* line : {"ERROR: work request malformed", "ERROR: worker returned incorrect data",
                           "ERROR: job 7 was killed"}) {
    Work work;
    EXPECT_FALSE(requestWork(work)) << line;
    EXPECT_EQ(work.status.value, kStatusComplete) << line;
    EXPECT_EQ(out.lines.back(), line);
  }
  supervisor.join();
}

TEST_F(WorkProtocolTest, WorkRequestGivesUpAfter1440FailedAttempts) {
  assign();
  ClosedPort closed;
  ASSERT_GT(closed.port(), 0);
  pointAt(closed.port());
  env.random_value = 119;  // the longest pause: 120 s + 60 s
  Work work;
  EXPECT_FALSE(requestWork(work));
  EXPECT_EQ(work.status.value, kStatusComplete);
  EXPECT_EQ(env.sleeps, std::vector<int32_t>(1440, 180000));
  EXPECT_EQ(out.countStarting("WARNING: work request resent: "), 288);
  EXPECT_TRUE(out.has("WARNING: work request resent: 1435 tries."));
  EXPECT_EQ(out.lines.back(),
            "ERROR: unable to contact worker... recommending immediate shutdown.");
}

TEST_F(WorkProtocolTest, WorkReportGivesUpAfter1440FailedAttempts) {
  assign();
  ClosedPort closed;
  ASSERT_GT(closed.port(), 0);
  pointAt(closed.port());
  Work work = workItem("f4", kStatusComplete);
  EXPECT_FALSE(reportWork(work));
  EXPECT_EQ(env.sleeps, std::vector<int32_t>(1440, 120000));
  EXPECT_EQ(out.countStarting("WARNING: work report resent: "), 288);
  EXPECT_EQ(out.lines.back(), "ERROR unable to report on work: 7.2 - complete");
}

TEST_F(WorkProtocolTest, ReportJobEndsTheProcessOnAShutdownOrder) {
  assign();
  ScriptedSupervisor worker;
  pointAt(worker.port());
  Seen seen;
  worker.serve({noting(seen, ScriptedSupervisor::reply(203))});
  Subjob own;
  own.id = 99;  // the assignment's ids are sent, whatever the caller's say
  own.pid = 98;
  own.status.value = kStatusComplete;
  EXPECT_FALSE(reportJob(own));
  worker.join();
  EXPECT_EQ(exits, std::vector<int>{1});
  EXPECT_EQ(out.lines.back(), "received order to shutdown.");
  ASSERT_EQ(seen.subjobs.size(), 1u);
  EXPECT_EQ(seen.tags[0], 206);
  EXPECT_EQ(seen.subjobs[0].pid, 7);
  EXPECT_EQ(seen.subjobs[0].id, 2);
  EXPECT_EQ(seen.subjobs[0].status.value, kStatusComplete);
  TqString host = hostName().empty() ? TqString("127.0.0.1") : hostName();
  EXPECT_EQ(seen.subjobs[0].host, host);
}

TEST_F(WorkProtocolTest, ReportJobRetriesAGeneralProblemUntilConfirmed) {
  assign();
  env.random_value = 7;  // first pause 7 % 5 + 1 = 3 s
  ScriptedSupervisor worker;
  pointAt(worker.port());
  worker.serve(
      {ScriptedSupervisor::reply(4), ScriptedSupervisor::reply(2), ScriptedSupervisor::reply(1)});
  Subjob own;
  own.status.value = kStatusComplete;
  EXPECT_TRUE(reportJob(own));
  worker.join();
  EXPECT_TRUE(exits.empty());
  EXPECT_EQ(env.sleeps, (std::vector<int32_t>{3000, 6000}));
  EXPECT_EQ(out.lines,
            (std::vector<std::string>{"worker reports a general problem... will retry again.",
                                      "received confirmation from worker."}));
}

TEST_F(WorkProtocolTest, ReportJobExitsAfter64SilentAttemptsWithADoublingPause) {
  assign();
  ClosedPort closed;
  ASSERT_GT(closed.port(), 0);
  pointAt(closed.port());
  env.random_value = 4;  // first pause 5 s
  EXPECT_FALSE(reportJob(Subjob()));
  EXPECT_EQ(exits, std::vector<int>{1});
  EXPECT_EQ(out.lines.back(), "the worker seems dead...  I'm exiting now. ");
  ASSERT_EQ(env.sleeps.size(), 64u);
  std::vector<int32_t> first{5000, 10000, 20000, 40000, 80000, 160000, 320000, 640000, 640000};
  EXPECT_EQ(std::vector<int32_t>(env.sleeps.begin(), env.sleeps.begin() + 9), first);
  EXPECT_EQ(env.sleeps.back(), 640000);
}

TEST_F(WorkProtocolTest, ReadersOfRepliesCheckEveryClaim) {
  Message reply(1);
  Work work;
  TqString reason;
  EXPECT_EQ(readWorkReply(reply, work, reason), WorkReply::kMalformed);
  EXPECT_EQ(nextSequence(10), 13);
  EXPECT_EQ(nextSequence(INT32_MAX), INT32_MIN + 2);  // a hostile peer's value wraps
  reply.setContent(std::make_unique<Work>(workItem("x", kStatusRunning)));
  reply.content_type = Subjob::kClassId;  // a content that is not what the reply says
  EXPECT_EQ(readWorkReply(reply, work, reason), WorkReply::kIncorrect);
  reply.content_type = Work::kClassId;
  EXPECT_EQ(readWorkReply(reply, work, reason), WorkReply::kWork);
  EXPECT_EQ(work.name, TqString("x"));

  TqString problem;
  EXPECT_EQ(readAssignmentReply(reply, problem), nullptr);
  EXPECT_EQ(problem, TqString("ERROR: worker returned incorrect data"));
  Message empty(1);
  EXPECT_EQ(readAssignmentReply(empty, problem), nullptr);
  EXPECT_TRUE(problem.empty());
}

}  // namespace
}  // namespace tq
