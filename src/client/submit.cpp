#include "client/submit.h"

#include <map>
#include <memory>
#include <vector>

#include "client/job_type.h"
#include "client/refusal.h"
#include "config/client_config.h"
#include "config/config_record.h"
#include "config/env_record.h"
#include "config/logging.h"
#include "config/path_map.h"
#include "job/message.h"
#include "job/message_tags.h"
#include "job/names.h"
#include "records/basic_records.h"
#include "records/version.h"
#include "transport/client.h"
#include "transport/error.h"

namespace tq {
namespace {

struct LibraryState {
  TqString offline;
  int32_t local_counter = 1;
};

LibraryState& state() {
  static LibraryState s;
  return s;
}

// What completing the jobs of one call reads. It is read once per call: tq.conf, the parsed path
// map and each job type's descriptor stay the same for every job of the call (nothing is kept
// between calls).
class Preparation {
 public:
  // The job types are looked up along the job's path (the submission path when the submitter
  // set none), then along the default job-type path of `config`.
  Preparation(TqString search_path, const ClientConfig& config)
      : search_path_(std::move(search_path)),
        config_(config),
        type_path_tail_(JobType::searchPath(config)) {
    path_map_.loadFromText(config_.pathMap());
  }

  void prepare(Job& job) {
    for (int32_t i = 0; i < job.children.count(); ++i) prepare(job.children[i]);
    job.path_map.copyFrom(path_map_);
    if (job.path.empty()) job.path = search_path_;
    applyConfigurationDefaults(job);
    const JobType& type = typeOf(job.prototype, job.path);
    // A descriptor whose version check failed still gives its values; the check is only told.
    if (type.wasRead()) {
      if (!type.isValid() && firstTimeFor("job type " + type.problem().str()))
        logLine("WARNING: " + type.problem().str() + "; its defaults are used all the same.");
      applyDescriptorDefaults(job, type);
      if (!type.callbackLibrary().empty()) type.addCallbacks(job.callbacks);
    }
    // However the count was reached, a job runs on at least one processor.
    if (job.cpus < 1) job.setCpus(job.cpus);
    // The environment travels only with jobs that ask for it; the others send an empty one.
    if (job.flags & kJobExportEnvironment) {
      job.env.capture();
      job.env.setMountsFromText(config_.driveMap());
    } else {
      job.env = Env();
    }
  }

 private:
  void applyConfigurationDefaults(Job& job) const {
    if (job.account.empty()) job.account = config_.account();
    if (job.priority < 0 && !config_.priority().empty()) job.priority = config_.priority().toInt();
    if (job.cluster.empty()) job.cluster = config_.cluster();
    if (job.restrictions.empty()) job.restrictions = config_.restrictions();
    job.flags |= config_.jobFlags();
  }

  static void applyDescriptorDefaults(Job& job, const JobType& type) {
    auto text = [](TqString& field, const TqString& value) {
      if (field.empty()) field = value;
    };
    text(job.account, type.jobAccount());
    if (job.priority < 0 && !type.jobPriority().empty()) job.priority = type.jobPriority().toInt();
    text(job.cluster, type.jobCluster());
    text(job.requirements, type.jobRequirements());
    text(job.restrictions, type.jobRestrictions());
    text(job.reservations, type.jobReservations());
    text(job.kind, type.jobKind());
    text(job.label, type.jobLabel());
    text(job.hosts, type.jobHosts());
    text(job.groups, type.jobGroups());
    job.flags |= kJobFlagNames.textToBits(type.jobFlags());
    if (job.cpus < 1 && !type.jobCpus().empty()) job.setCpus(type.jobCpus().toInt());
    text(job.name, type.jobName());
  }

  const JobType& typeOf(const TqString& prototype, const TqString& path) {
    std::unique_ptr<JobType>& type = types_[prototype.str() + '\n' + path.str()];
    if (!type) {
      TqString along(path);
      along.append(';');
      along.append(type_path_tail_);
      type = std::make_unique<JobType>(prototype, along);
    }
    return *type;
  }

  TqString search_path_;
  const ClientConfig& config_;
  TqString type_path_tail_;
  PathMap path_map_;
  std::map<std::string, std::unique_ptr<JobType>> types_;
};

void fail(int32_t code) { lastError() = Error(code); }

// Moves every accepted job, front to back, to the end of `accepted` (in linear time).
void moveJobs(JobList& from, JobList& accepted) {
  std::vector<std::unique_ptr<Job>> taken;
  taken.reserve(static_cast<size_t>(from.count()));
  while (from.count() > 0) taken.push_back(from.take(from.count() - 1));
  for (auto it = taken.rbegin(); it != taken.rend(); ++it) accepted.append(std::move(*it));
}

bool readAnswer(Message& reply, JobList& accepted) {
  Object* content = reply.content();
  if (!content) {
    fail(kDataReturnedBlank);
    return false;
  }
  // A content that is not a job list cannot carry accepted jobs, even when it names its class
  // correctly.
  if (content->classId() != reply.content_type || content->classId() != JobList::kClassId) {
    fail(kUnexpectedContent);
    lastError().setValue("ID", TqString(static_cast<int>(reply.content_type)));
    lastError().setValue("ERROR", TqString("an answer holding a \"") + content->typeName() +
                                      "\" record where accepted jobs were expected");
    return false;
  }
  moveJobs(static_cast<JobList&>(*content), accepted);
  return true;
}

}  // namespace

TqString submitSearchPath() {
  TqString path = processVariable("TQPATH");
  ConfigRecord personal;
  TqString home = processVariable("HOME");
  home.append("/.tq.conf");
  if (personal.load(home)) {
    path.append(";");
    path.append(personal.get("template_path"));
  }
  return path;
}

void prepareJob(Job& job, const TqString& search_path) {
  ClientConfig config;
  Preparation(search_path, config).prepare(job);
}

bool submit(JobList& jobs, JobList& accepted) {
  Client client;
  applyOverrides(client);
  Message request(kTagSubmit);
  TqString search_path = submitSearchPath();
  TqString job_id = processVariable("TQJOBID");
  TqString group_id = processVariable("TQPGRPID");
  {
    Preparation preparation(search_path, client.config());
    for (int32_t i = 0; i < jobs.count(); ++i) {
      Job& job = jobs[i];
      if (!job_id.empty()) job.pid = job_id.toInt();
      if (!group_id.empty()) job.pgrp = group_id.toInt();
      preparation.prepare(job);
    }
  }
  if (!state().offline.empty()) {
    state().local_counter = 1;
    return true;
  }
  Message reply;
  {
    LentContent lent(request, jobs);
    if (!client.request(request, reply)) {
      lastError() = Error();
      lastError().copyFrom(client.error());
      return false;
    }
  }
  if (reply.tag != kTagRefused && reply.tag != kTagTryLater) return readAnswer(reply, accepted);
  lastError() = refusalError(reply);
  return false;
}

void setSupervisorHost(const TqString& host) { setSupervisorHostOverride(host); }
const TqString& supervisorHost() { return supervisorHostOverride(); }
void setTimeout(int32_t ms) { setTimeoutOverride(ms); }

int32_t effectiveTimeout() {
  if (timeoutOverride() > 0) return timeoutOverride();
  return ClientConfig().timeout();
}

void setOffline(const TqString& setting) { state().offline = setting; }
const TqString& offlineSetting() { return state().offline; }
int32_t localIdentifierCounter() { return state().local_counter; }
const char* libraryVersion() { return kVersionText; }

}  // namespace tq
