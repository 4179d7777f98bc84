// "Submit Job" pressed in the simulated host: the plug-in builds the job from the window,
// submits it to a supervisor on 127.0.0.1 and writes the outcome into the results box.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/environment.h"
#include "plugin_fixture.h"
#include "support/client_environment.h"
#include "support/running_supervisor.h"
#include "support/scripted_supervisor.h"

namespace tq::test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// An answer accepting jobs with these identifiers.
ScriptedSupervisor::Answer accept(std::vector<int32_t> ids) {
  return ScriptedSupervisor::reply(1, [ids](Message& m) {
    auto list = std::make_unique<JobList>();
    for (int32_t id : ids) {
      Job job;
      job.id = id;
      list->append(std::move(job));
    }
    m.setContent(std::move(list));
  });
}

class SubmitActionTest : public PluginTest {
 protected:
  void configure(int32_t port) {
    env.writeConfig("supervisor_host = 127.0.0.1\nsupervisor_port = " + std::to_string(port) +
                    "\nclient_timeout = 5000\n");
  }
  // Presses "Submit Job" once for each answer of a scripted supervisor.
  void pressAgainst(std::vector<ScriptedSupervisor::Answer> answers) {
    ScriptedSupervisor peer;
    configure(peer.port());
    size_t presses = answers.size();
    peer.serve(std::move(answers));
    for (size_t i = 0; i < presses; ++i) ASSERT_TRUE(sim.click(plugin::kSubmit)) << sim.error();
    EXPECT_EQ(peer.join(), static_cast<int32_t>(presses));
  }
  std::string results() { return item(plugin::kResults).text; }

  ClientEnvironment env;
  platform::ScopedEnvironmentVariable tqpath_{"TQPATH", TQ_SOURCE_DIR "/jobtypes"};
};

TEST_F(SubmitActionTest, TwoPressesLeaveTheNewestIdentifierOnTop) {
  open();
  pressAgainst({accept({12}), accept({13})});
  EXPECT_EQ(results(), "13\r\n12\r\n");
  EXPECT_EQ(results(), readFile(TQ_TEST_SOURCE_DIR "/hostsim/golden/results_13_12.txt"));
}

TEST_F(SubmitActionTest, FailureAfterSuccessesLeavesOnlyTheFailureLine) {
  open();
  pressAgainst({accept({12}), accept({13}), ScriptedSupervisor::reply(3)});
  // The reason follows on a line of its own.
  EXPECT_EQ(results(), "unable to submit job\r\nunspecifed error\r\n");
  EXPECT_EQ(results(), readFile(TQ_TEST_SOURCE_DIR "/hostsim/golden/results_failed.txt"));
  pressAgainst({accept({14})});
  EXPECT_EQ(results(), "14\r\nunable to submit job\r\nunspecifed error\r\n")
      << "later successes stand above it";
}

TEST_F(SubmitActionTest, ReplyAcceptingTwoJobsWritesBothInReplyOrder) {
  open();
  ASSERT_TRUE(sim.type(plugin::kResults, "5\r\n"));
  pressAgainst({accept({21, 20})});
  EXPECT_EQ(results(), "21\r\n20\r\n5\r\n");
}

TEST_F(SubmitActionTest, AnAnswerWithoutJobsIsAFailure) {
  open();
  ASSERT_TRUE(sim.type(plugin::kResults, "7\r\n"));
  pressAgainst({accept({})});
  EXPECT_EQ(results(), "unable to submit job\r\nthe supervisor accepted none of the jobs\r\n");
}

TEST_F(SubmitActionTest, MissingSuiteSubmitsNothingAndSaysWhich) {
  open();
  ASSERT_TRUE(sim.type(plugin::kResults, "7\r\n"));
  const struct {
    const char* suite;
    const char* shown;
  } rows[] = {
      {kAEGPProjSuite, "\"AEGP Proj Suite\" version 5"},
      {kADMListSuite, "\"ADM List Suite\" version 3"},
      {kADMEntrySuite, "\"ADM Entry Suite\" version 5"},
      {kADMItemSuite, "\"ADM Item Suite\" version 8"},
  };
  for (const auto& row : rows) {
    host.clearFailures();
    host.reports.clear();
    host.failSuite(row.suite);
    ScriptedSupervisor peer;
    configure(peer.port());
    peer.serve({accept({1})}, 50);
    ASSERT_TRUE(sim.click(plugin::kSubmit));
    EXPECT_EQ(peer.join(), 0) << row.suite << ": no job was sent";
    EXPECT_EQ(results(), "7\r\n") << row.suite;
    ASSERT_EQ(host.reports.size(), 1u) << row.suite;
    EXPECT_EQ(host.reports[0],
              std::string("tq: Submit Job could not run: the host offers no ") + row.shown);
  }
  // Without the item suite the host's own part of the click could not be done either.
  undefaulted_notifications = 1;
}

// The whole road: the stand-in supervisor stores the job the window described.
TEST_F(SubmitActionTest, StandInSupervisorStoresTheJobOfTheWindow) {
  host.project_path = "D:\\jobs\\shot.aep";
  open({"Main (final)", "Other"});
  DevSupervisorOptions options;
  options.data_directory = env.dir.file("data").c_str();
  RunningSupervisor supervisor(options);
  ASSERT_TRUE(supervisor.opened()) << supervisor.supervisor().errorText();
  env.writeConfig(supervisor.configLines() + "client_timeout = 5000\n");
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  ASSERT_TRUE(sim.type(plugin::kName, "shot"));
  ASSERT_TRUE(sim.pick(plugin::kStatus, "blocked"));
  ASSERT_TRUE(sim.type(plugin::kCpus, "0"));
  ASSERT_TRUE(sim.type(plugin::kFrameRange, "1-10x2"));
  ASSERT_TRUE(sim.pick(plugin::kOutputModule, "Lossless"));
  ASSERT_TRUE(sim.click(plugin::kSubmit));
  supervisor.stop();
  EXPECT_EQ(results(), "1\r\n");
  std::string stored = readFile(env.dir.file("data") + "/1.job");
  EXPECT_NE(stored.find("<name>shot</name>"), std::string::npos) << stored;
  EXPECT_NE(stored.find("<prototype>aftereffects</prototype>"), std::string::npos);
  EXPECT_NE(stored.find("<cpus>1</cpus>"), std::string::npos);
  EXPECT_NE(stored.find("(=(Project_path=D:\\\\jobs\\\\shot.aep)(appversion=7.0)"
                        "(Frame_range=1-10x2)(Output_module_template=Lossless)"
                        "(Comp_name=Main \\(final\\)))"),
            std::string::npos)
      << stored;
}

TEST_F(SubmitActionTest, HostVersionReachesThePackage) {
  host.addItem(AEGP_ItemType_COMP, "A");
  ASSERT_TRUE(sim.load(TQ_PLUGIN_PATH, 16, 9)) << sim.error();
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  DevSupervisorOptions options;
  options.data_directory = env.dir.file("data").c_str();
  RunningSupervisor supervisor(options);
  ASSERT_TRUE(supervisor.opened());
  env.writeConfig(supervisor.configLines() + "client_timeout = 5000\n");
  ASSERT_TRUE(sim.click(plugin::kSubmit));
  supervisor.stop();
  std::string stored = readFile(env.dir.file("data") + "/1.job");
  EXPECT_NE(stored.find("(=(Project_path=)(appversion=6.5))"), std::string::npos) << stored;
}

}  // namespace
}  // namespace tq::test
