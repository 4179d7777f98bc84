// tq::Job: one farm job.
//
// Who submits it, what it runs (prototype and package), where it may run, how it is scheduled
// and, once the supervisor holds it, its state. The field numbers are the wire format; numbers
// 25, 45 and 46 were never assigned and must not be reused. All four codecs go through the
// fields in the order of the table below, which differs from the numbering.
#pragma once

#include <cstdint>
#include <memory>
#include <tuple>

#include "config/env_record.h"
#include "config/path_map.h"
#include "records/basic_records.h"
#include "records/catalogue_jobs.h"
#include "records/catalogue_work.h"
#include "records/field.h"
#include "records/list.h"
#include "records/package.h"

namespace tq {

class Job;
inline constexpr char kJobListName[] = "job_list";
using JobList = List<Job, 5, kJobListName>;

class Job : public Record<Job> {
 public:
  static constexpr int32_t kClassId = 1;
  static constexpr const char* kTypeName = "job";

  Job() = default;
  Job(const Job&) = default;
  Job& operator=(const Job&) = default;

  int32_t id = 1;
  int32_t pid = -1;
  int32_t priority = -1;  // below 0: not set
  int32_t local_order = 0;
  int32_t global_order = 0;
  int32_t pgrp = -1;
  TqString user;
  TqString domain;
  TqString password;
  Status status;
  SubjobList subjobs;
  TqString name;
  int32_t cpus = 1;  // set through setCpus(), which keeps it at 1 or more
  int32_t todo = 0;
  TqString cluster;
  JobList children;
  WorkList agenda;
  CallbackList callbacks;
  TqString requirements;
  TqString reservations;
  TqString restrictions;
  TqString groups;
  TqString hosts;
  TqString host_order;
  TqString data;  // the package, in the parenthesised form
  TqString queue;
  TqString prototype;
  TqString path;
  TqString reason;
  TqString logpath;
  StatusTally cpus_tally;
  StatusTally todo_tally;
  Time time_submit;
  Time time_start;
  Time time_complete;
  int32_t flags = 0;
  TqString label;
  TqString account;
  Env env;
  TqString kind;
  int32_t server_id = 0;
  Time last_update;
  int32_t timeout = -1;
  VariableList variables;
  Status agenda_status;
  Status subjob_status;
  PathMap path_map;
  int32_t retry_subjob = -1;
  int32_t retry_work = -1;
  TqString omit_hosts;
  TqString omit_groups;
  TqString dependency;
  Time deadline;
  TqString mail_address;
  TqString notes;
  TqString prototype_path;
  Address source_host;
  int32_t immediate_cpus = 0;
  Status mask_status;

  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "id", &Job::id), Field(2, "pid", &Job::pid), Field(4, "priority", &Job::priority),
        Field(31, "local_order", &Job::local_order), Field(32, "global_order", &Job::global_order),
        Field(3, "pgrp", &Job::pgrp), Field(5, "user", &Job::user),
        Field(38, "domain", &Job::domain), Field(35, "password", &Job::password),
        Field(6, "status", &Job::status), Field(7, "subjobs", &Job::subjobs),
        Field(8, "name", &Job::name), Field(12, "cpus", &Job::cpus), Field(20, "todo", &Job::todo),
        Field(9, "cluster", &Job::cluster), Field(10, "children", &Job::children),
        Field(11, "agenda", &Job::agenda), Field(13, "callbacks", &Job::callbacks),
        Field(14, "requirements", &Job::requirements),
        Field(30, "reservations", &Job::reservations),
        Field(34, "restrictions", &Job::restrictions), Field(36, "groups", &Job::groups),
        Field(37, "hosts", &Job::hosts), Field(41, "host_order", &Job::host_order),
        Field(15, "data", &Job::data), Field(33, "queue", &Job::queue),
        Field(16, "prototype", &Job::prototype), Field(17, "path", &Job::path),
        Field(18, "reason", &Job::reason), Field(19, "logpath", &Job::logpath),
        Field(21, "cpus_tally", &Job::cpus_tally), Field(22, "todo_tally", &Job::todo_tally),
        Field(23, "time_submit", &Job::time_submit), Field(39, "time_start", &Job::time_start),
        Field(24, "time_complete", &Job::time_complete), Field(26, "flags", &Job::flags),
        Field(27, "label", &Job::label), Field(28, "account", &Job::account),
        Field(29, "env", &Job::env), Field(40, "kind", &Job::kind),
        Field(42, "server_id", &Job::server_id), Field(43, "last_update", &Job::last_update),
        Field(44, "timeout", &Job::timeout), Field(47, "variables", &Job::variables),
        Field(48, "agenda_status", &Job::agenda_status),
        Field(49, "subjob_status", &Job::subjob_status), Field(50, "path_map", &Job::path_map),
        Field(51, "retry_subjob", &Job::retry_subjob), Field(52, "retry_work", &Job::retry_work),
        Field(53, "omit_hosts", &Job::omit_hosts), Field(60, "omit_groups", &Job::omit_groups),
        Field(54, "dependency", &Job::dependency), Field(55, "deadline", &Job::deadline),
        Field(56, "mail_address", &Job::mail_address), Field(57, "notes", &Job::notes),
        Field(58, "prototype_path", &Job::prototype_path),
        Field(59, "source_host", &Job::source_host),
        Field(61, "immediate_cpus", &Job::immediate_cpus),
        Field(62, "mask_status", &Job::mask_status));
  }

  // Values below 1 are stored as 1.
  void setCpus(int32_t value) { cpus = value < 1 ? 1 : value; }

  // Status.
  void setStatus(const Status& s) { status.value = s.value; }
  void setStatus(int32_t value) { status.value = value; }
  // By name ("pending", "blocked" ...); an unknown name gives 0 ("none").
  void setStatusName(const TqString& text);
  bool isPending() const;
  bool isWaiting() const;
  bool isInProgress() const;
  bool isNone() const;

  // Flags as the comma-joined names ("0" when no named bit is set), and back.
  TqString flagsText() const;
  void setFlagsText(const TqString& text);
  // The grid flag with more than one processor.
  bool isGrid() const;
  bool isElite() const;

  // The package held in data: parsed (null when data is empty), or written from a tree.
  std::unique_ptr<Package> package() const;
  void setPackage(const Package& tree);

  // True when the reservations ask for two or more "host.processors". Reservations are a comma
  // list of name=amount items; an item without "=" reserves one.
  bool reservesMultipleProcessors() const;

  // Jobs with equal signatures schedule alike.
  TqString schedulingSignature() const;

  // Three scheduling values that are not fields (never encoded); the second one is part of the
  // scheduling signature.
  int32_t extra1() const { return extra_[0]; }
  int32_t extra2() const { return extra_[1]; }
  int32_t extra3() const { return extra_[2]; }
  void setExtra1(int32_t v) { extra_[0] = v; }
  void setExtra2(int32_t v) { extra_[1] = v; }
  void setExtra3(int32_t v) { extra_[2] = v; }

 private:
  int32_t extra_[3] = {0, 0, 0};
};

}  // namespace tq
