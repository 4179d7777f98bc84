// The loop of tq-work, a job program for the farm and for local development.
//
// It takes the assignment (initJob, or loadDevelopmentJob for a job file), then takes work items
// one at a time, runs the command with the item substituted through runCommand, reports each
// item complete or failed, and at the end reports its own sub-job: complete when every item it
// ran completed, failed when one failed or the supervisor could not be reached, pending when it
// was preempted.
//
// In the command, "%w" stands for the item's name, "%j" for the job id, "%s" for the sub-job id
// and "%%" for one "%"; any other "%" stays as it is (so "%PATH%" reaches the interpreter). An
// item's name goes into a command line only when it is made of letters, digits and the
// characters - _ . , : + = @ / \ alone: anything else could make the interpreter run more than
// the command asked for, so such an item is reported failed without running.
#pragma once

#include <cstdint>
#include <string>

#include "records/catalogue_work.h"
#include "records/tq_string.h"

namespace tq {

struct WorkLoopOptions {
  TqString command;
  TqString development_file;  // empty: take the assignment from the worker
};

struct WorkLoopResult {
  int32_t complete = 0;  // items that ran and completed
  int32_t failed = 0;    // items that failed, or could not run
  bool preempted = false;
  bool lost = false;  // no assignment, or the supervisor could not be reached
  // 0 when nothing failed and nothing was lost, else 1.
  int exitStatus() const { return failed > 0 || lost ? 1 : 0; }
};

WorkLoopResult runWorkLoop(const WorkLoopOptions& options);

// The command for one item; false, with the reason in `why`, for a name that may not go into a
// command line.
bool substituteWork(const TqString& command, const Work& work, int32_t job_id, int32_t subjob_id,
                    TqString& line, std::string& why);

}  // namespace tq
