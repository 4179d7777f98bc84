// The job submission call and the library state it reads.
//
// tq::submit() completes every job of the caller's list, sends the list to the supervisor with
// tag 200 and appends the jobs the supervisor accepted (with their identifiers) to `accepted`.
// The caller keeps ownership of both lists; the request only borrows `jobs`.
//
// Completing a job (children first, then the job itself):
//   - "TQJOBID" and "TQPGRPID", when set, become pid and pgrp of the top-level jobs, so that a
//     job submitted from inside a running farm job is its child and joins its group;
//   - the path map from "client_path_map", the search path as `path` when it is empty, and the
//     process environment with the drive map of "client_drive_map";
//   - defaults, each only where the job leaves the field unset (empty text, priority below 0,
//     cpus below 1): first tq.conf's ("client_account", "client_priority", "client_cluster",
//     "client_restrictions"), then those of the job type's job.conf ("job_account",
//     "job_priority", ...); "client_job_flags" (default "auto_mount") and "job_flags" are
//     always added;
//   - the callbacks of the type's "callback_library";
//   - the environment is sent only with the flag "export_environment".
// The search path is "TQPATH", then ";" and the "template_path" of "$HOME/.tq.conf".
//
// On failure the process-wide last error (transport/error.h) says why: the transport's error,
// 2052 (an answer without content), 2053 with ID (content of another class than a job_list),
// 100000 with ERROR (a refusal with the supervisor's text), a refusal's own "err" record, or
// 2051 (a refusal without content).
#pragma once

#include <cstdint>

#include "job/job.h"
#include "records/tq_string.h"

namespace tq {

bool submit(JobList& jobs, JobList& accepted);

// Completes one job (and its children) as submit() does, with the given search path.
void prepareJob(Job& job, const TqString& search_path);
// "TQPATH" and the per-user file's "template_path", as submit() builds it.
TqString submitSearchPath();

// The library state. The supervisor-host and time-out overrides are the transport's
// (transport/client.h); these read them.
void setSupervisorHost(const TqString& host);
const TqString& supervisorHost();
// Milliseconds; 0 or less: use "client_timeout".
void setTimeout(int32_t ms);
// The override when it is above 0, else the configured "client_timeout".
int32_t effectiveTimeout();
// When not empty, submit() sends nothing and answers true (jobs are still completed).
void setOffline(const TqString& setting);
const TqString& offlineSetting();
// Reset to 1 by every offline submission.
int32_t localIdentifierCounter();
// "5.2-2".
const char* libraryVersion();

}  // namespace tq
