#include "dev_supervisor.h"

#include <cstdio>
#include <string>

#include "config/defaults.h"
#include "config/logging.h"
#include "job/message_tags.h"
#include "platform/file_system.h"
#include "platform/private_file.h"
#include "platform/stop_signal.h"
#include "records/record_file.h"
#include "transport/byte_stream.h"
#include "transport/framing.h"

namespace tq {
namespace {

std::string joinPath(const TqString& directory, const std::string& name) {
  return directory.str() + "\\" + name;
}

}  // namespace

DevSupervisor::DevSupervisor(DevSupervisorOptions options) : options_(std::move(options)) {
  if (options_.data_directory.empty()) {
    options_.data_directory = defaultText(32);
    options_.data_directory.append("\\tq-devsupervisor");
  }
  setWaitTimeout(250);
}

bool DevSupervisor::open() {
  const std::string directory = options_.data_directory.str();
  platform::makeDirectory(directory);
  if (!platform::fileAttributes(directory).directory) {
    error_text_ = "cannot create the data directory '" + directory + "'";
    return false;
  }
  platform::PrivateFile counter =
      platform::readPrivateFile(joinPath(options_.data_directory, "next_id"), 16);
  if (counter.state == platform::PrivateFile::State::kTrusted) {
    int32_t stored = TqString(counter.content).toInt();
    if (stored > 0) next_id_ = stored;
  }
  if (!add(options_.address, options_.port, Comm::kTcp) ||
      !add(options_.address, Listener::port(0), Comm::kUdp) ||
      !add(options_.address, options_.worker_port, Comm::kTcp) ||
      !add(options_.address, options_.sub_port, Comm::kTcp)) {
    error_text_ = error().text().str();
    return false;
  }
  return true;
}

int32_t DevSupervisor::run() {
  platform::watchStopSignals();
  while (!platform::stopRequested() && !stop_ && (options_.count < 0 || served_ < options_.count)) {
    if (serve(1) < 0) {
      failed_ = true;
      error_text_ = error().text().str();
      break;
    }
  }
  return served_;
}

void DevSupervisor::handleMessage(int32_t tag, Message& message, Comm& comm) {
  ++served_;
  if (tag == kTagDiscover && comm.type() == Comm::kUdp) {
    Message found(kTagConfirmed);
    found.version = kServerVersion;
    auto domain = std::make_unique<Domain>();
    domain->name = message.kerv_domain;
    domain->region = message.kerv_region;
    domain->id = 1;
    found.setContent(std::move(domain));
    reply(found, comm);
    return;
  }
  using M = DevSupervisorOptions::Misbehaviour;
  switch (options_.misbehaviour) {
    case M::kBusy:
    case M::kBlank: {
      Message nothing(options_.misbehaviour == M::kBusy ? kTagBusy : kTagNoAnswer);
      nothing.version = kServerVersion;
      reply(nothing, comm);
      return;
    }
    case M::kRedirect: {
      Message elsewhere(kTagRedirect);
      elsewhere.version = kServerVersion;
      auto host = std::make_unique<HostName>();
      host->host = options_.redirect_host;
      host->port = options_.redirect_port;
      elsewhere.setContent(std::move(host));
      reply(elsewhere, comm);
      return;
    }
    case M::kHold:
      // Until the caller gives up and closes, or the hold ends.
      timedOutWaiting(comm.socket(), options_.hold_ms, 1);
      return;
    default:
      break;
  }
  const int32_t entry = lastEntry();
  if (entry == kWorkerEntry && tag == kTagGetJob) {
    assign(message, comm);
  } else if (entry == kWorkerEntry && tag == kTagReportJob) {
    subjobReport(message, comm);
  } else if (entry == kSubEntry && tag == kTagRequestWork) {
    handOutWork(message, comm);
  } else if (entry == kSubEntry && tag == kTagReportWork) {
    workReport(message, comm);
  } else if (entry != kWorkerEntry && entry != kSubEntry && tag == kTagSubmit) {
    submit(message, comm);
  } else if (entry != kWorkerEntry && entry != kSubEntry && tag == kTagCredentials) {
    setCredentials(message, comm);
  } else {
    const char* port = entry == kWorkerEntry ? " on the worker port"
                       : entry == kSubEntry  ? " on the sub port"
                                             : "";
    refuse(
        comm,
        TqString(("tq-devsupervisor: unknown request tag " + std::to_string(tag) + port).c_str()));
  }
}

void DevSupervisor::assignIds(Job& job, int32_t parent_id) {
  job.id = next_id_++;
  if (parent_id > 0) job.pid = parent_id;
  fillAgenda(job);
  for (int32_t i = 0; i < job.children.count(); ++i) assignIds(job.children[i], job.id);
}

bool DevSupervisor::storeJob(Job& job, const Message& envelope) {
  std::string base = joinPath(options_.data_directory, std::to_string(job.id));
  bool stored = saveRecordFile(job, (base + ".job").c_str(), kTextFormat) > 0;
  // Who sent it, as the envelope said: what a supervisor would check the submitter by.
  std::string from = "user=" + envelope.user.str() + "\ndomain=" + envelope.domain.str() +
                     "\nmac_address=" + envelope.mac_address.value.str() +
                     "\naddress=" + envelope.sender.toText().str() + "\n";
  std::string reason;
  stored = platform::writePrivateFile(base + ".from", from, reason) && stored;
  for (int32_t i = 0; i < job.children.count(); ++i)
    stored = storeJob(job.children[i], envelope) && stored;
  return stored;
}

bool DevSupervisor::saveCounter() {
  std::string reason;
  return platform::writePrivateFile(joinPath(options_.data_directory, "next_id"),
                                    std::to_string(next_id_), reason);
}

void DevSupervisor::submit(Message& message, Comm& comm) {
  Object* content = message.content();
  if (options_.misbehaviour == DevSupervisorOptions::Misbehaviour::kRefuse) {
    refuse(comm, options_.refuse_text);
    return;
  }
  if (!content || content->classId() != JobList::kClassId) {
    refuse(comm, "tq-devsupervisor: a submission must carry a job_list");
    return;
  }
  auto& jobs = static_cast<JobList&>(*content);
  if (jobs.empty()) {
    refuse(comm, "no jobs specifed to submit.");
    return;
  }
  auto accepted = std::make_unique<JobList>();
  for (int32_t i = 0; i < jobs.count(); ++i) {
    Job& job = jobs[i];
    assignIds(job, 0);
    if (job.user.empty()) job.user = message.user;
    if (job.domain.empty()) job.domain = message.domain;
    if (!storeJob(job, message)) {
      refuse(comm, TqString(("tq-devsupervisor: cannot store job " + std::to_string(job.id) +
                             " in " + options_.data_directory.str())
                                .c_str()));
      return;
    }
    accepted->append(job);
  }
  saveCounter();
  // The identifiers, or the first and last of a long submission.
  TqString ids;
  for (int32_t i = 0; i < jobs.count(); ++i) {
    if (jobs.count() > 8 && i > 0 && i < jobs.count() - 1) {
      if (i == 1) ids.append(" ...");
      continue;
    }
    if (!ids.empty()) ids.append(" ");
    ids.append(jobs[i].id);
  }
  {
    LogLock lock;
    timeStamp() << "accepted " << jobs.count() << (jobs.count() == 1 ? " job" : " jobs") << " from "
                << message.user << "@" << message.domain << " (" << message.mac_address.value
                << "): " << ids << "\n";
  }
  Message answered(kTagConfirmed);
  answered.version = kServerVersion;
  if (options_.misbehaviour == DevSupervisorOptions::Misbehaviour::kWrongClass) {
    auto names = std::make_unique<StringList>();
    names->append(ids);
    answered.setContent(std::move(names));
  } else {
    answered.setContent(std::move(accepted));
  }
  answer(answered, comm);
}

void DevSupervisor::refuse(Comm& comm, const TqString& text) {
  Message refusal(kTagRefused);
  refusal.version = kServerVersion;
  auto error = std::make_unique<ErrorText>();
  error->value = text;
  refusal.setContent(std::move(error));
  answer(refusal, comm);
}

void DevSupervisor::answer(Message& message, Comm& comm) {
  if (options_.misbehaviour != DevSupervisorOptions::Misbehaviour::kCut) {
    reply(message, comm);
    return;
  }
  // The whole frame, of which only the header and half the body leave.
  int32_t n = message.encode();
  MemoryStream frame({});
  Error error;
  writeTcpFrame(frame, message.buffer(), n, comm.timeout(), error);
  const std::vector<uint8_t>& bytes = frame.written();
  int32_t half = kTcpHeaderSize + static_cast<int32_t>(bytes.size() - kTcpHeaderSize) / 2;
  platform::sendSome(comm.socket(), bytes.data(), half);
}

}  // namespace tq
