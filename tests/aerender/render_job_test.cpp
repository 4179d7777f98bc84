// The render keys of a package, the renderer's arguments, and which renderer a job runs.
#include "render_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "client/job_type.h"
#include "platform/environment.h"
#include "records/package.h"
#include "renderer_path.h"
#include "support/client_environment.h"

namespace tq::aerender {
namespace {

namespace fs = std::filesystem;

std::string packageOf(const std::vector<std::pair<const char*, std::string>>& keys) {
  Package root;
  for (const auto& [key, value] : keys) {
    auto entry = std::make_unique<Package>();
    entry->setName(key);
    entry->setValue(TqString(value));
    root.addChild(std::move(entry));
  }
  return root.writeParenthesised().str();
}

using Arguments = std::vector<std::string>;

TEST(RenderJobTest, EveryKeyIsReadWithTheBytesItHolds) {
  const std::string comp = "a \"b\" & c (x=y) \\ ; | %PATH%";
  RenderSettings settings;
  std::string why;
  ASSERT_TRUE(readRenderSettings(packageOf({{"Project_path", "D:\\jobs\\shot 1.aep"},
                                            {"appversion", "7.0"},
                                            {"Frame_range", "1-10"},
                                            {"Render_settings_template", "Best Settings"},
                                            {"Output_module_template", "Lossless"},
                                            {"Output_file_path", "D:/r/shot_[####].png"},
                                            {"Comp_name", comp},
                                            {"Unknown", "ignored"}}),
                                 settings, why))
      << why;
  EXPECT_EQ(settings.project, "D:\\jobs\\shot 1.aep");
  EXPECT_EQ(settings.appversion, "7.0");
  EXPECT_EQ(settings.comp, comp);
  EXPECT_EQ(settings.frame_range, "1-10");
  EXPECT_EQ(settings.render_settings, "Best Settings");
  EXPECT_EQ(settings.output_module, "Lossless");
  EXPECT_EQ(settings.output, "D:/r/shot_[####].png");
  EXPECT_FALSE(settings.wholeQueue());

  FrameRun run{1, 9, 2};
  EXPECT_EQ(rendererArguments(settings, &run),
            Arguments({"-project", "D:\\jobs\\shot 1.aep", "-comp", comp, "-s", "1", "-e", "9",
                       "-i", "2", "-RStemplate", "Best Settings", "-OMtemplate", "Lossless",
                       "-output", "D:/r/shot_[####].png", "-v", "ERRORS_AND_PROGRESS"}));
  settings.render_settings.clear();
  settings.output_module.clear();
  run = {5, 5, 1};
  EXPECT_EQ(rendererArguments(settings, &run),
            Arguments({"-project", "D:\\jobs\\shot 1.aep", "-comp", comp, "-s", "5", "-e", "5",
                       "-output", "D:/r/shot_[####].png", "-v", "ERRORS_AND_PROGRESS"}));
  settings.output.clear();
  EXPECT_EQ(
      rendererArguments(settings, nullptr),
      Arguments({"-project", "D:\\jobs\\shot 1.aep", "-comp", comp, "-v", "ERRORS_AND_PROGRESS"}));
}

TEST(RenderJobTest, WithoutACompositionTheWholeQueueIsRendered) {
  RenderSettings settings;
  std::string why;
  ASSERT_TRUE(
      readRenderSettings("(=(Project_path=D:/jobs/shot.aep)(appversion=7.0))", settings, why));
  EXPECT_TRUE(settings.wholeQueue());
  FrameRun run{1, 10, 1};
  EXPECT_EQ(rendererArguments(settings, &run),
            Arguments({"-project", "D:/jobs/shot.aep", "-v", "ERRORS_AND_PROGRESS"}));
  for (const char* package : {"", "(=(appversion=7.0))", "(=(Project_path=))"}) {
    EXPECT_FALSE(readRenderSettings(package, settings, why)) << package;
    EXPECT_EQ(why, "the job's package names no project (Project_path)");
  }
}

class RendererPathTest : public ::testing::Test {
 protected:
  // A job type "aftereffects" of this test, with the job.conf given.
  void jobType(const std::string& conf) {
    std::string dir = env.dir.file("types");
    fs::create_directories(dir + "/aftereffects");
    std::ofstream(dir + "/aftereffects/job.conf") << conf;
    path_.emplace("TQPATH", dir);
    env.writeConfig("supervisor_host = 127.0.0.1\n");
  }
  test::ClientEnvironment env;
  platform::ScopedEnvironmentVariable variable_{"TQ_AERENDER", ""};
  std::optional<platform::ScopedEnvironmentVariable> path_;
};

TEST_F(RendererPathTest, TheOptionThenTheVariableThenTheJobTypeThenTheDefault) {
  jobType("aerender_path = bin/aerender\naerender_path_6.5 = \"C:\\Old AE\\aerender.exe\"\n");
  RendererChoice choice = chooseRenderer("/opt/ae/aerender", "aftereffects", "7.0");
  EXPECT_EQ(choice.path, "/opt/ae/aerender");
  EXPECT_EQ(choice.source, "-renderer");
  {
    platform::ScopedEnvironmentVariable variable("TQ_AERENDER", "/site/aerender");
    choice = chooseRenderer("", "aftereffects", "7.0");
    EXPECT_EQ(choice.path, "/site/aerender");
    EXPECT_EQ(choice.source, "TQ_AERENDER");
  }
  choice = chooseRenderer("", "aftereffects", "6.5");
  EXPECT_EQ(choice.path, "C:\\Old AE\\aerender.exe");
  EXPECT_EQ(choice.source, "job.conf aerender_path_6.5");
  // A relative value is a path in the type's folder.
  choice = chooseRenderer("", "aftereffects", "7.0");
  EXPECT_EQ(choice.source, "job.conf aerender_path");
  EXPECT_EQ(choice.path.substr(0, env.dir.file("types").size()), env.dir.file("types"));
  EXPECT_NE(choice.path.find("aftereffects"), std::string::npos);
  EXPECT_EQ(choice.path.substr(choice.path.size() - 12), "bin/aerender");

  // The default: the installation for the appversion below the system's program folders, or
  // a name searched for on PATH where the system names none.
  jobType("version = 1.0\n");
  {
    platform::ScopedEnvironmentVariable none("ProgramFiles", "");
    choice = chooseRenderer("", "aftereffects", "7.0");
    EXPECT_EQ(choice.source, "the default for appversion '7.0'");
    EXPECT_EQ(choice.path, "aerender");
  }
  const std::string folder = env.dir.file("Program Files");
  const std::string installed =
      folder + "\\Adobe\\Adobe After Effects 7.0\\Support Files\\aerender.exe";
  platform::ScopedEnvironmentVariable programs("ProgramFiles", folder);
  EXPECT_EQ(chooseRenderer("", "aftereffects", "7.0").path, installed);  // none exists: the first
  choice = chooseRenderer("", "aftereffects", "");
  EXPECT_NE(choice.path.find("CS4"), std::string::npos) << choice.path;
  // The first that exists, here the one for 6.5 in a job of no appversion.
  const std::string old_one = folder + "/Adobe/After Effects 6.5/Support Files";
  fs::create_directories(old_one);
  std::ofstream(old_one + "/aerender.exe") << "a renderer";
  EXPECT_EQ(chooseRenderer("", "aftereffects", "").path,
            folder + "\\Adobe\\After Effects 6.5\\Support Files\\aerender.exe");
}

TEST(RendererDefaultTest, OneFolderPerProgramFolderForAKnownAppversionElseEveryVersion) {
  EXPECT_EQ(
      defaultRendererCandidates("7.0", {"C:\\Program Files", "D:\\Apps\\"}),
      Arguments({"C:\\Program Files\\Adobe\\Adobe After Effects 7.0\\Support Files\\aerender.exe",
                 "D:\\Apps\\Adobe\\Adobe After Effects 7.0\\Support Files\\aerender.exe"}));
  Arguments every = defaultRendererCandidates("10.0", {"P"});
  ASSERT_EQ(every.size(), 4u);
  EXPECT_EQ(every.front(), "P\\Adobe\\Adobe After Effects CS4\\Support Files\\aerender.exe");
  EXPECT_EQ(every.back(), "P\\Adobe\\After Effects 6.5\\Support Files\\aerender.exe");
}

TEST(JobTypeExecutionTest, TheTypeNamesItsProgramAndRendererKey) {
  JobType type("aftereffects", TQ_SOURCE_DIR "/jobtypes");
  ASSERT_TRUE(type.isValid()) << type.problem();
  // The Windows pair wins wherever it is set; the generic pair names the program
  // without the extension, for workers that read it.
  EXPECT_EQ(type.executeBinding(), TqString("program"));
  std::string library = type.executeLibrary().str();
  ASSERT_GT(library.size(), 16u);
  EXPECT_EQ(library.substr(library.size() - 15), "tq-aerender.exe");
  EXPECT_EQ(library.substr(0, type.directory().length()), type.directory().str());
  EXPECT_EQ(type.value("execute_binding"), TqString("program"));
  std::string generic = type.value("execute_library", true).str();
  EXPECT_EQ(generic.substr(generic.size() - 11), "tq-aerender");
  EXPECT_TRUE(type.value("aerender_path").empty());
}

}  // namespace
}  // namespace tq::aerender
