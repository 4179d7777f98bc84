#include "client/work_protocol.h"

#include <utility>

#include "client/job_output.h"
#include "client/refusal.h"
#include "config/identity.h"
#include "job/message_tags.h"
#include "job/status.h"
#include "platform/environment.h"
#include "platform/process_exit.h"
#include "platform/random.h"
#include "platform/sleep.h"
#include "records/record_file.h"
#include "transport/client.h"

namespace tq {
namespace {

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

// rand() % range + 1 through the library's random source: a pause of 1 to range seconds.
int32_t randomPause(int32_t range) { return platform::randomNumber() % range + 1; }

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

// How one of the long retry loops waits and warns. Before each attempt a random pause of 1 to
// random_range seconds is drawn (none when 0); after an attempt that did not get an answer the
// loop sleeps base_seconds plus that pause (after a failed exchange only when the client was not
// turned away), and every fifth attempt prints its warning with the attempt number.
struct Retry {
  const char* busy_warning;    // the answer was "try again later" (tag 4)
  const char* failed_warning;  // the exchange failed
  const char* suffix;          // after the attempt number
  int32_t base_seconds;
  int32_t random_range;
};

constexpr Retry kInitRetry = {"WARNING: init api re-sent. (worker down?): ",
                              "WARNING: job query request resent: ", "", kRetrySeconds, 0};
constexpr Retry kRequestRetry = {"WARNING: work request resent (supervisor down?): ",
                                 "WARNING: work request resent: ", " tries.", 60, 120};
constexpr Retry kConfirmRetry = {"WARNING: work status resent (supervisor down?): ",
                                 "WARNING: work status resent: ", " tries.", 10, 20};
constexpr Retry kReportRetry = {"WARNING: work report resent (supervisor down?): ",
                                "WARNING: work report resent: ", " tries.", kRetrySeconds, 0};

enum class Outcome {
  kAnswered,  // an answer that is not "try again later"
  kTryLater,  // every attempt, the last included, was told to try again later
  kFailed,    // the last exchange failed
};

// Sends the request through `exchange` up to kAttempts times, until an answer that is not "try
// again later" (the reply is in the exchange's message).
template <class Exchange>
Outcome untilAnswered(Client& client, const Retry& retry, Exchange exchange) {
  bool ok = false;
  for (int32_t attempt = 0; attempt < kAttempts; ++attempt) {
    int32_t pause = retry.random_range > 0 ? randomPause(retry.random_range) : 0;
    ok = exchange();
    if (ok && exchange.reply().tag != kTagTryLater) return Outcome::kAnswered;
    if (warns(attempt))
      print(JobLine() << (ok ? retry.busy_warning : retry.failed_warning) << attempt
                      << retry.suffix);
    if (ok || !client.wasRejected()) seconds(retry.base_seconds + pause);
  }
  return ok ? Outcome::kTryLater : Outcome::kFailed;
}

// One exchange of a retry loop: the request to the worker or to the supervisor's sub port.
class Attempt {
 public:
  enum Target { kWorker, kSupervisorSub };
  Attempt(Client& client, Target target, Message& request, Message& reply, TqString worker = {})
      : client_(client), target_(target), request_(request), reply_(reply), worker_(worker) {}
  bool operator()() {
    return target_ == kWorker ? client_.requestWorker(worker_, request_, reply_)
                              : client_.requestSub(request_, reply_);
  }
  const Message& reply() const { return reply_; }

 private:
  Client& client_;
  Target target_;
  Message& request_;
  Message& reply_;
  TqString worker_;
};

// Sends a work item back with tag 602 until the supervisor answers with a tag other than 4.
void confirmWork(Client& client, Work& work) {
  Message request(kTagReportWork);
  LentContent lent(request, work);
  Message reply;
  untilAnswered(client, kConfirmRetry, Attempt(client, Attempt::kSupervisorSub, request, reply));
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
  // The worker gives them; a value beyond 32 bits clamps, as every number the library reads.
  int32_t job = TqString(platform::environmentVariable("TQJOBID")).toInt();
  int32_t sub = TqString(platform::environmentVariable("TQSUBID")).toInt();
  print(JobLine() << "getting job details for: " << job << "." << sub);
  std::unique_ptr<Client> client = newClient();
  Message request(kTagGetJob);
  request.setContent(std::make_unique<JobId>(job, sub));
  Message reply;
  bool ok = untilAnswered(*client, kInitRetry,
                          Attempt(*client, Attempt::kWorker, request, reply,
                                  workerHost(*client))) != Outcome::kFailed;
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
  Message request(kTagRequestWork);
  request.setContent(std::make_unique<JobId>(job, sub));
  Message reply;
  bool ok =
      untilAnswered(*client, kRequestRetry,
                    Attempt(*client, Attempt::kSupervisorSub, request, reply)) != Outcome::kFailed;
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

NextWork nextWork(Work& work) {
  if (!requestWork(work)) return NextWork::kLost;
  if (isComplete(work.status)) return NextWork::kDone;
  if (isPending(work.status)) return NextWork::kPreempted;
  return NextWork::kWork;
}

bool reportWork(Work& work) {
  WorkState& s = state();
  if (s.development) {
    print(JobLine() << "dev - reporting status on work: " << work.name << " - "
                    << statusName(work.status.value));
    if (!isComplete(work.status)) printJobLine("WARNING: work not set to complete.  Is this ok?");
    return true;
  }
  if (!s.assignment) {
    // The report would be for job 0.0, turned down after a day of retries.
    noAssignment();
    return false;
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
  Message request(kTagReportWork);
  Message reply;
  bool reported;
  {
    LentContent lent(request, work);
    reported = untilAnswered(*client, kReportRetry,
                             Attempt(*client, Attempt::kSupervisorSub, request, reply)) ==
               Outcome::kAnswered;
  }
  if (reported && reply.tag == kTagRefused) {
    // Turned down, not taken: the caller must not go on as if the item were recorded.
    print(JobLine() << "ERROR: work report refused: " << work.pid << "." << work.sub_id << " "
                    << work.name << " - " << refusalError(reply).text());
    return false;
  }
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
  Message request(kTagReportJob);
  LentContent lent(request, report);
  Message reply;
  int32_t pause = randomPause(5);
  for (int32_t attempt = 0; attempt < kJobReportAttempts; ++attempt) {
    if (client->requestWorker(worker, request, reply)) {
      if (reply.tag == kTagShutdown) {
        printJobLine("received order to shutdown.");
        platform::exitProcess(1);
        return false;
      }
      if (reply.tag == kTagTryLater) {
        printJobLine("worker reports a general problem... will retry again.");
      } else if (reply.tag == kTagConfirmed) {
        printJobLine("received confirmation from worker.");
        flushJobOutput();
        return true;
      }
    }
    seconds(pause);
    if (pause < 600) pause *= 2;
  }
  printJobLine("the worker seems dead...  I'm exiting now. ");
  platform::exitProcess(1);
  return false;
}

}  // namespace tq
