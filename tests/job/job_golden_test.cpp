// The job record and the job list pinned byte for byte, in both forms, by the files in
// tests/job/golden/: a job at its defaults, a job with every field set to a value of its own
// (sub-records, lists and hashes included), and a list of three jobs.
//
// Each case encodes the job and compares with its golden file, then decodes the golden file
// and encodes the result again, which must give the same bytes. A misspelt field name, a
// reordered field or a changed number fails here.
//
// After a deliberate change of the job's form, regenerate the files with
//   TQ_UPDATE_GOLDEN=1 ./tq_job_tests --gtest_filter='JobGoldenTest.*'
// (the files are written into the source tree; review the diff before committing it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "job/job.h"

namespace tq::test {
namespace {

std::string goldenPath(const std::string& name) {
  return std::string(TQ_TEST_SOURCE_DIR) + "/job/golden/" + name;
}

bool updating() {
  const char* v = std::getenv("TQ_UPDATE_GOLDEN");
  return v != nullptr && *v != '\0' && std::string(v) != "0";
}

std::string readGolden(const std::string& name) {
  std::ifstream in(goldenPath(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

void writeGolden(const std::string& name, const std::string& bytes) {
  std::ofstream out(goldenPath(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TqString text(const std::string& s) { return TqString(std::string_view(s)); }

// Every field of the job set to a value that no other field holds: integers from the field
// number (1000 + number), strings from the field name, sub-records filled the same way.
Job fullJob() {
  Job job;
  job.id = 1001;
  job.pid = 1002;
  job.pgrp = 1003;
  job.priority = 1004;
  job.user = "user-ann";
  job.status.value = 320;
  Subjob sub;
  sub.id = 2001;
  sub.pid = 2002;
  sub.host = "subjob-host";
  sub.status.value = 336;
  sub.address.set(0x0A000001);
  sub.last_update.value = 2006;
  sub.data = "subjob-data";
  sub.result = "subjob-result";
  sub.mac_address.value = "00:1A:2B:3C:4D:5E";
  sub.retry = 2010;
  sub.count = 2011;
  sub.seq = 2012;
  sub.time_start.value = 2013;
  sub.time_complete.value = 2014;
  job.subjobs.append(sub);
  job.name = "name-shot";
  job.cluster = "/cluster/fast";
  Job child;
  child.id = 3001;
  child.name = "child-job";
  child.prototype = "cmdline";
  job.children.append(child);
  for (int w = 0; w < 2; ++w) {
    Work work;
    work.name = text("work-" + std::to_string(w + 1));
    work.sub_id = 4002 + w;
    work.host = text("work-host-" + std::to_string(w));
    work.status.value = 323;
    work.address.set(0x7F000001u + static_cast<uint32_t>(w));
    work.pid = 4006;
    work.data = "work-data";
    work.id = 4008 + w;
    work.result = "work-result";
    work.retry = 4010;
    work.count = 4011;
    work.dependency = "work-dependency";
    work.percent = 4013;
    work.last_update.value = 4014;
    work.seq = 4015;
    work.time_start.value = 4016;
    work.time_complete.value = 4017;
    work.mac_address.value = "AA:BB:CC:DD:EE:FF";
    job.agenda.append(std::move(work));
  }
  job.setCpus(1012);
  Callback callback;
  callback.id = 5001;
  callback.language = 5002;
  callback.code = "callback-code";
  callback.count = 5004;
  callback.max = 5005;
  callback.triggers = "callback-triggers";
  callback.ready = "callback-ready";
  callback.user = "callback-user";
  callback.pid = 5010;
  callback.lastupdate.value = 5011;
  job.callbacks.append(callback);
  job.requirements = "requirements-memory>4096";
  job.data = "(=(Comp_name=Main)(Frame_range=1-10))";
  job.prototype = "prototype-aftereffects";
  job.path = "path-/jobtypes";
  job.reason = "reason-text";
  job.logpath = "logpath-/logs";
  job.todo = 1020;
  StatusTally* tallies[] = {&job.cpus_tally, &job.todo_tally};
  for (int t = 0; t < 2; ++t) {
    StatusTally& s = *tallies[t];
    int32_t base = 6000 + t * 100;
    s.running = base;
    s.blocked = base + 1;
    s.complete = base + 2;
    s.pending = base + 3;
    s.suspended = base + 4;
    s.failed = base + 5;
    s.killed = base + 6;
    s.waiting = base + 7;
    s.unknown = base + 8;
    s.warning = base + 9;
    s.badlogin = base + 10;
  }
  job.time_submit.value = 1023;
  job.time_complete.value = 1024;
  job.flags = 1026;
  job.label = "label-text";
  job.account = "account-text";
  job.env.setVariable("PATH", "/usr/bin");
  job.env.setVariable("TQ_SHOT", "shot-7");
  job.env.umask = 18;
  job.env.cwd = "/work/shot";
  job.env.mounts.insert("Z:", TqString("\\\\srv\\share"));
  job.reservations = "host.processors=2";
  job.local_order = 1031;
  job.global_order = 1032;
  job.queue = "queue-name";
  job.restrictions = "restrictions-render*";
  job.password = "password-secret";
  job.groups = "groups-nodes";
  job.hosts = "hosts-render01,render02";
  job.domain = "domain-STUDIO";
  job.time_start.value = 1039;
  job.kind = "kind-text";
  job.host_order = "host_order-expression";
  job.server_id = 1042;
  job.last_update.value = 1043;
  job.timeout = 1044;
  Variable variable;
  variable.pid = 7001;
  variable.name = "variable-name";
  variable.value = "variable-value";
  variable.cls = 7004;
  variable.last_update.value = 7005;
  job.variables.append(variable);
  job.agenda_status.value = 1048;
  job.subjob_status.value = 1049;
  job.path_map.logical_map.insert("logical", TqString("L:/projects"));
  job.path_map.direct_map.insert("D:/jobs", TqString("/mnt/jobs"));
  job.retry_subjob = 1051;
  job.retry_work = 1052;
  job.omit_hosts = "omit_hosts-bad01";
  job.dependency = "dependency-expression";
  job.deadline.value = 1055;
  job.mail_address = "mail_address-ann@example.invalid";
  job.notes = "notes-text";
  job.prototype_path = "prototype_path-/jobtypes/aftereffects";
  job.source_host.set(0xC0A80102);
  job.omit_groups = "omit_groups-slow";
  job.immediate_cpus = 1061;
  job.mask_status.value = 1062;
  return job;
}

JobList jobList() {
  JobList list;
  list.append(Job());
  list.append(fullJob());
  Job render;
  render.id = 42;
  render.name = "shot";
  render.prototype = "aftereffects";
  render.user = "ann";
  render.setCpus(2);
  render.setStatusName("blocked");
  render.data = "(=(Project_path=D:/jobs/shot.aep)(appversion=16.22)(Comp_name=Main))";
  list.append(render);
  return list;
}

// The binary form: encode and compare, decode the golden and encode again.
template <class R>
void checkBinary(R record, const std::string& name) {
  std::string bytes(record.encoded().data(), static_cast<size_t>(record.encode()));
  if (updating()) writeGolden(name, bytes);
  std::string golden = readGolden(name);
  ASSERT_FALSE(golden.empty()) << "missing golden file " << goldenPath(name);
  EXPECT_EQ(bytes, golden) << name << ": the encoding differs from the golden file";

  R decoded;
  ASSERT_EQ(decoded.decode(reinterpret_cast<const uint8_t*>(golden.data()),
                           static_cast<int32_t>(golden.size())),
            kDecoded);
  decoded.encode();
  EXPECT_EQ(std::string(decoded.encoded()), golden) << name << ": decode and encode again differ";
}

// The text form, as encodeText() writes it (a file holds the same bytes on POSIX).
template <class R>
void checkText(R record, const std::string& name) {
  record.encodeText();
  std::string written(record.encoded());
  if (updating()) writeGolden(name, written);
  std::string golden = readGolden(name);
  ASSERT_FALSE(golden.empty()) << "missing golden file " << goldenPath(name);
  EXPECT_EQ(written, golden) << name << ": the text differs from the golden file";

  // Read back as loadText() reads a file: wrapped in one root element.
  std::string wrapped = "<pack>\n" + golden + "\n</pack>";
  R decoded;
  ASSERT_EQ(decoded.decodeText(wrapped.data(), static_cast<int32_t>(wrapped.size())), kTextDecoded);
  decoded.encodeText();
  EXPECT_EQ(std::string(decoded.encoded()), golden) << name << ": read and write again differ";
}

TEST(JobGoldenTest, DefaultJobInBothForms) {
  checkBinary(Job(), "job_default.bin");
  checkText(Job(), "job_default.txt");
}

TEST(JobGoldenTest, FullySetJobInBothForms) {
  checkBinary(fullJob(), "job_full.bin");
  checkText(fullJob(), "job_full.txt");
}

TEST(JobGoldenTest, JobListInBothForms) {
  checkBinary(jobList(), "job_list.bin");
  checkText(jobList(), "job_list.txt");
}

// The golden files themselves say what they hold: a decoded full job has the values set above.
TEST(JobGoldenTest, GoldenFullJobDecodesToItsValues) {
  std::string golden = readGolden("job_full.bin");
  Job job;
  ASSERT_EQ(job.decode(reinterpret_cast<const uint8_t*>(golden.data()),
                       static_cast<int32_t>(golden.size())),
            kDecoded);
  EXPECT_EQ(job.mask_status.value, 1062);
  EXPECT_EQ(job.notes.str(), "notes-text");
  EXPECT_EQ(job.source_host.get(), 0xC0A80102u);
  ASSERT_EQ(job.agenda.count(), 2);
  EXPECT_EQ(job.agenda[1].name.str(), "work-2");
  ASSERT_EQ(job.children.count(), 1);
  EXPECT_EQ(job.children[0].name.str(), "child-job");
  EXPECT_EQ(job.env.variable("TQ_SHOT").str(), "shot-7");
  EXPECT_EQ(job.path_map.direct_map.find("D:/jobs")->str(), "/mnt/jobs");
}

}  // namespace
}  // namespace tq::test
