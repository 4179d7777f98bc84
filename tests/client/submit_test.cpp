// The submission call: how jobs are completed before they leave, how every answer and refusal
// becomes the result and the last error, against a supervisor peer written here and against
// the stand-in supervisor.
#include "client/submit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "config/identity.h"
#include "dev_supervisor.h"
#include "job/names.h"
#include "platform/file_system.h"
#include "support/client_environment.h"
#include "support/loopback.h"
#include "support/scripted_supervisor.h"
#include "transport/error.h"

namespace tq {
namespace {

namespace fs = std::filesystem;
using test::ScriptedSupervisor;

size_t countOf(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

void writeFile(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class SubmitTest : public ::testing::Test {
 protected:
  SubmitTest() {
    types_ = env.dir.file("types");
    writeFile(types_ + "/aftereffects/job.conf",
              "job_priority = 10\njob_cluster = render\njob_label = render\n"
              "job_flags = mail\njob_kind = aerender\ncallback_library = callbacks.conf\n");
    writeFile(types_ + "/aftereffects/callbacks.conf",
              "[job-done]\nlanguage = perl\ncode = {print 1}\n[no-code]\nlanguage = perl\n");
  }
  // tq.conf naming the scripted peer (or any port) as the supervisor.
  void configure(int32_t port, const std::string& extra = "") {
    env.writeConfig("supervisor_host = 127.0.0.1\nsupervisor_port = " + std::to_string(port) +
                    "\n" + extra);
  }
  static JobList oneJob() {
    JobList jobs;
    Job job;
    job.prototype = "aftereffects";
    jobs.append(std::move(job));
    return jobs;
  }
  // Submits to the scripted peer, which answers with `answer`; the request it saw.
  Message submitTo(ScriptedSupervisor::Answer answer, JobList& jobs, JobList& accepted, bool& ok) {
    ScriptedSupervisor peer;
    configure(peer.port());
    Message seen;
    peer.serve({[&](Message& request) {
      seen.tag = request.tag;
      seen.content_type = request.content_type;
      return answer(request);
    }});
    ok = submit(jobs, accepted);
    peer.join();
    return seen;
  }

  test::ClientEnvironment env;
  std::string types_;
  platform::ScopedEnvironmentVariable tqpath_{"TQPATH", ""};
};

TEST_F(SubmitTest, AcceptedJobsAreAppendedInReplyOrder) {
  JobList jobs = oneJob(), accepted;
  accepted.append(Job());
  bool ok = false;
  Message seen = submitTo(ScriptedSupervisor::reply(1,
                                                    [](Message& m) {
                                                      auto list = std::make_unique<JobList>();
                                                      for (int id : {7, 8, 9}) {
                                                        Job job;
                                                        job.id = id;
                                                        list->append(std::move(job));
                                                      }
                                                      m.setContent(std::move(list));
                                                    }),
                          jobs, accepted, ok);
  ASSERT_TRUE(ok) << lastError().text();
  EXPECT_EQ(seen.tag, 200);
  EXPECT_EQ(seen.content_type, JobList::kClassId);
  ASSERT_EQ(accepted.count(), 4);
  EXPECT_EQ(accepted[1].id, 7);
  EXPECT_EQ(accepted[2].id, 8);
  EXPECT_EQ(accepted[3].id, 9);
  EXPECT_EQ(jobs.count(), 1);  // the caller's list is still the caller's
}

// What the user reads for every way a submission can fail: the code, and a text that says why
// and names the supervisor tried ("{peer}" stands for "127.0.0.1 port N" of the peer).
TEST_F(SubmitTest, EveryFailureTellsTheUserWhy) {
  struct Row {
    ScriptedSupervisor::Answer answer;
    int32_t code;
    std::string text;
  };
  auto error_record = [](Message& m) {
    auto error = std::make_unique<ErrorRecord>();
    error->setCode(3060);
    error->setValue("ERROR", "over quota");
    m.setContent(std::move(error));
  };
  std::vector<Row> rows = {
      {ScriptedSupervisor::reply(1), 2052, "ERROR: data returned blank"},
      {ScriptedSupervisor::reply(1,
                                 [](Message& m) {
                                   auto names = std::make_unique<StringList>();
                                   names->append(TqString("x"));
                                   m.setContent(std::move(names));
                                 }),
       2053, "an answer holding a \"string_list\" record where accepted jobs were expected"},
      // A refusal of another class than a reason.
      {ScriptedSupervisor::reply(3,
                                 [](Message& m) {
                                   auto names = std::make_unique<StringList>();
                                   names->append(TqString("x"));
                                   m.setContent(std::move(names));
                                 }),
       2053, "a refusal holding a \"string_list\" record, not a reason"},
      {ScriptedSupervisor::reply(3,
                                 [](Message& m) {
                                   auto text = std::make_unique<ErrorText>();
                                   text->value = "no cluster named $x";
                                   m.setContent(std::move(text));
                                 }),
       100000, "no cluster named $x"},
      {ScriptedSupervisor::reply(4, error_record), 3060, "job submission denied - over quota"},
      {ScriptedSupervisor::reply(3), 2051, "unspecifed error"},
      {ScriptedSupervisor::silence(), 16,
       "blank message: connection closed by peer without an answer ({peer})"},
      {ScriptedSupervisor::reply(5), 5002,
       "supervisor busy: 127.0.0.1 has too many connections ({peer})"},
      {ScriptedSupervisor::reply(0), 5003, "empty answer from supervisor 127.0.0.1 ({peer})"},
      // An answer that stops inside its body, the connection left open.
      {[](Message&) {
         Message answer(1);
         test::Bytes frame = test::frameOf(answer);
         frame.resize(frame.size() - 2);
         return frame;
       },
       15,
       "tcp receive socket timed out: the message stopped after {got} of its {size} bytes "
       "({peer})"},
  };
  Message probe(1);
  const size_t body = test::frameOf(probe).size() - 9;
  for (const Row& row : rows) {
    JobList jobs = oneJob(), accepted;
    ScriptedSupervisor peer;
    configure(peer.port(), "client_timeout = 50\n");
    peer.serve({row.answer});
    bool ok = submit(jobs, accepted);
    peer.join();
    std::string expected = row.text;
    auto put = [&](const std::string& key, const std::string& value) {
      size_t at = expected.find(key);
      if (at != std::string::npos) expected.replace(at, key.size(), value);
    };
    put("{peer}", "127.0.0.1 port " + std::to_string(peer.port()));
    put("{got}", std::to_string(body - 2));
    put("{size}", std::to_string(body));
    EXPECT_FALSE(ok) << row.code;
    EXPECT_EQ(lastError().code(), row.code);
    EXPECT_EQ(lastError().text().str(), expected);
    EXPECT_TRUE(accepted.empty());
    EXPECT_EQ(jobs.count(), 1);
  }
}

// A refused connection carries the system's reason (its wording differs between systems) and
// the peer; with no supervisor named at all the user reads which file to change.
TEST_F(SubmitTest, RefusedAndUnconfiguredSupervisorsSayWhy) {
  test::RefusingPort gone;
  configure(gone.port());
  JobList jobs = oneJob(), accepted;
  EXPECT_FALSE(submit(jobs, accepted));
  EXPECT_EQ(lastError().code(), 35);
  std::string text = lastError().text().str();
  const std::string head = "unable to connect to host: ";
  const std::string tail = " (127.0.0.1 port " + std::to_string(gone.port()) + ")";
  ASSERT_GT(text.size(), head.size() + tail.size()) << text << ": the system's reason is missing";
  EXPECT_EQ(text.substr(0, head.size()), head);
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  // Nothing within client_timeout: a peer that takes the connection and never answers.
  test::RawServer mute;
  configure(mute.port(), "client_timeout = 50\n");
  EXPECT_FALSE(submit(jobs, accepted));
  EXPECT_EQ(lastError().code(), 15);
  EXPECT_EQ(lastError().text().str(),
            "tcp receive socket timed out: no answer within 50 ms (127.0.0.1 port " +
                std::to_string(mute.port()) + ")");
  // An answer cut inside its body: the peer closes the connection there.
  test::RawServer cutting;
  configure(cutting.port(), "client_timeout = 2000\n");
  Message answer(1);
  test::Bytes frame = test::frameOf(answer);
  std::thread peer([&] {
    std::unique_ptr<test::RawPeer> raw = cutting.accept(2000);
    if (!raw) return;
    raw->receiveAll(50);
    raw->send(test::Bytes(frame.begin(), frame.end() - 2));
    raw->close();
  });
  EXPECT_FALSE(submit(jobs, accepted));
  peer.join();
  const size_t body = frame.size() - 9;
  EXPECT_EQ(lastError().code(), 41);
  EXPECT_EQ(lastError().text().str(), "connection closed by peer inside a message, after " +
                                          std::to_string(body - 2) + " of its " +
                                          std::to_string(body) + " bytes (127.0.0.1 port " +
                                          std::to_string(cutting.port()) + ")");
  env.writeConfig("client_timeout = 50\n");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(submit(jobs, accepted));
  std::string warnings = testing::internal::GetCapturedStderr();
  EXPECT_EQ(warnings.find("WARNING: no tq_supervisor"), warnings.rfind("WARNING: no tq_supervisor"))
      << "one warning for one submission: " << warnings;
  EXPECT_NE(warnings.find("WARNING: no tq_supervisor"), std::string::npos);
  EXPECT_EQ(lastError().code(), 5001);
  EXPECT_EQ(lastError().text().str(),
            "no supervisor found: " + platform::nativePath(env.dir.file("tq.conf")) +
                " sets neither supervisor_host nor supervisor_domain");
}

TEST_F(SubmitTest, MismatchedContentNamesItsTypeInId) {
  JobList jobs = oneJob(), accepted;
  bool ok = true;
  submitTo(ScriptedSupervisor::reply(1,
                                     [](Message& m) {
                                       m.setContent(std::make_unique<StringList>());
                                       m.content_type = 5;
                                     }),
           jobs, accepted, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(lastError().code(), 2053);
  ASSERT_TRUE(lastError().value("ID"));
  EXPECT_EQ(*lastError().value("ID"), TqString("5"));
}

TEST_F(SubmitTest, OfflineCompletesTheJobsAndSendsNothing) {
  ScriptedSupervisor peer;
  configure(peer.port());
  peer.serve({ScriptedSupervisor::reply(1)}, 100);
  setOffline("yes");
  JobList jobs = oneJob(), accepted;
  bool ok = submit(jobs, accepted);
  setOffline("");
  EXPECT_TRUE(ok);
  EXPECT_TRUE(accepted.empty());
  EXPECT_EQ(localIdentifierCounter(), 1);
  EXPECT_EQ(peer.join(), 0);
  EXPECT_EQ(jobs[0].flags & kJobAutoMount, kJobAutoMount);
}

TEST_F(SubmitTest, ConfigurationDefaultsWinOverDescriptorDefaults) {
  platform::ScopedEnvironmentVariable path("TQPATH", types_);
  configure(1, "client_priority = 50\nclient_cluster = fast\n");
  setOffline("yes");
  JobList jobs = oneJob(), accepted;
  Job keeps;
  keeps.prototype = "aftereffects";
  keeps.priority = 0;
  keeps.cluster = "mine";
  jobs.append(std::move(keeps));
  submit(jobs, accepted);
  setOffline("");
  EXPECT_EQ(jobs[0].priority, 50);
  EXPECT_EQ(jobs[0].cluster, TqString("fast"));
  EXPECT_EQ(jobs[0].label, TqString("render"));  // the descriptor fills what is left
  EXPECT_EQ(jobs[0].kind, TqString("aerender"));
  EXPECT_EQ(jobs[0].flags, kJobAutoMount | kJobMail);
  EXPECT_EQ(jobs[1].priority, 0);  // set by the submitter: kept
  EXPECT_EQ(jobs[1].cluster, TqString("mine"));
  ASSERT_EQ(jobs[0].callbacks.count(), 1);  // the section without code is skipped
  EXPECT_EQ(jobs[0].callbacks[0].triggers, TqString("job-done"));
}

TEST_F(SubmitTest, DescriptorPriorityAppliesWithoutAConfiguredOne) {
  platform::ScopedEnvironmentVariable path("TQPATH", types_);
  configure(1, "client_job_flags = grid\n");
  JobList jobs = oneJob();
  prepareJob(jobs[0], submitSearchPath());
  EXPECT_EQ(jobs[0].priority, 10);
  EXPECT_EQ(jobs[0].cluster, TqString("render"));
  EXPECT_EQ(jobs[0].flags, kJobGrid | kJobMail);  // no auto_mount when the flags are configured
  EXPECT_EQ(jobs[0].path, TqString(types_));
}

TEST_F(SubmitTest, EnvironmentTravelsOnlyWhenAskedFor) {
  platform::ScopedEnvironmentVariable marker("TQ_TEST_MARKER", "42");
  configure(1, "client_drive_map = Z:|\\\\srv\\share\n");
  JobList jobs = oneJob();
  Job exporting;
  exporting.flags = kJobExportEnvironment;
  jobs.append(std::move(exporting));
  prepareJob(jobs[0], "");
  prepareJob(jobs[1], "");
  EXPECT_EQ(jobs[0].env.variableCount(), 0);
  EXPECT_EQ(jobs[0].env.mountCount(), 0);
  EXPECT_EQ(jobs[1].env.variable("TQ_TEST_MARKER"), TqString("42"));
  EXPECT_EQ(jobs[1].env.mount("Z:"), TqString("\\\\srv\\share"));
}

TEST_F(SubmitTest, RunningFarmJobMakesTopLevelJobsItsChildren) {
  platform::ScopedEnvironmentVariable job_id("TQJOBID", "17");
  platform::ScopedEnvironmentVariable group("TQPGRPID", "9");
  setOffline("yes");
  JobList jobs = oneJob(), accepted;
  Job child;
  child.pid = 3;
  jobs[0].children.append(std::move(child));
  submit(jobs, accepted);
  setOffline("");
  EXPECT_EQ(jobs[0].pid, 17);
  EXPECT_EQ(jobs[0].pgrp, 9);
  EXPECT_EQ(jobs[0].children[0].pid, 3);
  EXPECT_EQ(jobs[0].children[0].pgrp, -1);
  EXPECT_EQ(jobs[0].children[0].flags & kJobAutoMount, kJobAutoMount);  // children are prepared
}

TEST_F(SubmitTest, SearchPathJoinsTqpathAndThePersonalTemplatePath) {
  platform::ScopedEnvironmentVariable path("TQPATH", "/a/types");
  EXPECT_EQ(submitSearchPath(), TqString("/a/types"));
  writeFile(env.dir.file(".tq.conf"), "template_path = /home/types\n");
  EXPECT_EQ(submitSearchPath(), TqString("/a/types;/home/types"));
}

// A descriptor is looked up along the submission path first, so a type that only the user's
// template_path holds gives its defaults; one whose version check fails gives them too, with a
// warning once; and cpus below 1 become 1 whatever the descriptor says.
TEST_F(SubmitTest, DescriptorsAlongThePersonalPathAndFailedVersionChecksStillApply) {
  const std::string personal = env.dir.file("mine");
  writeFile(personal + "/mytype/job.conf", "job_label = personal\njob_cpus = 0\n");
  writeFile(personal + "/old/job.conf", "minimum_kerv_version = 99\njob_priority = 12\n");
  writeFile(env.dir.file(".tq.conf"), "template_path = " + personal + "\n");
  configure(1);
  JobList jobs;
  for (const char* prototype : {"mytype", "old", "old", "nosuchtype"}) {
    Job job;
    job.prototype = prototype;
    job.cpus = 0;
    jobs.append(std::move(job));
  }
  for (int32_t i = 0; i < jobs.count(); ++i) prepareJob(jobs[i], submitSearchPath());
  EXPECT_EQ(jobs[0].label, TqString("personal"));
  EXPECT_EQ(jobs[1].priority, 12);
  EXPECT_EQ(jobs[2].priority, 12);
  for (int32_t i = 0; i < jobs.count(); ++i) EXPECT_EQ(jobs[i].cpus, 1) << i;
  EXPECT_EQ(countOf(env.log(), "WARNING: job type \"old\" needs at least version 99"), 1)
      << env.log();
}

// Without HOME the personal file is looked up at the root, where there is none: the search
// path is TQPATH alone.
TEST_F(SubmitTest, WithoutHomeTheSearchPathIsTqpathAlone) {
  platform::ScopedEnvironmentVariable path("TQPATH", "/a/types");
  platform::unsetEnvironmentVariable("HOME");
  EXPECT_EQ(submitSearchPath(), TqString("/a/types"));
}

TEST_F(SubmitTest, LibraryStateReadsTheOverrides) {
  configure(1, "client_timeout = 4321\n");
  EXPECT_EQ(effectiveTimeout(), 4321);
  setTimeout(99);
  EXPECT_EQ(effectiveTimeout(), 99);
  setTimeout(0);
  setSupervisorHost("127.0.0.1");
  EXPECT_EQ(supervisorHost(), TqString("127.0.0.1"));
  setSupervisorHost("");
  EXPECT_STREQ(libraryVersion(), "5.2-2");
}

TEST_F(SubmitTest, StandInSupervisorStoresWhatWasStamped) {
  platform::ScopedEnvironmentVariable path("TQPATH", types_);
  DevSupervisorOptions options;
  options.data_directory = TqString(env.dir.file("data"));
  options.count = 1;
  DevSupervisor supervisor(options);
  ASSERT_TRUE(supervisor.open());
  std::thread serving([&] { supervisor.run(); });
  configure(supervisor.port());
  JobList jobs = oneJob(), accepted;
  bool ok = submit(jobs, accepted);
  serving.join();
  ASSERT_TRUE(ok) << lastError().text();
  ASSERT_EQ(accepted.count(), 1);
  EXPECT_EQ(accepted[0].id, 1);
  Job stored;
  ASSERT_GT(stored.loadText((env.dir.file("data") + "/1.job").c_str()), 0);
  EXPECT_EQ(stored.user, userName());
  EXPECT_EQ(stored.priority, 10);
  std::string from = test::readTextFile(env.dir.file("data") + "/1.from");
  EXPECT_NE(from.find("user=" + userName().str() + "\n"), std::string::npos);
  EXPECT_NE(from.find("domain=" + clientDomain().str() + "\n"), std::string::npos);
  EXPECT_NE(from.find("mac_address=" + macAddressText().str() + "\n"), std::string::npos);
}

}  // namespace
}  // namespace tq
