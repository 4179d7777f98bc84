// The job-side work protocol: how a job program running on a worker learns its assignment,
// takes the work items of its job one at a time, reports each item and its own sub-job, and
// runs command lines.
//
// Every operation is synchronous and prints its progress lines to standard output and standard
// error (client/job_output.h). The network operations retry for a long time before they give
// up: 1440 attempts for the assignment (tag 100 to the worker), for a work request (tag 600 on
// the supervisor's sub port) and for a work report (tag 602), 64 for the sub-job's report
// (tag 206 to the worker). Every pause goes through the library's sleep and every random pause
// through its random source; reportJob() ends the process through platform::exitProcess().
//
// The worker is the configured "worker_address" ("127.0.0.1" when that is empty) on the
// configured worker port; the supervisor is found as every client operation finds it, with the
// process-wide supervisor-host and time-out overrides applied.
//
// Development mode (loadDevelopmentJob) runs a job program without a farm: the assignment is
// read from a job file, work items come from its agenda in order, and nothing is sent.
//
// Process-wide and unlocked: the assignment, the development flag and cursor, and the work
// sequence table (the last sequence number sent for each work item, by "<pid>:<name>").
#pragma once

#include <cstdint>
#include <memory>

#include "job/job_records.h"
#include "job/message.h"

namespace tq {

// Fetches the assignment from the worker for "TQJOBID"."TQSUBID". True when the worker's
// answer carried an assignment, which then replaces the process-wide one; otherwise there is
// none afterwards.
bool initJob();
// Enters development mode with the job file at `path` (binary or text): the job and its sub-job
// get id 0 and status pending, every agenda item is pending and `todo` is the agenda's length.
// False, with an error line and no assignment, when the file does not hold a job.
bool loadDevelopmentJob(const TqString& path);
bool isDevelopmentMode();

// The assignment. Without one each prints "ERROR: couldn't obtain assignment" and answers 0 or
// null.
int32_t jobId();
int32_t subjobId();
const Subjob* assignedSubjob();
const Job* assignedJob();

// Takes the next work item into `work`. True with `work` holding the item (its status running
// or whatever the supervisor gave), or the end of the work: status complete (no more work) or
// pending (preemption: the program should exit). False, with status complete, when the
// supervisor could not be reached or answered with something other than a work item.
bool requestWork(Work& work);
// One turn of a job program's loop: requestWork(), told apart. kWork with the item to do in
// `work`; otherwise why the loop ends: the job is done, this instance is preempted, or the
// supervisor could not be reached (or answered with no work item).
enum class NextWork { kWork, kDone, kPreempted, kLost };
NextWork nextWork(Work& work);

// Reports a work item's status. A `pid` or `sub_id` below 0 takes the assignment's; `seq` and
// `host` are set as sent. False when every attempt failed, when the supervisor refused the
// report (tag 3; the reason is printed), and at once, sending nothing, without an assignment.
bool reportWork(Work& work);
// Reports this instance's status to the worker. True on the worker's confirmation. Ends the
// process with status 1 when the worker orders a shutdown (tag 203) or after 64 attempts
// without confirmation; false without an assignment (and when an installed exit returns).
bool reportJob(const Subjob& subjob);
// Runs a command line through the system's interpreter (platform/process.h) with every line
// feed of `text` removed: 16 (complete) when it exits with 0, else 32 (failed).
int32_t runCommand(const TqString& text);

// How a reply to a work request reads (the checks requestWork makes before it acts on it).
enum class WorkReply {
  kMalformed,  // no content
  kIncorrect,  // a content whose class is not its content type, or not a work item
  kRefused,    // an "error" record: the supervisor's reason is in `reason`
  kComplete,   // a work item with status complete: the job is done
  kPreempted,  // a work item with status pending: the program should exit
  kWork,       // a work item to do
};
// Copies the reply's work item, when it carries one, into `work`.
WorkReply readWorkReply(const Message& reply, Work& work, TqString& reason);
// The assignment a reply to tag 100 carries; null, with the line to print in `problem` (empty
// when there is no content at all), otherwise.
std::unique_ptr<Assignment> readAssignmentReply(Message& reply, TqString& problem);
// The key of the work sequence table: pid in decimal, ':', name.
TqString workKey(const Work& work);
// The last sequence number sent for a work key (0 when none).
int32_t storedSequence(const TqString& key);
// A sequence number raised by 3, wrapping around in 32 bits as the wire's integers do (a peer
// may send any value).
int32_t nextSequence(int32_t seq);

// Forgets the assignment, development mode, cursor and sequence table (for tests, and for a
// program that runs one job after another).
void resetWorkProtocol();

}  // namespace tq
