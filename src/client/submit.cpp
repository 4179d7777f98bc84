#include "client/submit.h"

#include <map>
#include <memory>
#include <vector>

#include "client/job_type.h"
#include "config/client_config.h"
#include "config/config_record.h"
#include "config/env_record.h"
#include "config/path_map.h"
#include "job/message.h"
#include "job/names.h"
#include "records/basic_records.h"
#include "records/version.h"
#include "transport/client.h"
#include "transport/error.h"

namespace tq {
namespace {

constexpr int32_t kSubmitTag = 200;
constexpr int32_t kRefusedTag = 3;
constexpr int32_t kRefusedLaterTag = 4;

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
  explicit Preparation(TqString search_path) : search_path_(std::move(search_path)) {
    path_map_.loadFromText(config_.pathMap());
  }

  void prepare(Job& job) {
    for (int32_t i = 0; i < job.children.count(); ++i) prepare(job.children[i]);
    job.path_map.copyFrom(path_map_);
    if (job.path.empty()) job.path = search_path_;
    applyConfigurationDefaults(job);
    const JobType& type = typeOf(job.prototype);
    if (type.isValid()) {
      applyDescriptorDefaults(job, type);
      if (!type.callbackLibrary().empty()) type.addCallbacks(job.callbacks);
    }
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

  const JobType& typeOf(const TqString& prototype) {
    std::unique_ptr<JobType>& type = types_[prototype.str()];
    if (!type) type = std::make_unique<JobType>(prototype);
    return *type;
  }

  TqString search_path_;
  ClientConfig config_;
  PathMap path_map_;
  std::map<std::string, std::unique_ptr<JobType>> types_;
};

// Lends the caller's list to the request for one scope: whatever path leaves the scope, the
// request gives it back and never deletes it.
class LentContent {
 public:
  LentContent(Message& request, Object& content) : request_(request) {
    request_.setContentRef(content);
  }
  ~LentContent() { request_.releaseContent(); }
  LentContent(const LentContent&) = delete;
  LentContent& operator=(const LentContent&) = delete;

 private:
  Message& request_;
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
    fail(2052);
    return false;
  }
  // A content that is not a job list cannot carry accepted jobs, even when it names its class
  // correctly.
  if (content->classId() != reply.content_type || content->classId() != JobList::kClassId) {
    fail(2053);
    lastError().setValue("ID", TqString(static_cast<int>(reply.content_type)));
    return false;
  }
  moveJobs(static_cast<JobList&>(*content), accepted);
  return true;
}

void readRefusal(Message& reply) {
  Object* content = reply.content();
  if (content && reply.content_type == ErrorText::kClassId &&
      content->classId() == ErrorText::kClassId) {
    fail(100000);
    lastError().setValue("ERROR", static_cast<ErrorText*>(content)->value);
  } else if (content && content->classId() == ErrorRecord::kClassId) {
    lastError() = Error();
    lastError().copyFrom(static_cast<ErrorRecord&>(*content));
  } else if (content) {
    fail(2053);
    lastError().setValue("ID", TqString(static_cast<int>(reply.content_type)));
  } else {
    fail(2051);
  }
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

void prepareJob(Job& job, const TqString& search_path) { Preparation(search_path).prepare(job); }

bool submit(JobList& jobs, JobList& accepted) {
  Client client;
  applyOverrides(client);
  Message request(kSubmitTag);
  TqString search_path = submitSearchPath();
  TqString job_id = processVariable("TQJOBID");
  TqString group_id = processVariable("TQPGRPID");
  {
    Preparation preparation(search_path);
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
  if (reply.tag != kRefusedTag && reply.tag != kRefusedLaterTag) return readAnswer(reply, accepted);
  readRefusal(reply);
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
