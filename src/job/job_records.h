// Records that carry whole jobs: the hash of jobs, job graphs and their nodes, assignments,
// duties, the command with a job, and the supervisors' sync record.
#pragma once

#include <cstdint>
#include <tuple>

#include "config/config_record.h"
#include "job/job.h"
#include "records/basic_records.h"
#include "records/catalogue_access.h"
#include "records/catalogue_hosts.h"
#include "records/catalogue_jobs.h"
#include "records/catalogue_queries.h"
#include "records/catalogue_work.h"
#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"

namespace tq {

// Jobs by key. Its type name is its class id written in decimal.
inline constexpr char kJobHashName[] = "116";
using JobHash = Hash<Job, 116, kJobHashName>;

// A job placed in a job graph.
class JobNode : public Record<JobNode> {
 public:
  static constexpr int32_t kClassId = 114;
  static constexpr const char* kTypeName = "job_node";
  int32_t x = 0;
  int32_t y = 0;
  Job job;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "x", &JobNode::x), Field(2, "y", &JobNode::y),
                           Field(3, "job", &JobNode::job));
  }
};

inline constexpr char kJobNodeListName[] = "job_node_list";
using JobNodeList = List<JobNode, 115, kJobNodeListName>;

// Jobs and the links between them, submitted together with the queue settings they share.
// The field ids follow the job record's numbering for the same settings.
class JobGraph : public Record<JobGraph> {
 public:
  static constexpr int32_t kClassId = 113;
  static constexpr const char* kTypeName = "job_graph";
  JobLinkList job_link_list;
  JobNodeList job_list;
  int32_t priority = 0;
  TqString user;
  TqString name;
  TqString cluster;
  int32_t cpus = 0;
  TqString requirements;
  int32_t flags = 0;
  TqString account;
  TqString reservations;
  int32_t local_order = 0;
  int32_t global_order = 0;
  TqString queue;
  TqString restrictions;
  TqString groups;
  TqString hosts;
  TqString domain;
  int32_t pgrp = 0;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "job_link_list", &JobGraph::job_link_list),
        Field(2, "job_list", &JobGraph::job_list), Field(4, "priority", &JobGraph::priority),
        Field(5, "user", &JobGraph::user), Field(8, "name", &JobGraph::name),
        Field(9, "cluster", &JobGraph::cluster), Field(12, "cpus", &JobGraph::cpus),
        Field(14, "requirements", &JobGraph::requirements), Field(26, "flags", &JobGraph::flags),
        Field(28, "account", &JobGraph::account),
        Field(30, "reservations", &JobGraph::reservations),
        Field(31, "local_order", &JobGraph::local_order),
        Field(32, "global_order", &JobGraph::global_order), Field(33, "queue", &JobGraph::queue),
        Field(34, "restrictions", &JobGraph::restrictions), Field(36, "groups", &JobGraph::groups),
        Field(37, "hosts", &JobGraph::hosts), Field(38, "domain", &JobGraph::domain),
        Field(39, "pgrp", &JobGraph::pgrp));
  }
};

// What a worker is given to run: the job, the sub-job, and where its logs stand. Field 8 holds
// the work item being run (a "work" record) and field 11 the variable it concerns (a
// "variable" record).
class Assignment : public Record<Assignment> {
 public:
  static constexpr int32_t kClassId = 25;
  static constexpr const char* kTypeName = "assignment";
  Job job;
  Subjob subjob;
  int32_t proc_id = 0;
  int32_t thread_id = 0;
  JobStats stats;
  int32_t outpos = 0;
  int32_t errpos = 0;
  Work work;
  bool develop = false;
  Time time_start;
  Variable variable;
  Address server_address;
  int32_t outstartpos = 0;
  int32_t errstartpos = 0;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "job", &Assignment::job), Field(2, "subjob", &Assignment::subjob),
        Field(3, "proc_id", &Assignment::proc_id), Field(4, "thread_id", &Assignment::thread_id),
        Field(5, "stats", &Assignment::stats), Field(6, "outpos", &Assignment::outpos),
        Field(7, "errpos", &Assignment::errpos), Field(8, "work", &Assignment::work),
        Field(9, "develop", &Assignment::develop), Field(10, "time_start", &Assignment::time_start),
        Field(11, "variable", &Assignment::variable),
        Field(12, "server_address", &Assignment::server_address),
        Field(13, "outstartpos", &Assignment::outstartpos),
        Field(14, "errstartpos", &Assignment::errstartpos));
  }
};

// A job's sub-job running on a host.
class Duty : public Record<Duty> {
 public:
  static constexpr int32_t kClassId = 44;
  static constexpr const char* kTypeName = "duty";
  Job job;
  Subjob subjob;
  Host host;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "job", &Duty::job), Field(2, "subjob", &Duty::subjob),
                           Field(3, "host", &Duty::host));
  }
};

inline constexpr char kAssignmentListName[] = "assignment_list";
inline constexpr char kDutyListName[] = "duty_list";
using AssignmentList = List<Assignment, 26, kAssignmentListName>;
using DutyList = List<Duty, 45, kDutyListName>;

// The "command" of class 48: the fields of the plain command, then a job (field 10) and a
// field list (field 11). The last two have no text names, so its text form is the plain
// command's and they travel in the binary stream only.
class CommandWithJob : public Record<CommandWithJob, Command> {
 public:
  static constexpr int32_t kClassId = 48;
  static constexpr const char* kTypeName = "command";
  Job job;
  FieldList field_list;
  static constexpr auto fields() {
    return std::tuple_cat(Command::fields(),
                          std::make_tuple(Field(10, "", &CommandWithJob::job, kBinaryOnly),
                                          Field(11, "", &CommandWithJob::field_list, kBinaryOnly)));
  }
};

// What one supervisor sends another to bring it up to date. Field 11 holds the job ids (a
// "job_id_list" record).
class Sync : public Record<Sync> {
 public:
  static constexpr int32_t kClassId = 171;
  static constexpr const char* kTypeName = "sync";
  JobList jobs;
  HostList hosts;
  Time last_update;
  JobIdList jobids;
  int32_t server_id = 0;
  int32_t max_jobid = 0;
  int32_t content = 0;
  ConfigList hostconfigs;
  AccessList access;
  GroupAccessList group_access;
  PasswordList passwords;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "jobs", &Sync::jobs), Field(2, "hosts", &Sync::hosts),
        Field(10, "last_update", &Sync::last_update), Field(11, "jobids", &Sync::jobids),
        Field(12, "server_id", &Sync::server_id), Field(14, "max_jobid", &Sync::max_jobid),
        Field(15, "content", &Sync::content), Field(16, "hostconfigs", &Sync::hostconfigs),
        Field(17, "access", &Sync::access), Field(18, "group_access", &Sync::group_access),
        Field(20, "passwords", &Sync::passwords));
  }
};

}  // namespace tq
