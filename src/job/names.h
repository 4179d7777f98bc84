// The flag and permission name tables of the farm's records and configuration files.
//
// Each table lists its names in writing order (see job/name_table.h for the conversions). The
// status names are in job/status.h.
#pragma once

#include <cstdint>

#include "job/name_table.h"

namespace tq {

// Job flags: the job's `flags` field, "client_job_flags" and "job_flags".
enum JobFlag : int32_t {
  kJobUninterruptible = 0x1,
  kJobMemoryHardLimit = 0x2,
  kJobGrid = 0x4,
  kJobAutoMount = 0x8,
  kJobExportEnvironment = 0x10,
  kJobExpand = 0x20,
  kJobThrifty = 0x40,
  kJobHostList = 0x100,
  kJobElite = 0x200,
  kJobMail = 0x400,
  kJobDisableWindowsJobObject = 0x800,
  kJobDisableCpuLimit = 0x1000,
  kJobDisableAutoComplete = 0x2000,
};

// Value 0x80 has no name. "uninterruptable" is an old spelling that is still read.
inline constexpr NameEntry kJobFlagEntries[] = {
    {"uninterruptible", kJobUninterruptible},
    {"uninterruptable", kJobUninterruptible, kReadOnly},
    {"memory_hard_limit", kJobMemoryHardLimit},
    {"grid", kJobGrid},
    {"thrifty", kJobThrifty},
    {"expand", kJobExpand},
    {"auto_mount", kJobAutoMount},
    {"export_environment", kJobExportEnvironment},
    {"host_list", kJobHostList},
    {"elite", kJobElite},
    {"mail", kJobMail},
    {"disable_windows_job_object", kJobDisableWindowsJobObject},
    {"disable_cpu_limit", kJobDisableCpuLimit},
    {"disable_auto_complete", kJobDisableAutoComplete},
};
inline constexpr NameTable kJobFlagNames{kJobFlagEntries};

// A user's rights. Values 0x100000 to 0x4000000 have no names.
inline constexpr NameEntry kPermissionEntries[] = {
    {"submit_job", 0x1},
    {"submit_callback", 0x2},
    {"submit_global_callback", 0x4},
    {"bump", 0x8},
    {"kill", 0x10},
    {"remove", 0x20},
    {"modify", 0x40},
    {"preempt", 0x80},
    {"block", 0x100},
    {"interrupt", 0x200},
    {"complete", 0x400},
    {"unblock", 0x800},
    {"suspend", 0x1000},
    {"resume", 0x2000},
    {"retry", 0x4000},
    {"requeue", 0x8000},
    {"migrate", 0x10000},
    {"shove", 0x20000},
    {"fail", 0x40000},
    {"retire", 0x80000},
    {"lock_host", 0x8000000},
    {"sudo_admin", 0x10000000},
    {"impersonate", 0x20000000},
    {"admin", 0x40000000},
};
inline constexpr NameTable kPermissionNames{kPermissionEntries};

// Languages a callback may be written in.
inline constexpr NameEntry kCallbackLanguageEntries[] = {
    {"kerv", 0x1}, {"perl", 0x2},  {"python", 0x4},
    {"post", 0x8}, {"mail", 0x10}, {"dependency", 0x20},
};
inline constexpr NameTable kCallbackLanguageNames{kCallbackLanguageEntries};

// What a callback or setting applies to: the full set of seven ...
inline constexpr NameEntry kScopeEntries[] = {
    {"job", 0x1},   {"subjob", 0x2}, {"work", 0x4},  {"callback", 0x8},
    {"user", 0x10}, {"admin", 0x20}, {"mail", 0x40},
};
inline constexpr NameTable kScopeNames{kScopeEntries};

// ... and the three that name parts of a job.
inline constexpr NameEntry kJobScopeEntries[] = {
    {"job", 0x1},
    {"subjob", 0x2},
    {"work", 0x4},
};
inline constexpr NameTable kJobScopeNames{kJobScopeEntries};

// Client flags: "client_flags" in tq.conf.
enum ClientFlag : int32_t {
  kClientSsl = 0x40,
  kClientRestrictDomain = 0x80,
};
inline constexpr NameEntry kClientFlagEntries[] = {
    {"ssl", kClientSsl},
    {"restrict_domain", kClientRestrictDomain},
};
inline constexpr NameTable kClientFlagNames{kClientFlagEntries};

inline constexpr NameEntry kLazyEntries[] = {{"lazy", 0x1}};
inline constexpr NameTable kLazyNames{kLazyEntries};

// Worker (host) flags.
inline constexpr NameEntry kWorkerFlagEntries[] = {
    {"dynamic", 0x2},       {"dedicated", 0x1},    {"auto_mount", 0x4}, {"remove_logs", 0x8},
    {"load_profile", 0x10}, {"rotate_logs", 0x40}, {"ssl", 0x20},       {"enable_winbind", 0x80},
};
inline constexpr NameTable kWorkerFlagNames{kWorkerFlagEntries};

inline constexpr NameEntry kSupervisorFlagEntries[] = {
    {"enforce_password", 0x1},
    {"host_recontact", 0x2},
    {"heartbeat_monitor", 0x4},
    {"running_monitor", 0x800},
    {"clone_logs", 0x8},
    {"remove_logs", 0x10},
    {"master", 0x20},
    {"ssl", 0x40},
    {"multicast", 0x80},
    {"schedule", 0x100},
    {"stub_optimize", 0x400},
    {"rotate_logs", 0x200},
    {"retry_busy", 0x1000},
    {"ignore_duplicate_peer", 0x2000},
    {"enable_max_connections", 0x4000},
};
inline constexpr NameTable kSupervisorFlagNames{kSupervisorFlagEntries};

// Sent with the supervisor's "set" request.
inline constexpr NameEntry kSupervisorStateEntries[] = {
    {"reject_submit", 0x1},
    {"stop_activity", 0x2},
    {"enforce_password", 0x4},
};
inline constexpr NameTable kSupervisorStateNames{kSupervisorStateEntries};

}  // namespace tq
