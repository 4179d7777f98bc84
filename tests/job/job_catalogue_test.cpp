// The records that carry whole jobs: each against its published layout and through both forms,
// and the command of class 48 with its two binary-only fields.
#include <gtest/gtest.h>

#include <vector>

#include "job/job_records.h"
#include "job/message.h"
#include "support/catalogue_check.h"

namespace tq::test {
namespace {

std::vector<CatalogueEntry> jobCatalogue() {
  return {
      catalogueEntry<JobList>(5, "job_list", "list of job"),
      catalogueEntry<JobHash>(116, "116", "hash of job"),
      catalogueEntry<JobNode>(114, "job_node", "1 x integer; 2 y integer; 3 job job"),
      catalogueEntry<JobNodeList>(115, "job_node_list", "list of job_node"),
      catalogueEntry<JobGraph>(
          113, "job_graph",
          "1 job_link_list job_link_list; 2 job_list job_node_list; 4 priority integer; "
          "5 user string; 8 name string; 9 cluster string; 12 cpus integer; "
          "14 requirements string; 26 flags integer; 28 account string; "
          "30 reservations string; 31 local_order integer; 32 global_order integer; "
          "33 queue string; 34 restrictions string; 36 groups string; 37 hosts string; "
          "38 domain string; 39 pgrp integer"),
      catalogueEntry<Assignment>(
          25, "assignment",
          "1 job job; 2 subjob subjob; 3 proc_id integer; 4 thread_id integer; "
          "5 stats job_stats; 6 outpos integer; 7 errpos integer; 8 work work; "
          "9 develop boolean; 10 time_start time; 11 variable variable; "
          "12 server_address address; 13 outstartpos integer; 14 errstartpos integer"),
      catalogueEntry<AssignmentList>(26, "assignment_list", "list of assignment"),
      catalogueEntry<Duty>(44, "duty", "1 job job; 2 subjob subjob; 3 host host"),
      catalogueEntry<DutyList>(45, "duty_list", "list of duty"),
      catalogueEntry<CommandWithJob>(
          48, "command",
          "1 filter_list filter_list; 2 job_id_list job_id_list; "
          "3 work_id_list work_id_list; 4 group_list string_list; 5 restrictions boolean; "
          "6 limit integer; 7 background boolean; 10 (binary) job; 11 (binary) field_list"),
      catalogueEntry<Sync>(171, "sync",
                           "1 jobs job_list; 2 hosts host_list; 10 last_update time; "
                           "11 jobids job_id_list; 12 server_id integer; 14 max_jobid integer; "
                           "15 content integer; 16 hostconfigs config_list; "
                           "17 access access_list; 18 group_access group_access_list; "
                           "20 passwords password_list"),
  };
}

class JobCatalogueTest : public ::testing::TestWithParam<CatalogueEntry> {};

TEST_P(JobCatalogueTest, IdentityAndFieldsMatchThePublishedLayout) { checkIdentity(GetParam()); }
TEST_P(JobCatalogueTest, FilledRecordSurvivesTheBinaryForm) { checkBinaryRoundTrip(GetParam()); }
TEST_P(JobCatalogueTest, FilledRecordSurvivesTheTextForm) { checkTextRoundTrip(GetParam()); }
TEST_P(JobCatalogueTest, BothFormsAreWhatTheFieldTableSays) {
  checkWrittenAsItsTableSays(GetParam());
}

std::string entryName(const ::testing::TestParamInfo<CatalogueEntry>& param) {
  return "class_" + std::to_string(param.param.class_id) + "_" + std::to_string(param.index);
}

INSTANTIATE_TEST_SUITE_P(Jobs, JobCatalogueTest, ::testing::ValuesIn(jobCatalogue()), entryName);

CommandWithJob filledCommandWithJob() {
  CommandWithJob command;
  RecordFiller filler;
  filler.fill(command);
  return command;
}

TEST(CommandWithJobTest, ItsTextFormIsThePlainCommands) {
  CommandWithJob full = filledCommandWithJob();
  Command plain = full;  // the command's own fields, nothing else
  EXPECT_EQ(encodeTextOf(full), encodeTextOf(plain));
  EXPECT_EQ(encodeTextOf(full).find("<job>"), std::string::npos);
}

TEST(CommandWithJobTest, JobAndFieldListFollowTheCommandFieldsInTheBinaryForm) {
  CommandWithJob full = filledCommandWithJob();
  Command plain = full;
  std::string full_bytes = encodeBytes(full);
  std::string plain_bytes = encodeBytes(plain);
  ASSERT_GT(full_bytes.size(), plain_bytes.size());
  EXPECT_EQ(full_bytes.substr(0, plain_bytes.size()), plain_bytes);
  EXPECT_EQ(full_bytes.substr(plain_bytes.size(), 8), header(10, 4) + be32(Job::kClassId));

  // A record read from the text form keeps the job and field list it had.
  CommandWithJob from_text;
  from_text.job.name = "kept";
  ASSERT_EQ(decodeTextInto(from_text, wrapText(encodeTextOf(full))), kTextDecoded);
  EXPECT_EQ(from_text.job.name, TqString("kept"));
  EXPECT_EQ(from_text.limit, full.limit);
}

TEST(CommandWithJobTest, TravelsWholeAsAMessageContent) {
  auto command = std::make_unique<CommandWithJob>(filledCommandWithJob());
  std::string content_bytes = encodeBytes(*command);
  Message message(30);
  message.setContent(std::move(command));
  Message back;
  ASSERT_EQ(decodeBytes(back, encodeBytes(message)), kDecoded);
  ASSERT_NE(back.content(), nullptr);
  EXPECT_EQ(back.contentType(), 48);
  EXPECT_EQ(encodeBytes(*back.content()), content_bytes);
}

TEST(SyncTest, HostConfigurationsTravelAsAConfigList) {
  Sync sync;
  ConfigRecord config;
  config.setName("node1");
  sync.hostconfigs.append(config);
  sync.jobids.append(JobId(4, 2));
  Sync back;
  ASSERT_EQ(decodeBytes(back, encodeBytes(sync)), kDecoded);
  ASSERT_EQ(back.hostconfigs.count(), 1);
  EXPECT_EQ(back.hostconfigs[0].name(), TqString("node1"));
  ASSERT_EQ(back.jobids.count(), 1);
  EXPECT_EQ(back.jobids[0].sub_id, 2);
}

}  // namespace
}  // namespace tq::test
