// The parts of a job that do not hold a job themselves: sub-jobs, status tallies, run
// statistics, reports and the links of a job graph. Records that hold a whole job live with the
// job record (job/job_records.h).
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/catalogue_work.h"
#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"

namespace tq {

// One process of a job on one host.
class Subjob : public Record<Subjob> {
 public:
  static constexpr int32_t kClassId = 4;
  static constexpr const char* kTypeName = "subjob";
  int32_t id = 0;
  int32_t pid = 0;
  TqString host;
  Status status;
  Address address;
  Time last_update;
  TqString data;
  TqString result;
  MacAddress mac_address;
  int32_t retry = 0;
  int32_t count = 0;
  int32_t seq = 0;
  Time time_start;
  Time time_complete;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "id", &Subjob::id), Field(2, "pid", &Subjob::pid), Field(3, "host", &Subjob::host),
        Field(4, "status", &Subjob::status), Field(5, "address", &Subjob::address),
        Field(6, "last_update", &Subjob::last_update), Field(7, "data", &Subjob::data),
        Field(8, "result", &Subjob::result), Field(9, "mac_address", &Subjob::mac_address),
        Field(10, "retry", &Subjob::retry), Field(11, "count", &Subjob::count),
        Field(12, "seq", &Subjob::seq), Field(13, "time_start", &Subjob::time_start),
        Field(14, "time_complete", &Subjob::time_complete));
  }
};

// How many jobs are in each status. Its field ids start at 0.
class StatusTally : public Record<StatusTally> {
 public:
  static constexpr int32_t kClassId = 32;
  static constexpr const char* kTypeName = "status_tally";
  int32_t running = 0;
  int32_t blocked = 0;
  int32_t complete = 0;
  int32_t pending = 0;
  int32_t suspended = 0;
  int32_t failed = 0;
  int32_t killed = 0;
  int32_t waiting = 0;
  int32_t unknown = 0;
  int32_t warning = 0;
  int32_t badlogin = 0;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(0, "running", &StatusTally::running), Field(1, "blocked", &StatusTally::blocked),
        Field(2, "complete", &StatusTally::complete), Field(3, "pending", &StatusTally::pending),
        Field(4, "suspended", &StatusTally::suspended), Field(5, "failed", &StatusTally::failed),
        Field(6, "killed", &StatusTally::killed), Field(7, "waiting", &StatusTally::waiting),
        Field(8, "unknown", &StatusTally::unknown), Field(9, "warning", &StatusTally::warning),
        Field(10, "badlogin", &StatusTally::badlogin));
  }
};

// What one run of a sub-job used.
class JobStats : public Record<JobStats> {
 public:
  static constexpr int32_t kClassId = 42;
  static constexpr const char* kTypeName = "job_stats";
  int32_t job_id = 0;
  int32_t sub_id = 0;
  int32_t threads = 0;
  Time start;
  Time end;
  int32_t max_memory = 0;
  int32_t max_swap = 0;
  TqString host;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "job_id", &JobStats::job_id), Field(2, "sub_id", &JobStats::sub_id),
        Field(3, "threads", &JobStats::threads), Field(4, "start", &JobStats::start),
        Field(5, "end", &JobStats::end), Field(6, "max_memory", &JobStats::max_memory),
        Field(7, "max_swap", &JobStats::max_swap), Field(8, "host", &JobStats::host));
  }
};

// The end of a sub-job's run: its statistics and the tails of its two logs.
class Report : public Record<Report> {
 public:
  static constexpr int32_t kClassId = 43;
  static constexpr const char* kTypeName = "report";
  JobStats job_stats;
  Subjob subjob;
  Log out_log;
  Log err_log;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "job_stats", &Report::job_stats), Field(2, "subjob", &Report::subjob),
        Field(3, "out_log", &Report::out_log), Field(4, "err_log", &Report::err_log));
  }
};

// An edge of a job graph, from one node name to another.
class JobLink : public Record<JobLink> {
 public:
  static constexpr int32_t kClassId = 111;
  static constexpr const char* kTypeName = "job_link";
  TqString start;
  TqString end;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "start", &JobLink::start), Field(2, "end", &JobLink::end));
  }
};

inline constexpr char kSubjobListName[] = "subjob_list";
inline constexpr char kJobLinkListName[] = "job_link_list";
inline constexpr char kJobIdHashName[] = "job_id_hash";

using SubjobList = List<Subjob, 6, kSubjobListName>;
using JobLinkList = List<JobLink, 112, kJobLinkListName>;
using JobIdHash = Hash<JobId, 174, kJobIdHashName>;

}  // namespace tq
