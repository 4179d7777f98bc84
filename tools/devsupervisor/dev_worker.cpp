// The stand-in supervisor as the worker of local job programs: job details and sub-job reports
// on the worker port, work items on the sub port, credentials on the supervisor port.
#include <ctime>
#include <string>

#include "config/defaults.h"
#include "config/logging.h"
#include "config/number_list.h"
#include "dev_credential_key.h"
#include "dev_supervisor.h"
#include "job/job_records.h"
#include "job/message_tags.h"
#include "job/status.h"

namespace tq {
namespace {

int32_t now() { return static_cast<int32_t>(std::time(nullptr)); }

std::string jobPath(const TqString& directory, int32_t id) {
  return directory.str() + "\\" + std::to_string(id) + ".job";
}

// The content as a record of class R, when it is one and says so.
template <class R>
R* contentAs(Message& message) {
  Object* content = message.content();
  if (!content || content->classId() != R::kClassId || message.content_type != R::kClassId)
    return nullptr;
  return static_cast<R*>(content);
}

Subjob* findSubjob(Job& job, int32_t id) {
  for (int32_t i = 0; i < job.subjobs.count(); ++i)
    if (job.subjobs[i].id == id) return &job.subjobs[i];
  return nullptr;
}

Work* findItem(Job& job, const TqString& name) {
  for (int32_t i = 0; i < job.agenda.count(); ++i)
    if (job.agenda[i].name == name) return &job.agenda[i];
  return nullptr;
}

int32_t itemsLeft(const Job& job) {
  int32_t left = 0;
  for (int32_t i = 0; i < job.agenda.count(); ++i)
    if (!isComplete(job.agenda[i].status)) ++left;
  return left;
}

// The job's status once none of its sub-jobs is running any more.
int32_t settledStatus(const Job& job) {
  bool failed = false, left = false;
  for (int32_t i = 0; i < job.agenda.count(); ++i) {
    failed = failed || isFailed(job.agenda[i].status);
    left = left || !isComplete(job.agenda[i].status);
  }
  for (int32_t i = 0; i < job.subjobs.count(); ++i)
    failed = failed || isFailed(job.subjobs[i].status);
  if (failed) return kStatusFailed;
  return left ? kStatusPending : kStatusComplete;
}

bool isRunningSubjob(Job& job, int32_t id) {
  Subjob* subjob = findSubjob(job, id);
  return subjob && isRunning(subjob->status);
}

bool anyRunning(const Job& job) {
  for (int32_t i = 0; i < job.subjobs.count(); ++i)
    if (isActive(job.subjobs[i].status) && !isPending(job.subjobs[i].status)) return true;
  return false;
}

}  // namespace

void DevSupervisor::fillAgenda(Job& job) const {
  if (job.agenda.empty() && !options_.agenda.empty()) {
    NumberList numbers(options_.agenda.view());
    for (int32_t n : numbers.numbers()) {
      Work item;
      item.name.appendZeroPadded(n, numbers.width());
      job.agenda.append(std::move(item));
    }
  }
  for (int32_t i = 0; i < job.agenda.count(); ++i)
    if (isNone(job.agenda[i].status)) job.agenda[i].status.value = kStatusPending;
  job.todo = itemsLeft(job);
}

const Password* DevSupervisor::credentials(const TqString& user, const TqString& domain) const {
  for (int32_t i = 0; i < passwords_.count(); ++i)
    if (passwords_[i].user == user && passwords_[i].domain == domain) return &passwords_[i];
  return nullptr;
}

bool DevSupervisor::loadJob(int32_t id, Job& job, Comm& comm) {
  if (id > 0 && job.loadText(jobPath(options_.data_directory, id).c_str()) > 0) return true;
  refuse(comm, TqString(("tq-devsupervisor: no job " + std::to_string(id)).c_str()));
  return false;
}

bool DevSupervisor::saveJob(Job& job, Comm& comm) {
  if (job.saveText(jobPath(options_.data_directory, job.id).c_str()) > 0) return true;
  refuse(comm, TqString(("tq-devsupervisor: cannot store job " + std::to_string(job.id) + " in " +
                         options_.data_directory.str())
                            .c_str()));
  return false;
}

void DevSupervisor::confirm(Comm& comm, std::unique_ptr<Object> content) {
  Message confirmed(kTagConfirmed);
  confirmed.version = kServerVersion;
  if (content) confirmed.setContent(std::move(content));
  answer(confirmed, comm);
}

void DevSupervisor::setCredentials(Message& message, Comm& comm) {
  StringList* strings = contentAs<StringList>(message);
  if (!strings || strings->count() != 3) {
    refuse(comm, "tq-devsupervisor: credentials come as a string_list of three strings");
    return;
  }
  Password entry;
  entry.user = (*strings)[1];
  entry.domain = (*strings)[2];
  if (entry.user.empty()) {
    refuse(comm, "tq-devsupervisor: credentials without a user name");
    return;
  }
  if (!dev::decipher((*strings)[0], entry.password)) {
    refuse(comm, "tq-devsupervisor: the password does not decipher with the built-in key");
    return;
  }
  entry.verified = 0;
  entry.valid = 1;
  entry.lastupdate.value = now();
  bool replaced = false;
  for (int32_t i = 0; i < passwords_.count() && !replaced; ++i) {
    if (passwords_[i].user == entry.user && passwords_[i].domain == entry.domain) {
      passwords_[i] = entry;
      replaced = true;
    }
  }
  if (!replaced) passwords_.append(entry);
  {
    LogLock lock;
    timeStamp() << "credentials set for " << entry.user << "@" << entry.domain << "\n";
  }
  confirm(comm, nullptr);
}

void DevSupervisor::assign(Message& message, Comm& comm) {
  JobId* asked = contentAs<JobId>(message);
  if (!asked) {
    refuse(comm, "tq-devsupervisor: job details are asked for with a job_id");
    return;
  }
  Job job;
  if (!loadJob(asked->id, job, comm)) return;
  Subjob* subjob = findSubjob(job, asked->sub_id);
  if (!subjob) {
    Subjob fresh;
    fresh.id = asked->sub_id;
    fresh.pid = job.id;
    job.subjobs.append(std::move(fresh));
    subjob = &job.subjobs[job.subjobs.count() - 1];
  }
  subjob->status.value = kStatusRunning;
  subjob->address = message.sender;
  subjob->mac_address = message.mac_address;
  subjob->time_start.value = now();
  subjob->last_update.value = now();
  if (!isRunning(job.status)) job.setStatus(kStatusRunning);
  if (job.time_start.value == 0) job.time_start.value = now();
  if (!saveJob(job, comm)) return;
  auto assignment = std::make_unique<Assignment>();
  assignment->subjob = *subjob;
  assignment->job = std::move(job);
  assignment->time_start.value = now();
  {
    LogLock lock;
    timeStamp() << "assigned job " << asked->id << "." << asked->sub_id << " to " << message.user
                << "@" << message.domain << "\n";
  }
  confirm(comm, std::move(assignment));
}

void DevSupervisor::subjobReport(Message& message, Comm& comm) {
  Subjob* report = contentAs<Subjob>(message);
  if (!report) {
    refuse(comm, "tq-devsupervisor: a job report carries a subjob");
    return;
  }
  Job job;
  if (!loadJob(report->pid, job, comm)) return;
  Subjob* stored = findSubjob(job, report->id);
  if (!stored) {
    job.subjobs.append(Subjob());
    stored = &job.subjobs[job.subjobs.count() - 1];
  }
  *stored = *report;
  stored->address = message.sender;
  stored->last_update.value = now();
  if (!isActive(stored->status)) stored->time_complete.value = now();
  if (anyRunning(job)) {
    job.setStatus(kStatusRunning);
  } else {
    job.setStatus(settledStatus(job));
    if (!isActive(job.status)) job.time_complete.value = now();
  }
  job.todo = itemsLeft(job);
  if (!saveJob(job, comm)) return;
  {
    LogLock lock;
    timeStamp() << "job " << job.id << "." << stored->id << " reports "
                << statusName(stored->status.value) << "; job " << job.id << " is "
                << statusName(job.status.value) << "\n";
  }
  confirm(comm, nullptr);
}

void DevSupervisor::handOutWork(Message& message, Comm& comm) {
  JobId* asked = contentAs<JobId>(message);
  if (!asked) {
    refuse(comm, "tq-devsupervisor: work is asked for with a job_id");
    return;
  }
  Job job;
  if (!loadJob(asked->id, job, comm)) return;
  Work* item = nullptr;
  for (int32_t i = 0; i < job.agenda.count() && !item; ++i)
    if (isPending(job.agenda[i].status) || isNone(job.agenda[i].status)) item = &job.agenda[i];
  auto work = std::make_unique<Work>();
  if (!item) {
    work->pid = job.id;
    work->sub_id = asked->sub_id;
    work->status.value = kStatusComplete;
    confirm(comm, std::move(work));
    return;
  }
  item->status.value = kStatusRunning;
  item->pid = job.id;
  item->sub_id = asked->sub_id;
  item->address = message.sender;
  item->mac_address = message.mac_address;
  item->time_start.value = now();
  item->last_update.value = now();
  if (!saveJob(job, comm)) return;
  *work = *item;
  {
    LogLock lock;
    timeStamp() << "job " << job.id << "." << asked->sub_id << " takes work " << item->name << "\n";
  }
  confirm(comm, std::move(work));
}

void DevSupervisor::workReport(Message& message, Comm& comm) {
  Work* report = contentAs<Work>(message);
  if (!report) {
    refuse(comm, "tq-devsupervisor: a work report carries a work item");
    return;
  }
  Job job;
  if (!loadJob(report->pid, job, comm)) return;
  Work* item = findItem(job, report->name);
  if (!item && isRunningSubjob(job, report->sub_id)) {
    // A job program that cuts its job into pieces of its own (tq-aerender's chunks of a job
    // without an agenda) reports each piece as an item.
    Work added;
    added.name = report->name;
    added.pid = job.id;
    job.agenda.append(std::move(added));
    item = &job.agenda[job.agenda.count() - 1];
  }
  if (!item) {
    refuse(comm, TqString(("tq-devsupervisor: job " + std::to_string(job.id) +
                           " has no work item '" + report->name.str() + "'")
                              .c_str()));
    return;
  }
  if (report->seq <= item->seq) {
    {
      LogLock lock;
      timeStamp() << "ignoring a stale report on work " << item->name << " of job " << job.id
                  << " (seq " << report->seq << ", stored " << item->seq << ")\n";
    }
    confirm(comm, nullptr);
    return;
  }
  item->status = report->status;
  item->seq = report->seq;
  item->host = report->host;
  item->result = report->result;
  item->percent = report->percent;
  item->sub_id = report->sub_id;
  item->address = message.sender;
  item->last_update.value = now();
  if (!isActive(item->status)) item->time_complete.value = now();
  job.todo = itemsLeft(job);
  if (!saveJob(job, comm)) return;
  {
    LogLock lock;
    timeStamp() << "job " << job.id << "." << report->sub_id << " work " << item->name << ": "
                << statusName(item->status.value) << " (seq " << item->seq << ")\n";
  }
  confirm(comm, nullptr);
}

}  // namespace tq
