// The job record: defaults, field order, both forms with every field set, helpers.
#include "job/job.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "job/names.h"
#include "support/record_filler.h"
#include "support/sample_records.h"

namespace tq::test {
namespace {

const std::vector<int> kFieldOrder = {1,  2,  4,  31, 32, 3,  5,  38, 35, 6,  7,  8,  12, 20, 9,
                                      10, 11, 13, 14, 30, 34, 36, 37, 41, 15, 33, 16, 17, 18, 19,
                                      21, 22, 23, 39, 24, 26, 27, 28, 29, 40, 42, 43, 44, 47, 48,
                                      49, 50, 51, 52, 53, 60, 54, 55, 56, 57, 58, 59, 61, 62};

// Sets every field but the children (a job holds jobs: filling those would never end).
void fillJob(Job& job, RecordFiller& filler) {
  std::apply(
      [&](const auto&... f) {
        auto one = [&](const auto& entry) {
          auto& member = job.*(entry.member);
          if constexpr (!std::is_same_v<std::decay_t<decltype(member)>, JobList>)
            filler.fill(member);
        };
        (one(f), ...);
      },
      Job::fields());
}

Job filledJob() {
  RecordFiller filler;
  Job job;
  fillJob(job, filler);
  Job child;
  fillJob(child, filler);
  job.children.append(child);
  return job;
}

std::vector<int> topLevelIds(Job& job) {
  job.encode();
  std::vector<int> ids;
  Decoder in(job.buffer() + 4, job.bufferLength() - 4, 0);
  while (in.next()) {
    ids.push_back(in.id());
    in.skip();
  }
  return ids;
}

TEST(JobTest, FreshJobHasItsDefaults) {
  Job job;
  EXPECT_EQ(job.id, 1);
  EXPECT_EQ(job.pid, -1);
  EXPECT_EQ(job.pgrp, -1);
  EXPECT_EQ(job.priority, -1);
  EXPECT_EQ(job.cpus, 1);
  EXPECT_EQ(job.todo, 0);
  EXPECT_EQ(job.flags, 0);
  EXPECT_EQ(job.timeout, -1);
  EXPECT_EQ(job.retry_subjob, -1);
  EXPECT_EQ(job.retry_work, -1);
  EXPECT_EQ(job.status.value, 0);
  EXPECT_EQ(job.server_id, 0);
  EXPECT_TRUE(job.name.empty() && job.user.empty() && job.data.empty() && job.notes.empty());
  EXPECT_TRUE(job.isNone());
}

TEST(JobTest, FieldsGoInTheJobsOwnOrderAndSkipUnassignedNumbers) {
  Job job = filledJob();
  EXPECT_EQ(topLevelIds(job), kFieldOrder);
  job.encodeText();
  std::string text(job.encoded());
  size_t at = 0;
  int found = 0;
  std::apply(
      [&](const auto&... f) {
        auto check = [&](const char* name) {
          size_t next = text.find("\n\t<" + std::string(name) + ">", at);
          ASSERT_NE(next, std::string::npos) << name;
          at = next + 1;
          ++found;
        };
        (check(f.name), ...);
      },
      Job::fields());
  EXPECT_EQ(found, 59);
}

TEST(JobTest, EveryFieldRoundTripsInBothForms) {
  Job job = filledJob();
  job.encode();
  std::string bytes(job.encoded());
  Job back;
  ASSERT_EQ(decodeBytes(back, bytes), kDecoded);
  EXPECT_EQ(encodeBytes(back), bytes);
  EXPECT_EQ(back.children.count(), 1);
  EXPECT_EQ(back.children[0].name, job.children[0].name);

  job.encodeText();
  std::string text(job.encoded());
  std::string wrapped = "<pack>" + text + "</pack>";
  Job from_text;
  ASSERT_EQ(from_text.decodeText(wrapped.data(), static_cast<int32_t>(wrapped.size())),
            kTextDecoded);
  from_text.encodeText();
  EXPECT_EQ(std::string(from_text.encoded()), text);
  EXPECT_EQ(encodeBytes(from_text), bytes);
}

TEST(JobTest, ChildrenEncodeAsJobRecords) {
  Job parent;
  Job child;
  child.name = "child";
  parent.children.append(child);
  parent.encodeText();
  std::string text(parent.encoded());
  EXPECT_NE(text.find("\t<children>\n\t\t<object type = 'job_list'>\n\t\t\t<item>\n"
                      "\t\t\t\t<object type = 'job'>\n\t\t\t\t\t<id>1</id>\n"),
            std::string::npos);
  std::string bytes = encodeBytes(parent);
  EXPECT_NE(bytes.find(header(10, 4) + be32(5)), std::string::npos);  // a job_list
  EXPECT_NE(bytes.find(header(10, 4) + be32(1)), std::string::npos);  // holding a job
}

TEST(JobTest, CopiesAreDeepAndKeepTheExtraMembers) {
  Job job = filledJob();
  job.setExtra2(9);
  Job copy(job);
  EXPECT_EQ(copy.extra2(), 9);
  copy.children[0].name = "changed";
  EXPECT_NE(job.children[0].name, copy.children[0].name);
  EXPECT_EQ(encodeBytes(copy).size(), encodeBytes(job).size());
  Job extra_not_encoded;
  extra_not_encoded.setExtra1(5);
  EXPECT_EQ(encodeBytes(extra_not_encoded), encodeBytes(*std::make_unique<Job>()));
}

TEST(JobTest, CpusSetterKeepsAtLeastOne) {
  Job job;
  job.setCpus(0);
  EXPECT_EQ(job.cpus, 1);
  job.setCpus(-5);
  EXPECT_EQ(job.cpus, 1);
  job.setCpus(8);
  EXPECT_EQ(job.cpus, 8);
}

TEST(JobTest, StatusAndFlagHelpers) {
  Job job;
  job.setStatusName("pending");
  EXPECT_EQ(job.status.value, 320);
  EXPECT_TRUE(job.isPending());
  job.setStatus(323);
  EXPECT_TRUE(job.isWaiting());
  EXPECT_TRUE(job.isInProgress());
  job.setStatusName("nonsense");
  EXPECT_TRUE(job.isNone());

  job.flags = 0x30;
  EXPECT_EQ(job.flagsText(), TqString("expand,export_environment"));
  job.flags = 0;
  EXPECT_EQ(job.flagsText(), TqString("0"));
  job.setFlagsText("grid, elite");
  EXPECT_EQ(job.flags, 0x204);
  EXPECT_TRUE(job.isElite());
  EXPECT_FALSE(job.isGrid());  // grid needs more than one processor
  job.setCpus(2);
  EXPECT_TRUE(job.isGrid());
}

TEST(JobTest, PackageViewOfData) {
  Job job;
  EXPECT_EQ(job.package(), nullptr);
  Package root;
  auto child = std::make_unique<Package>();
  child->setName("Comp_name");
  child->setValue("Main");
  root.addChild(std::move(child));
  job.setPackage(root);
  EXPECT_EQ(job.data, TqString("(=(Comp_name=Main))"));
  auto back = job.package();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->child(0)->value(), TqString("Main"));
}

TEST(JobTest, MultiProcessorReservation) {
  Job job;
  EXPECT_FALSE(job.reservesMultipleProcessors());
  job.reservations = "license.ae=1, host.processors=2";
  EXPECT_TRUE(job.reservesMultipleProcessors());
  job.reservations = "host.processors=1";
  EXPECT_FALSE(job.reservesMultipleProcessors());
  job.reservations = "host.processors";
  EXPECT_FALSE(job.reservesMultipleProcessors());
  job.reservations = "host.processors_max=8";
  EXPECT_FALSE(job.reservesMultipleProcessors());
}

TEST(JobTest, SchedulingSignatureJoinsTheSchedulingFields) {
  Job job;
  job.cluster = "/c";
  job.priority = 5;
  job.reservations = "r";
  job.restrictions = "x";
  job.requirements = "q";
  job.groups = "g";
  job.hosts = "h";
  job.flags = 4;
  job.local_order = 1;
  job.global_order = 2;
  job.setExtra2(3);
  job.omit_hosts = "o";
  job.omit_groups = "p";
  EXPECT_EQ(job.schedulingSignature(), TqString("/c5rxqgh4123op"));
  Job other(job);
  other.name = "different name";
  EXPECT_EQ(other.schedulingSignature(), job.schedulingSignature());
}

}  // namespace
}  // namespace tq::test
