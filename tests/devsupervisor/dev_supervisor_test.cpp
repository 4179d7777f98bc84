// The stand-in supervisor end to end on loopback: submissions, identifiers that survive a
// restart, discovery, and each misbehaviour as a client sees it.
#include "dev_supervisor.h"

#include <gtest/gtest.h>

#include <thread>

#include "config/identity.h"
#include "platform/file_system.h"
#include "records/record_file.h"
#include "support/client_environment.h"
#include "transport/client.h"

namespace tq {
namespace {

using M = DevSupervisorOptions::Misbehaviour;

class Running {
 public:
  explicit Running(DevSupervisorOptions options, int32_t count = 1)
      : supervisor_(setCount(options, count)) {
    opened_ = supervisor_.open();
    if (opened_) thread_ = std::thread([this] { served_ = supervisor_.run(); });
  }
  ~Running() { stop(); }
  int32_t stop() {
    if (thread_.joinable()) thread_.join();
    return served_;
  }
  bool opened() const { return opened_; }
  DevSupervisor& supervisor() { return supervisor_; }
  int32_t port() const { return supervisor_.port(); }

 private:
  static DevSupervisorOptions setCount(DevSupervisorOptions options, int32_t count) {
    options.count = count;
    return options;
  }
  DevSupervisor supervisor_;
  std::thread thread_;
  bool opened_ = false;
  int32_t served_ = 0;
};

class DevSupervisorTest : public ::testing::Test {
 protected:
  DevSupervisorOptions options(M misbehaviour = M::kNone) {
    DevSupervisorOptions o;
    o.data_directory = TqString(env.dir.file("data"));
    o.misbehaviour = misbehaviour;
    return o;
  }
  // A submission of `count` jobs (the first with one child) to the supervisor at port.
  bool submit(int32_t port, int32_t count, Message& reply, int32_t timeout = 3000) {
    JobList jobs;
    for (int32_t i = 0; i < count; ++i) {
      Job job;
      job.name = TqString(("shot_" + std::to_string(i)).c_str());
      if (i == 0) job.children.append(Job());
      jobs.append(std::move(job));
    }
    Message request(200);
    request.setContentRef(jobs);
    Client client;
    client.setTimeout(timeout);
    bool ok = client.exchange("127.0.0.1", port, request, reply);
    request.releaseContent();
    last_error = client.error();
    return ok;
  }
  test::ClientEnvironment env;
  Error last_error;
};

TEST_F(DevSupervisorTest, AcceptsSubmissionsAndStoresEveryJob) {
  Running running(options());
  ASSERT_TRUE(running.opened()) << running.supervisor().errorText();
  Message reply;
  ASSERT_TRUE(submit(running.port(), 2, reply));
  EXPECT_EQ(running.stop(), 1);
  EXPECT_EQ(reply.tag, 1);
  ASSERT_TRUE(reply.content());
  ASSERT_EQ(reply.content()->classId(), JobList::kClassId);
  auto& accepted = static_cast<JobList&>(*reply.content());
  ASSERT_EQ(accepted.count(), 2);
  EXPECT_EQ(accepted[0].id, 1);
  EXPECT_EQ(accepted[0].children[0].id, 2);
  EXPECT_EQ(accepted[0].children[0].pid, 1);
  EXPECT_EQ(accepted[1].id, 3);
  EXPECT_EQ(accepted[0].user, userName());
  for (int id : {1, 2, 3}) {
    Job stored;
    std::string path = env.dir.file("data") + "/" + std::to_string(id) + ".job";
    ASSERT_GT(stored.loadText(path.c_str()), 0) << path;
    EXPECT_EQ(stored.id, id);
  }
  EXPECT_NE(env.log().find("accepted 2 jobs from "), std::string::npos);
}

TEST_F(DevSupervisorTest, IdentifiersSurviveARestart) {
  {
    Running first(options());
    Message reply;
    ASSERT_TRUE(submit(first.port(), 1, reply));
  }
  Running second(options());
  EXPECT_EQ(second.supervisor().nextId(), 3);
  Message reply;
  ASSERT_TRUE(submit(second.port(), 1, reply));
  EXPECT_EQ(static_cast<JobList&>(*reply.content())[0].id, 3);
}

TEST_F(DevSupervisorTest, UnknownRequestsAreRefusedWithAReason) {
  Running running(options());
  Message request(77), reply;
  Client client;
  ASSERT_TRUE(client.exchange("127.0.0.1", running.port(), request, reply));
  EXPECT_EQ(reply.tag, 3);
  ASSERT_TRUE(reply.content());
  ASSERT_EQ(reply.content_type, ErrorText::kClassId);
  EXPECT_EQ(static_cast<ErrorText&>(*reply.content()).value,
            TqString("tq-devsupervisor: unknown request tag 77"));
}

TEST_F(DevSupervisorTest, IsFoundByDiscoveryThroughTheBroadcastSeam) {
  Running running(options(), 2);
  env.writeConfig("supervisor_domain = farm\nsupervisor_port = " + std::to_string(running.port()) +
                  "\n");
  JobList jobs;
  jobs.append(Job());
  Message request(200), reply;
  request.setContentRef(jobs);
  Client client;
  EXPECT_TRUE(client.request(request, reply));
  request.releaseContent();
  EXPECT_EQ(running.stop(), 2);
  EXPECT_EQ(readSupervisorCache(), TqString("127.0.0.1"));
}

TEST_F(DevSupervisorTest, EachMisbehaviourIsSeenByTheClient) {
  {
    Running busy(options(M::kBusy));
    Message reply;
    EXPECT_FALSE(submit(busy.port(), 1, reply));
    EXPECT_NE(env.log().find("ERROR: max connections reached for 127.0.0.1"), std::string::npos);
  }
  {
    Running blank(options(M::kBlank));
    Message reply;
    EXPECT_FALSE(submit(blank.port(), 1, reply));
    EXPECT_EQ(reply.tag, 0);
  }
  {
    DevSupervisorOptions o = options(M::kRefuse);
    o.refuse_text = "quota exceeded";
    Running refusing(o);
    Message reply;
    ASSERT_TRUE(submit(refusing.port(), 1, reply));
    EXPECT_EQ(reply.tag, 3);
    EXPECT_EQ(static_cast<ErrorText&>(*reply.content()).value, TqString("quota exceeded"));
  }
  {
    Running wrong(options(M::kWrongClass));
    Message reply;
    ASSERT_TRUE(submit(wrong.port(), 1, reply));
    EXPECT_EQ(reply.content_type, StringList::kClassId);
  }
  {
    Running holding(options(M::kHold));
    Message reply;
    EXPECT_FALSE(submit(holding.port(), 1, reply, 50));
    EXPECT_EQ(last_error.code(), 15);
  }
  {
    Running cutting(options(M::kCut));
    Message reply;
    EXPECT_FALSE(submit(cutting.port(), 1, reply));
    EXPECT_EQ(last_error.code(), 41);
  }
}

TEST_F(DevSupervisorTest, RedirectsToAnotherSupervisor) {
  DevSupervisorOptions target_options = options();
  target_options.data_directory = TqString(env.dir.file("elsewhere"));
  Running target(target_options);
  DevSupervisorOptions o = options(M::kRedirect);
  o.redirect_host = "127.0.0.1";
  o.redirect_port = target.port();
  Running redirecting(o);
  env.writeConfig("supervisor_host = 127.0.0.1\nsupervisor_port = " +
                  std::to_string(redirecting.port()) + "\n");
  JobList jobs;
  jobs.append(Job());
  Message request(200), reply;
  request.setContentRef(jobs);
  Client client;
  EXPECT_TRUE(client.request(request, reply));
  request.releaseContent();
  EXPECT_EQ(reply.tag, 1);
  EXPECT_TRUE(platform::fileAttributes(env.dir.file("elsewhere") + "/1.job").exists);
}

}  // namespace
}  // namespace tq
