// Building the render job from the window and the project.
#include "client/submitter.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/fake_host.h"

namespace tq::test {
namespace {

std::unique_ptr<Job> build(FakeHost& host) { return Submitter(host).buildJob(); }

TEST(SubmitterTest, WholeQueueWithEmptyFieldsGivesADefaultJobWithTwoKeys) {
  FakeHost host;
  auto job = build(host);
  Job defaults;
  defaults.prototype = "aftereffects";
  defaults.data = job->data;
  EXPECT_EQ(job->data, TqString("(=(Project_path=D:/jobs/shot.aep)(appversion=7.0))"));
  job->encode();
  defaults.encode();
  EXPECT_EQ(job->encoded(), defaults.encoded());  // every other field at its default
}

TEST(SubmitterTest, AppVersionFollowsTheHostInterfaceVersion) {
  EXPECT_STREQ(Submitter::appVersion({16, 21}), "7.0");
  EXPECT_STREQ(Submitter::appVersion({16, 22}), "7.0");
  EXPECT_STREQ(Submitter::appVersion({16, 9}), "6.5");
  EXPECT_STREQ(Submitter::appVersion({17, 0}), "");
  EXPECT_STREQ(Submitter::appVersion({15, 21}), "");
  FakeHost host;
  host.version = {17, 0};
  EXPECT_EQ(build(host)->data, TqString("(=(Project_path=D:/jobs/shot.aep)(appversion=))"));
}

TEST(SubmitterTest, CompositionModeAddsItsKeysInOrderAndEscapes) {
  FakeHost host;
  host.composition_mode = true;
  host.project = "C:\\proj\\a.aep";
  host.texts[WindowItem::kFrameRange] = "1-10";
  host.texts[WindowItem::kRenderSettings] = "Best Settings";
  host.texts[WindowItem::kOutputModule] = "Lossless (x=1)";
  host.texts[WindowItem::kOutputFile] = "\\\\server\\out\\f.mov";
  host.selected = TqString("Main(final)");
  EXPECT_EQ(build(host)->data,
            TqString("(=(Project_path=C:\\\\proj\\\\a.aep)(appversion=7.0)(Frame_range=1-10)"
                     "(Render_settings_template=Best Settings)"
                     "(Output_module_template=Lossless \\(x\\=1\\))"
                     "(Output_file_path=\\\\\\\\server\\\\out\\\\f.mov)"
                     "(Comp_name=Main\\(final\\)))"));
  auto tree = build(host)->package();
  ASSERT_NE(tree, nullptr);
  ASSERT_EQ(tree->childCount(), 7);
  EXPECT_EQ(tree->child(6)->value(), TqString("Main(final)"));
}

TEST(SubmitterTest, CompositionModeSkipsEmptyFieldsAndAMissingSelection) {
  FakeHost host;
  host.composition_mode = true;
  host.texts[WindowItem::kOutputFile] = "out.mov";
  EXPECT_EQ(
      build(host)->data,
      TqString("(=(Project_path=D:/jobs/shot.aep)(appversion=7.0)(Output_file_path=out.mov))"));
  host.selected = TqString("");
  EXPECT_EQ(build(host)->package()->childCount(), 3);
  host.composition_mode = false;
  host.selected = TqString("Main");
  EXPECT_EQ(build(host)->package()->childCount(), 2);  // queue mode ignores the composition
}

TEST(SubmitterTest, QueueSettingsAreCopiedWithAtoiNumbers) {
  FakeHost host;
  host.texts[WindowItem::kName] = "shot 12";
  host.texts[WindowItem::kStatus] = "blocked";
  host.texts[WindowItem::kCluster] = "/render";
  host.texts[WindowItem::kHosts] = "a,b";
  host.texts[WindowItem::kPriority] = "  42abc";
  host.texts[WindowItem::kGroups] = "fast";
  host.texts[WindowItem::kCpus] = "4";
  host.texts[WindowItem::kRequirements] = "host.os==windows";
  host.texts[WindowItem::kRestrictions] = "/render/*";
  host.texts[WindowItem::kReservations] = "host.processors=2";
  host.texts[WindowItem::kPid] = "17";
  host.texts[WindowItem::kPgrp] = "-3";
  host.texts[WindowItem::kUser] = "ann";
  host.texts[WindowItem::kDomain] = "STUDIO";
  auto job = build(host);
  EXPECT_EQ(job->name, TqString("shot 12"));
  EXPECT_EQ(job->status.value, 272);
  EXPECT_EQ(job->cluster, TqString("/render"));
  EXPECT_EQ(job->hosts, TqString("a,b"));
  EXPECT_EQ(job->priority, 42);
  EXPECT_EQ(job->groups, TqString("fast"));
  EXPECT_EQ(job->cpus, 4);
  EXPECT_EQ(job->requirements, TqString("host.os==windows"));
  EXPECT_EQ(job->restrictions, TqString("/render/*"));
  EXPECT_EQ(job->reservations, TqString("host.processors=2"));
  EXPECT_TRUE(job->reservesMultipleProcessors());
  EXPECT_EQ(job->pid, 17);
  EXPECT_EQ(job->pgrp, -3);
  EXPECT_EQ(job->user, TqString("ann"));
  EXPECT_EQ(job->domain, TqString("STUDIO"));
  EXPECT_EQ(job->prototype, TqString("aftereffects"));
}

TEST(SubmitterTest, MalformedNumbersAndStatusesFallBack) {
  FakeHost host;
  for (const char* cpus : {"0", "-5", "lots"}) {
    host.texts[WindowItem::kCpus] = cpus;
    EXPECT_EQ(build(host)->cpus, 1) << cpus;
  }
  host.texts[WindowItem::kPriority] = "high";
  EXPECT_EQ(build(host)->priority, 0);
  host.texts[WindowItem::kStatus] = "pending";
  EXPECT_EQ(build(host)->status.value, 320);
  host.texts[WindowItem::kStatus] = "Pending";
  EXPECT_EQ(build(host)->status.value, 0);
  host.texts[WindowItem::kStatus] = "";
  EXPECT_EQ(build(host)->status.value, 0);
}

// Numbers past the 32-bit range are clamped alike on every platform, never wrapped.
TEST(SubmitterTest, OutOfRangeNumbersAreClamped) {
  FakeHost host;
  host.texts[WindowItem::kPriority] = "4294967297";
  host.texts[WindowItem::kPid] = "-99999999999999999999";
  host.texts[WindowItem::kCpus] = "8589934594";
  auto job = build(host);
  EXPECT_EQ(job->priority, INT32_MAX);
  EXPECT_EQ(job->pid, INT32_MIN);
  EXPECT_EQ(job->cpus, INT32_MAX);
}

}  // namespace
}  // namespace tq::test
