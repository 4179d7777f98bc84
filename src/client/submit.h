// The job submission call and the library state it reads.
//
// tq::submit() completes every job of the caller's list from the environment, the client
// configuration and the job type's descriptor, sends the list to the supervisor with tag 200
// and appends the jobs the supervisor accepted (with their identifiers) to `accepted`. The
// caller keeps ownership of both lists. On failure the process-wide last error says why.
#pragma once

#include "job/job.h"

namespace tq {

bool submit(JobList& jobs, JobList& accepted);

}  // namespace tq
