// tq-aerender's loop against the stand-in renderer (tq-fakerender): in development mode on job
// files, and on the farm against the stand-in supervisor. Nothing is reported complete that
// the renderer did not render.
#include "render_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "client/submit.h"
#include "client/work_protocol.h"
#include "job/status.h"
#include "platform/environment.h"
#include "records/package.h"
#include "support/client_environment.h"
#include "support/job_output_capture.h"
#include "support/running_supervisor.h"
#include "transport/error.h"

namespace tq::aerender {
namespace {

namespace fs = std::filesystem;

using Keys = std::vector<std::pair<const char*, std::string>>;

std::string packageOf(const Keys& keys) {
  Package root;
  for (const auto& [key, value] : keys) {
    auto entry = std::make_unique<Package>();
    entry->setName(key);
    entry->setValue(TqString(value));
    root.addChild(std::move(entry));
  }
  return root.writeParenthesised().str();
}

class RenderLoopTest : public ::testing::Test {
 protected:
  RenderLoopTest() {
    resetWorkProtocol();
    fs::create_directories(env.dir.file("renders"));
    std::ofstream(project()) << "project";
    options.renderer = TQ_FAKERENDER;
    options.silence_ms = 20000;
  }
  ~RenderLoopTest() override { resetWorkProtocol(); }

  std::string project() const { return env.dir.file("shot 1 & co.aep"); }
  std::string output() const { return env.dir.file("renders") + "/shot_[####].png"; }
  std::string frame(int32_t n) const {
    char name[32];
    std::snprintf(name, sizeof(name), "/shot_%04d.png", n);
    return env.dir.file("renders") + name;
  }
  Keys composition(const std::string& range, const std::string& comp = "Main") const {
    return {{"Project_path", project()},
            {"appversion", "7.0"},
            {"Frame_range", range},
            {"Output_file_path", output()},
            {"Comp_name", comp}};
  }
  Keys wholeQueue() const { return {{"Project_path", project()}, {"appversion", "7.0"}}; }
  Job jobOf(const Keys& keys, const std::vector<const char*>& agenda = {}) const {
    Job job;
    job.name = "render";
    job.prototype = "aftereffects";
    job.data = TqString(packageOf(keys));
    for (const char* name : agenda) {
      Work item;
      item.name = name;
      job.agenda.append(item);
    }
    return job;
  }
  // Development mode on a job file of the job.
  RenderLoopResult develop(Job job) {
    std::string path = env.dir.file("job.txt");
    EXPECT_GT(job.saveText(path.c_str()), 0);
    options.development_file = TqString(path);
    return runRenderLoop(options);
  }
  int countFrames() const {
    return static_cast<int>(
        std::distance(fs::directory_iterator(env.dir.file("renders")), fs::directory_iterator()));
  }
  // The arguments the stand-in got, from its args= file.
  std::vector<std::string> arguments() const {
    std::ifstream in(env.dir.file("args"), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> all;
    size_t start = 0;
    for (size_t nul = bytes.find('\0'); nul != std::string::npos; nul = bytes.find('\0', start)) {
      all.push_back(bytes.substr(start, nul - start));
      start = nul + 1;
    }
    return all;
  }

  test::ClientEnvironment env;
  test::JobOutputCapture out;
  RenderLoopOptions options;
};

TEST_F(RenderLoopTest, ACompositionIsRenderedInChunksOfItsFrameRange) {
  RenderLoopResult result = develop(jobOf(composition("1-25")));
  EXPECT_EQ(result.rendered, 3);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(result.exitStatus(), 0);
  EXPECT_EQ(countFrames(), 25);
  EXPECT_TRUE(fs::exists(frame(1)));
  EXPECT_TRUE(fs::exists(frame(25)));
  EXPECT_TRUE(out.has("tq-aerender: rendering frames 1-10 (chunk 1 of 3)"));
  EXPECT_TRUE(out.has("tq-aerender: rendered frames 21-25 (chunk 3 of 3)"));
  EXPECT_TRUE(out.has("dev - reporting status on work: 11-20 - complete"));
  EXPECT_TRUE(out.has("dev - reporting status on job: complete"));
  // The renderer's own progress lines, one per frame and a few more.
  EXPECT_TRUE(out.has("PROGRESS:  0:00:00:07 (7): 0 Seconds"));
  EXPECT_GE(out.countStarting("PROGRESS:"), 25);
  EXPECT_EQ(out.lines.back(), "tq-aerender: 3 rendered, 0 failed");
}

TEST_F(RenderLoopTest, AStepAndASmallerChunkMakeMoreRuns) {
  options.chunk = 2;
  RenderLoopResult result = develop(jobOf(composition("1-10x2")));
  EXPECT_EQ(result.rendered, 3);
  EXPECT_EQ(countFrames(), 5);
  EXPECT_TRUE(fs::exists(frame(9)));
  EXPECT_FALSE(fs::exists(frame(2)));
  EXPECT_TRUE(out.has("tq-aerender: rendering frames 5-7x2 (chunk 2 of 3)"));
}

TEST_F(RenderLoopTest, PackageValuesReachTheRendererAsSingleArgumentsAndRunNothingElse) {
  const std::string marker = env.dir.file("injected");
  const std::string comp = "a \"b\" & c; d | e %PATH% & echo x > \"" + marker + "\" ; echo x > " +
                           marker + " | echo x > " + marker;
  const std::string om = "Lossless \"with alpha\" 100%";
  Keys keys = composition("3", comp);
  keys.push_back({"Output_module_template", om});
  keys.push_back({"Render_settings_template", "Best & ;|%TEMP%"});
  platform::ScopedEnvironmentVariable fake("TQ_FAKERENDER", "args=" + env.dir.file("args"));
  RenderLoopResult result = develop(jobOf(keys));
  EXPECT_EQ(result.rendered, 1) << out.text();
  EXPECT_EQ(arguments(),
            std::vector<std::string>({"-project", project(), "-comp", comp, "-s", "3", "-e", "3",
                                      "-RStemplate", "Best & ;|%TEMP%", "-OMtemplate", om,
                                      "-output", output(), "-v", "ERRORS_AND_PROGRESS"}));
  EXPECT_FALSE(fs::exists(marker));
  EXPECT_TRUE(fs::exists(frame(3)));
}

// What the stand-in is asked to do wrong, the reason the chunk fails with, and the silence
// allowed (short only where the stand-in hangs: a slow start must not look like a hang).
struct Misbehaviour {
  const char* fake;
  const char* why;
  int32_t silence_ms;
};

TEST_F(RenderLoopTest, NothingIsCompleteThatTheRendererDidNotRender) {
  const Misbehaviour cases[] = {
      {"fail-at=3", "the renderer exited with status 1", 20000},
      {"exit=3", "the renderer exited with status 3", 20000},
      // Frames 1 to 5 are there from the run before, unchanged.
      {"nothing", "/shot_0001.png (and 4 more)\ndev - reporting", 20000},
      // Frames 1, 2, 3 and 5 are written anew; 4 stays as it was.
      {"skip=4", "/shot_0004.png\ndev - reporting", 20000},
      {"hang", "the renderer printed nothing for 300 ms and was ended", 300},
      {"hang-at=2", "the renderer printed nothing for 300 ms and was ended", 300},
  };
  for (const Misbehaviour& c : cases) {
    options.silence_ms = c.silence_ms;
    out.lines.clear();
    resetWorkProtocol();
    platform::ScopedEnvironmentVariable fake("TQ_FAKERENDER", c.fake);
    RenderLoopResult result = develop(jobOf(composition("1-5")));
    EXPECT_EQ(result.rendered, 0) << c.fake;
    EXPECT_EQ(result.failed, 1) << c.fake;
    EXPECT_EQ(result.exitStatus(), 1) << c.fake;
    EXPECT_EQ(out.countStarting(std::string("ERROR: frames 1-5 (chunk 1 of 1) not rendered: ")), 1)
        << c.fake;
    EXPECT_NE(out.text().find(c.why), std::string::npos) << c.fake << "\n" << out.text();
    EXPECT_TRUE(out.has("dev - reporting status on work: 1-5 - failed")) << c.fake;
    EXPECT_TRUE(out.has("dev - reporting status on job: failed")) << c.fake;
    EXPECT_TRUE(out.has("the renderer's last lines:")) << c.fake;
  }
}

TEST_F(RenderLoopTest, FramesLeftFromAnEarlierRenderDoNotCount) {
  EXPECT_EQ(develop(jobOf(composition("1-3"))).rendered, 1);
  resetWorkProtocol();
  platform::ScopedEnvironmentVariable fake("TQ_FAKERENDER", "nothing");
  RenderLoopResult again = develop(jobOf(composition("1-3")));
  EXPECT_EQ(again.rendered, 0);
  EXPECT_EQ(again.failed, 1);
  // The frames of the first render are back, and nothing else is left.
  EXPECT_EQ(countFrames(), 3);
  EXPECT_EQ(test::readTextFile(frame(1)), "tq-fakerender: frame 1 of composition Main\n");
  // A copy left aside by a run that was ended goes, the frame rendered again counts.
  std::ofstream(frame(2) + ".tq-aerender-previous") << "left over";
  resetWorkProtocol();
  platform::ScopedEnvironmentVariable skip("TQ_FAKERENDER", "skip=3");
  EXPECT_EQ(develop(jobOf(composition("1-3"))).failed, 1);
  EXPECT_EQ(countFrames(), 3);
  EXPECT_TRUE(
      out.has("ERROR: frames 1-3 (chunk 1 of 1) not rendered: the renderer exited with 0 "
              "but did not write " +
              frame(3)));
}

TEST_F(RenderLoopTest, TheWholeQueueIsOneRun) {
  platform::ScopedEnvironmentVariable fake("TQ_FAKERENDER", "args=" + env.dir.file("args"));
  RenderLoopResult result = develop(jobOf(wholeQueue()));
  EXPECT_EQ(result.rendered, 1);
  EXPECT_EQ(arguments(),
            std::vector<std::string>({"-project", project(), "-v", "ERRORS_AND_PROGRESS"}));
  EXPECT_TRUE(out.has("dev - reporting status on work: queue - complete"));
  // With an agenda, the first item renders the queue and the others go as it went.
  resetWorkProtocol();
  result = develop(jobOf(wholeQueue(), {"1", "2"}));
  EXPECT_EQ(result.rendered, 2);
  // One run for the job before, one for the whole agenda.
  EXPECT_EQ(out.countStarting("tq-aerender: rendering the render queue"), 2);
  EXPECT_TRUE(out.has("tq-aerender: rendered item 2 (with item 1)"));
  // A queue run that renders no frame has not rendered.
  resetWorkProtocol();
  platform::ScopedEnvironmentVariable nothing("TQ_FAKERENDER", "nothing");
  result = develop(jobOf(wholeQueue()));
  EXPECT_EQ(result.failed, 1);
  EXPECT_TRUE(
      out.has("ERROR: the render queue not rendered: the renderer exited with 0 but "
              "reported no frame rendered"));
}

TEST_F(RenderLoopTest, AnAgendaIsRenderedItemByItem) {
  RenderLoopResult result = develop(jobOf(composition("1-100"), {"0001", "2-3", "5,7", "x"}));
  EXPECT_EQ(result.rendered, 3);
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(countFrames(), 5);  // the agenda's frames, not the Frame_range's
  EXPECT_TRUE(out.has("tq-aerender: rendering frames 2-3 (item 2-3)"));
  EXPECT_TRUE(out.has("tq-aerender: rendering frames 5-7x2 (item 5,7)"));
  EXPECT_TRUE(
      out.has("ERROR: item x not rendered: work item 'x' is not a frame or a list of "
              "frames (such as 1-10)"));
  EXPECT_TRUE(out.has("dev - reporting status on work: x - failed"));
}

TEST_F(RenderLoopTest, ARendererThatCannotStartEndsTheLoop) {
  options.renderer = env.dir.file("no-such-aerender");
  RenderLoopResult result = develop(jobOf(composition("1"), {"1", "2", "3"}));
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(result.rendered, 0);
  EXPECT_EQ(out.count("dev - requesting work."), 1);
  EXPECT_EQ(out.countStarting("ERROR: frames 1 (item 1) not rendered: cannot start the renderer '"),
            1);
}

TEST_F(RenderLoopTest, AJobWithoutAProjectOrWithBadFramesIsUnusable) {
  RenderLoopResult result = develop(jobOf({{"Comp_name", "Main"}}));
  EXPECT_TRUE(result.unusable);
  EXPECT_EQ(result.exitStatus(), 1);
  EXPECT_TRUE(out.has("ERROR: the job's package names no project (Project_path)"));
  resetWorkProtocol();
  result = develop(jobOf(composition("1-x")));
  EXPECT_TRUE(result.unusable);
  EXPECT_TRUE(out.has("dev - reporting status on job: failed"));
  EXPECT_EQ(countFrames(), 0);
}

// On the farm: the stand-in supervisor hands out the job and records every report.
class FarmRenderTest : public RenderLoopTest {
 protected:
  FarmRenderTest() : running(supervisorOptions()) {}

  DevSupervisorOptions supervisorOptions() {
    DevSupervisorOptions o;
    o.data_directory = TqString(env.dir.file("data"));
    return o;
  }
  int32_t submitAndRender(const Job& job) {
    env.writeConfig(running.configLines());
    JobList jobs, accepted;
    jobs.append(job);
    EXPECT_TRUE(tq::submit(jobs, accepted)) << lastError().text();
    if (accepted.count() != 1) return 0;
    int32_t id = accepted[0].id;
    platform::ScopedEnvironmentVariable job_id("TQJOBID", std::to_string(id));
    platform::ScopedEnvironmentVariable sub_id("TQSUBID", "1");
    result = runRenderLoop(options);
    return id;
  }
  Job stored(int32_t id) {
    Job job;
    std::string path = env.dir.file("data") + "/" + std::to_string(id) + ".job";
    EXPECT_GT(job.loadText(path.c_str()), 0) << path;
    return job;
  }

  test::RunningSupervisor running;
  RenderLoopResult result;
};

TEST_F(FarmRenderTest, EveryChunkAndTheJobAreStoredComplete) {
  ASSERT_TRUE(running.opened());
  int32_t id = submitAndRender(jobOf(composition("1-25")));
  running.stop();
  EXPECT_EQ(result.rendered, 3);
  EXPECT_EQ(result.exitStatus(), 0);
  Job job = stored(id);
  ASSERT_EQ(job.agenda.count(), 3);
  EXPECT_EQ(job.agenda[0].name, TqString("1-10"));
  EXPECT_EQ(job.agenda[2].name, TqString("21-25"));
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(job.agenda[i].status.value, kStatusComplete) << i;
    EXPECT_EQ(job.agenda[i].result, TqString("rendered")) << i;
  }
  EXPECT_EQ(job.subjobs[0].status.value, kStatusComplete);
  EXPECT_EQ(job.status.value, kStatusComplete);
  EXPECT_EQ(countFrames(), 25);
  EXPECT_TRUE(env.sleeps.empty());
}

TEST_F(FarmRenderTest, AnAgendaItemThatFailsIsStoredFailedWithItsReason) {
  ASSERT_TRUE(running.opened());
  platform::ScopedEnvironmentVariable fake("TQ_FAKERENDER", "fail-at=3");
  int32_t id = submitAndRender(jobOf(composition("1-4"), {"1-2", "3-4"}));
  running.stop();
  EXPECT_EQ(result.rendered, 1);
  EXPECT_EQ(result.failed, 1);
  Job job = stored(id);
  ASSERT_EQ(job.agenda.count(), 2);
  EXPECT_EQ(job.agenda[0].status.value, kStatusComplete);
  EXPECT_EQ(job.agenda[1].status.value, kStatusFailed);
  EXPECT_EQ(job.agenda[1].result, TqString("the renderer exited with status 1"));
  EXPECT_EQ(job.status.value, kStatusFailed);
}

}  // namespace
}  // namespace tq::aerender
