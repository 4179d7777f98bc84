// The stand-in supervisor: a message server that accepts submissions for local work, demos and
// tests, plays the worker for the job programs that run them, and can be told to misbehave so
// that clients can be seen coping.
//
// It listens on one address (127.0.0.1 by default) on four ports: the supervisor port (TCP for
// requests, UDP on the same number for discovery), the worker port and the sub port.
//
// Supervisor port:
//   200  a submission (a job_list): each job, and each child, gets the next identifier (kept in
//        "<data>/next_id" across restarts); a job without an agenda gets the configured default
//        agenda; agenda items without a status become pending and `todo` counts them; every
//        accepted job is stored as the text job file "<data>/<id>.job" with the sender's
//        envelope (user, domain, hardware address, address) in "<data>/<id>.from"; one line is
//        logged and
//        the answer is tag 1 with the accepted jobs as a job_list.
//   1011 credentials (a string_list of cipher text, user, domain): the password is deciphered
//        with the private half of the built-in key and kept in memory only, never logged or
//        stored; tag 1, or tag 3 when the request does not decipher or names no user.
//   401  (UDP) discovery, answered with a "domain" record.
// Worker port:
//   100  job details (a job_id): tag 1 with an "assignment" of the stored job and its sub-job
//        (created, running, when the job has none of that id); the job becomes running.
//   206  a sub-job's report: stored in the job's sub-jobs; once no sub-job is running the job's
//        status follows its agenda (complete when every item is, failed when an item or a
//        sub-job failed, pending while items are left); tag 1 (confirmed).
// Sub port:
//   600  a work request (a job_id): tag 1 with the job's first pending agenda item, now
//        running; when none is pending, a work item with status complete (the job is done).
//   602  a work item's status (a confirmation or a report): stored in the job's agenda unless
//        its `seq` is not above the stored one (a stale report, logged and ignored); tag 1. An
//        item the job does not hold is added when a running sub-job of the job reports it (a
//        job program that cuts a job without an agenda into chunks of its own, as tq-aerender
//        does, reports each chunk as an item), and refused otherwise.
// Every change of a job is written back to "<data>/<id>.job" at once. A request on a port
// that does not serve its tag, or about a job or item that is not stored, is refused (tag 3)
// with an "error" record saying why.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "job/job.h"
#include "records/catalogue_access.h"
#include "transport/message_server.h"

namespace tq {

struct DevSupervisorOptions {
  enum class Misbehaviour {
    kNone,
    kRefuse,      // every submission refused with an "error" record of refuse_text
    kBusy,        // every request answered with tag 5 (too many connections)
    kBlank,       // every request answered with tag 0 (no answer)
    kRedirect,    // every request redirected (tag 7) to redirect_host:redirect_port
    kHold,        // requests get no answer; the connection is held until the caller gives up
    kCut,         // answers are cut short in the middle of their frame
    kWrongClass,  // submissions are answered with a string_list instead of a job_list
  };

  TqString data_directory;  // empty: <temporary directory>\tq-devsupervisor
  uint32_t address = 0x7F000001u;
  int32_t port = 0;    // 0: any free port (TCP first, then UDP on the same number)
  int32_t count = -1;  // requests to serve before stopping; -1: until stopped
  Misbehaviour misbehaviour = Misbehaviour::kNone;
  TqString refuse_text;
  TqString redirect_host;
  int32_t redirect_port = 0;
  int32_t hold_ms = 60000;  // longest hold of one connection
  int32_t worker_port = 0;  // 0: any free port
  int32_t sub_port = 0;     // 0: any free port
  // A number list ("1-10", "001-120x5"): the work items, named by the numbers, of every job
  // submitted without an agenda. Empty: such jobs keep an empty agenda.
  TqString agenda;
};

class DevSupervisor : public MessageServer {
 public:
  explicit DevSupervisor(DevSupervisorOptions options);

  // Creates the data directory, reads the identifier counter and opens the ports. False, with
  // the reason in errorText(), when any of that fails.
  bool open();
  const std::string& errorText() const { return error_text_; }
  int32_t port() const { return Listener::port(0); }
  int32_t workerPort() const { return Listener::port(kWorkerEntry); }
  int32_t subPort() const { return Listener::port(kSubEntry); }
  const TqString& dataDirectory() const { return options_.data_directory; }
  // The identifier the next accepted job gets.
  int32_t nextId() const { return next_id_; }

  // Serves until `count` requests were served or a stop was requested (Ctrl-C, SIGTERM, or
  // platform::requestStop()); the requests served. When waiting for requests fails, it stops
  // there with failed() true and the reason in errorText().
  int32_t run();
  bool failed() const { return failed_; }
  // Makes run() return after the request it is serving (from another thread).
  void stop() { stop_ = true; }

  // The credentials received for user and domain, or null. The password is a secure string.
  const Password* credentials(const TqString& user, const TqString& domain) const;

  void handleMessage(int32_t tag, Message& message, Comm& comm) override;

 private:
  // Listener entries: the supervisor port's TCP and UDP, then the worker and sub ports.
  static constexpr int32_t kWorkerEntry = 2;
  static constexpr int32_t kSubEntry = 3;

  void submit(Message& message, Comm& comm);
  void fillAgenda(Job& job) const;
  void setCredentials(Message& message, Comm& comm);
  void assign(Message& message, Comm& comm);
  void subjobReport(Message& message, Comm& comm);
  void handOutWork(Message& message, Comm& comm);
  void workReport(Message& message, Comm& comm);
  // Loads "<data>/<id>.job"; false (after refusing the request) when it is not there.
  bool loadJob(int32_t id, Job& job, Comm& comm);
  // Writes the one job file (not its children's); false after refusing the request.
  bool saveJob(Job& job, Comm& comm);
  void confirm(Comm& comm, std::unique_ptr<Object> content);
  void assignIds(Job& job, int32_t parent_id);
  bool storeJob(Job& job, const Message& envelope);
  bool saveCounter();
  void refuse(Comm& comm, const TqString& text);
  void answer(Message& message, Comm& comm);

  DevSupervisorOptions options_;
  int32_t next_id_ = 1;
  int32_t served_ = 0;
  std::atomic<bool> stop_{false};
  std::string error_text_;
  bool failed_ = false;
  PasswordList passwords_;
};

}  // namespace tq
