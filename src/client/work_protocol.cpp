#include "client/work_protocol.h"

#include <cstdlib>
#include <utility>

#include "client/job_output.h"
#include "config/identity.h"
#include "job/status.h"
#include "platform/environment.h"
#include "platform/process_exit.h"
#include "platform/random.h"
#include "platform/sleep.h"
#include "records/record_file.h"
#include "transport/client.h"

namespace tq {
namespace {

constexpr int32_t kGetJobTag = 100;
constexpr int32_t kReportJobTag = 206;
constexpr int32_t kRequestWorkTag = 600;
constexpr int32_t kReportWorkTag = 602;

constexpr int32_t kConfirmedTag = 1;
constexpr int32_t kTryLaterTag = 4;
constexpr int32_t kShutdownTag = 203;

constexpr int32_t kAttempts = 1440;
constexpr int32_t kJobReportAttempts = 64;
constexpr int32_t kRetrySeconds = 120;

constexpr const char* kNoWorker =
    "ERROR: unable to contact worker... recommending immediate shutdown.";

struct WorkState {
  std::unique_ptr<Assignment> assignment;
  // Kept with the assignment outside its fields: the host this program runs on, which goes
  // into the sub-job it reports.
  TqString host;
  bool development = false;
  int32_t cursor = 0;
  IntHash sequences;
};

WorkState& state() {
  static WorkState s;
  return s;
}

void seconds(int32_t n) { platform::sleepMilliseconds(n * 1000); }

// rand() % range + 1 through the library's random source.
int32_t pauseUpTo(int32_t range) { return platform::randomNumber() % range + 1; }

void print(const JobLine& line) { line.print(); }

TqString workerHost(const Client& client) {
  const TqString& configured = client.config().workerAddress();
  return configured.empty() ? TqString("127.0.0.1") : configured;
}

TqString localHost() {
  TqString name = hostName();
  if (name.empty() || name.length() > 255) return TqString("127.0.0.1");
  return name;
}

void noAssignment() { printJobLine("ERROR: couldn't obtain assignment"); }

void storeSequence(const TqString& key, int32_t seq) { state().sequences.insert(key, seq); }

// Whether an attempt of a retry loop prints its warning.
bool warns(int32_t attempt) { return attempt % 5 == 0; }

// The client every operation that sends uses.
std::unique_ptr<Client> newClient() {
  auto client = std::make_unique<Client>();
  applyOverrides(*client);
  return client;
}

// Sends a work item back with tag 602 until the supervisor answers with a tag other than 4.
void confirmWork(Client& client, Work& work) {
  Message request(kReportWorkTag);
  request.setContentRef(work);
  Message reply;
  for (int32_t attempt = 0; attempt < kAttempts; ++attempt) {
    int32_t pause = pauseUpTo(20);
    bool ok = client.requestSub(request, reply);
    if (ok && reply.tag != kTryLaterTag) break;
    if (ok) {
      if (warns(attempt))
        print(JobLine() << "WARNING: work status resent (supervisor down?): " << attempt
                        << " tries.");
      seconds(pause + 10);
    } else {
      if (warns(attempt))
        print(JobLine() << "WARNING: work status resent: " << attempt << " tries.");
      if (!client.wasRejected()) seconds(pause + 10);
    }
  }
  request.releaseContent();
}

bool developmentRequest(Work& work) {
  WorkState& s = state();
  printJobLine("dev - requesting work.");
  WorkList& agenda = s.assignment->job.agenda;
  if (s.cursor < agenda.count()) {
    work = agenda[s.cursor];
    print(JobLine() << "got work: " << work.name);
    work.status.value = kStatusRunning;
    ++s.cursor;
  } else {
    printJobLine("dev - complete notification - job done.");
    work.status.value = kStatusComplete;
  }
  return true;
}

}  // namespace

std::unique_ptr<Assignment> readAssignmentReply(Message& reply, TqString& problem) {
  problem.clear();
  Object* content = reply.content();
  if (!content) return nullptr;
  if (content->classId() == ErrorText::kClassId && reply.content_type == ErrorText::kClassId) {
    problem = "ERROR: ";
    problem.append(static_cast<ErrorText*>(content)->value);
    return nullptr;
  }
  if (content->classId() != Assignment::kClassId || reply.content_type != Assignment::kClassId) {
    problem = "ERROR: worker returned incorrect data";
    return nullptr;
  }
  std::unique_ptr<Object> taken = reply.takeContent();
  if (!taken) {  // a lent content is copied
    return std::make_unique<Assignment>(*static_cast<Assignment*>(content));
  }
  return std::unique_ptr<Assignment>(static_cast<Assignment*>(taken.release()));
}

WorkReply readWorkReply(const Message& reply, Work& work, TqString& reason) {
  reason.clear();
  const Object* content = reply.content();
  if (!content) return WorkReply::kMalformed;
  if (content->classId() != reply.content_type) return WorkReply::kIncorrect;
  if (content->classId() == ErrorText::kClassId) {
    reason = static_cast<const ErrorText*>(content)->value;
    return WorkReply::kRefused;
  }
  if (content->classId() != Work::kClassId) return WorkReply::kIncorrect;
  work = *static_cast<const Work*>(content);
  if (isComplete(work.status)) return WorkReply::kComplete;
  if (isPending(work.status)) return WorkReply::kPreempted;
  return WorkReply::kWork;
}

TqString workKey(const Work& work) {
  TqString key;
  key.append(work.pid);
  key.append(':');
  key.append(work.name);
  return key;
}

int32_t storedSequence(const TqString& key) {
  const int32_t* seq = state().sequences.find(key);
  return seq ? *seq : 0;
}

int32_t nextSequence(int32_t seq) { return static_cast<int32_t>(static_cast<uint32_t>(seq) + 3u); }

void resetWorkProtocol() {
  WorkState& s = state();
  s.assignment.reset();
  s.host.clear();
  s.development = false;
  s.cursor = 0;
  s.sequences.clear();
}

bool isDevelopmentMode() { return state().development; }

bool initJob() {
  WorkState& s = state();
  int32_t job = std::atoi(platform::environmentVariable("TQJOBID").c_str());
  int32_t sub = std::atoi(platform::environmentVariable("TQSUBID").c_str());
  print(JobLine() << "getting job details for: " << job << "." << sub);
  std::unique_ptr<Client> client = newClient();
  TqString worker = workerHost(*client);
  Message request(kGetJobTag);
  request.setContent(std::make_unique<JobId>(job, sub));
  Message reply;
  bool ok = false;
  for (int32_t attempt = 0; attempt < kAttempts; ++attempt) {
    ok = client->requestWorker(worker, request, reply);
    if (ok && reply.tag != kTryLaterTag) break;
    if (ok) {
      if (warns(attempt))
        print(JobLine() << "WARNING: init api re-sent. "
                        << "(worker down?): " << attempt);
      seconds(kRetrySeconds);
    } else {
      if (warns(attempt)) print(JobLine() << "WARNING: job query request resent: " << attempt);
      if (!client->wasRejected()) seconds(kRetrySeconds);
    }
  }
  if (!ok) printJobLine(kNoWorker);
  TqString problem;
  s.assignment = ok ? readAssignmentReply(reply, problem) : nullptr;
  if (!problem.empty()) printJobLine(problem.view());
  s.host = s.assignment ? localHost() : TqString();
  s.development = false;
  return s.assignment != nullptr;
}

bool loadDevelopmentJob(const TqString& path) {
  WorkState& s = state();
  print(JobLine() << "loading development environment. using file: " << path);
  s.cursor = 0;
  auto assignment = std::make_unique<Assignment>();
  if (loadRecordFile<Job, JobList>(assignment->job, path.c_str(), kAutomaticFormat) <= 0) {
    print(JobLine() << "ERROR: unable to load a job from: " << path);
    s.assignment.reset();
    s.development = false;
    return false;
  }
  Job& job = assignment->job;
  job.id = 0;
  job.setStatus(kStatusPending);
  assignment->subjob.id = 0;
  assignment->subjob.pid = 0;
  assignment->subjob.status.value = kStatusPending;
  for (int32_t i = 0; i < job.agenda.count(); ++i) job.agenda[i].status.value = kStatusPending;
  job.todo = job.agenda.count();
  s.assignment = std::move(assignment);
  s.host = localHost();
  s.development = true;
  return true;
}

int32_t jobId() {
  if (!state().assignment) {
    noAssignment();
    return 0;
  }
  return state().assignment->job.id;
}

int32_t subjobId() {
  if (!state().assignment) {
    noAssignment();
    return 0;
  }
  return state().assignment->subjob.id;
}

const Subjob* assignedSubjob() {
  if (!state().assignment) {
    noAssignment();
    return nullptr;
  }
  return &state().assignment->subjob;
}

const Job* assignedJob() {
  if (!state().assignment) {
    noAssignment();
    return nullptr;
  }
  return &state().assignment->job;
}

bool requestWork(Work& work) {
  WorkState& s = state();
  if (s.development && s.assignment) return developmentRequest(work);
  if (!s.assignment) {
    // Asking for the work of job 0 could only be turned down, after a day of retries.
    noAssignment();
    work.status.value = kStatusComplete;
    return false;
  }
  const int32_t job = s.assignment->job.id;
  const int32_t sub = s.assignment->subjob.id;
  print(JobLine() << "requesting work for: " << job << "." << sub);
  std::unique_ptr<Client> client = newClient();
  Message request(kRequestWorkTag);
  request.setContent(std::make_unique<JobId>(job, sub));
  Message reply;
  bool ok = false;
  for (int32_t attempt = 0; attempt < kAttempts; ++attempt) {
    int32_t pause = pauseUpTo(120);
    ok = client->requestSub(request, reply);
    if (ok && reply.tag != kTryLaterTag) break;
    if (ok) {
      if (warns(attempt))
        print(JobLine() << "WARNING: work request resent (supervisor down?): " << attempt
                        << " tries.");
      seconds(pause + 60);
    } else {
      if (warns(attempt))
        print(JobLine() << "WARNING: work request resent: " << attempt << " tries.");
      if (!client->wasRejected()) seconds(pause + 60);
    }
  }
  if (!ok) {
    printJobLine(kNoWorker);
    work.status.value = kStatusComplete;
    return false;
  }
  Work received;
  TqString reason;
  switch (readWorkReply(reply, received, reason)) {
    case WorkReply::kMalformed:
      printJobLine("ERROR: work request malformed");
      work.status.value = kStatusComplete;
      return false;
    case WorkReply::kIncorrect:
      printJobLine("ERROR: worker returned incorrect data");
      work.status.value = kStatusComplete;
      return false;
    case WorkReply::kRefused:
      print(JobLine() << "ERROR: " << reason);
      work.status.value = kStatusComplete;
      return false;
    case WorkReply::kComplete:
      print(JobLine() << "complete notification - job done: " << received.pid);
      break;
    case WorkReply::kPreempted:
      print(JobLine() << "preempt order received - job should exit: " << received.pid);
      break;
    case WorkReply::kWork: {
      received.seq = nextSequence(received.seq);
      storeSequence(workKey(received), received.seq);
      confirmWork(*client, received);
      print(JobLine() << "got work: " << received.pid << ":" << received.name << " - "
                      << statusName(received.status.value));
      break;
    }
  }
  flushJobOutput();
  work = std::move(received);
  return true;
}

bool reportWork(Work& work) {
  WorkState& s = state();
  if (s.development) {
    print(JobLine() << "dev - reporting status on work: " << work.name << " - "
                    << statusName(work.status.value));
    if (!isComplete(work.status)) printJobLine("WARNING: work not set to complete.  Is this ok?");
    return true;
  }
  if (work.pid < 0) work.pid = jobId();
  if (work.sub_id < 0) work.sub_id = subjobId();
  TqString key = workKey(work);
  work.seq = nextSequence(storedSequence(key));
  storeSequence(key, work.seq);
  const char* status = statusName(work.status.value);
  print(JobLine() << "reporting status on work for: " << work.pid << "." << work.sub_id << " "
                  << work.name << " - " << status);
  work.host = localHost();
  std::unique_ptr<Client> client = newClient();
  Message request(kReportWorkTag);
  request.setContentRef(work);
  Message reply;
  bool reported = false;
  for (int32_t attempt = 0; attempt < kAttempts && !reported; ++attempt) {
    bool ok = client->requestSub(request, reply);
    if (ok && reply.tag != kTryLaterTag) {
      reported = true;
    } else if (ok) {
      if (warns(attempt))
        print(JobLine() << "WARNING: work report resent (supervisor down?): " << attempt
                        << " tries.");
      seconds(kRetrySeconds);
    } else {
      if (warns(attempt))
        print(JobLine() << "WARNING: work report resent: " << attempt << " tries.");
      if (!client->wasRejected()) seconds(kRetrySeconds);
    }
  }
  request.releaseContent();
  if (reported) {
    flushJobOutput();
    return true;
  }
  print(JobLine() << "ERROR unable to report on work: " << work.pid << "." << work.sub_id << " - "
                  << status);
  return false;
}

bool reportJob(const Subjob& subjob) {
  WorkState& s = state();
  if (s.development) {
    print(JobLine() << "dev - reporting status on job: " << statusName(subjob.status.value));
    return true;
  }
  if (!s.assignment) {
    printJobLine("unable to report job...  assignment not available.");
    return false;
  }
  Subjob report = subjob;
  report.pid = s.assignment->job.id;
  report.id = s.assignment->subjob.id;
  if (!s.host.empty()) report.host = s.host;
  std::unique_ptr<Client> client = newClient();
  TqString worker = workerHost(*client);
  Message request(kReportJobTag);
  request.setContentRef(report);
  Message reply;
  int32_t pause = pauseUpTo(5);
  for (int32_t attempt = 0; attempt < kJobReportAttempts; ++attempt) {
    if (client->requestWorker(worker, request, reply)) {
      if (reply.tag == kShutdownTag) {
        request.releaseContent();
        printJobLine("received order to shutdown.");
        platform::exitProcess(1);
        return false;
      }
      if (reply.tag == kTryLaterTag) {
        printJobLine("worker reports a general problem... will retry again.");
      } else if (reply.tag == kConfirmedTag) {
        request.releaseContent();
        printJobLine("received confirmation from worker.");
        flushJobOutput();
        return true;
      }
    }
    seconds(pause);
    if (pause < 600) pause *= 2;
  }
  request.releaseContent();
  printJobLine("the worker seems dead...  I'm exiting now. ");
  platform::exitProcess(1);
  return false;
}

}  // namespace tq
