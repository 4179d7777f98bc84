// The stand-in supervisor: a message server that accepts submissions for local work, demos and
// tests, and that can be told to misbehave so that clients can be seen coping.
//
// It listens on one address (127.0.0.1 by default) at one port, on TCP for requests and on UDP
// for discovery. A submission (tag 200 with a job_list) gives each job, and each child, the
// next identifier (kept in "<data>/next_id" across restarts), stores every accepted job as the
// text job file "<data>/<id>.job" with the sender's envelope (user, domain, hardware address,
// address) in "<data>/<id>.from", logs one line, and answers tag 1 with the accepted jobs as a
// job_list. Discovery (tag 401) is answered with a "domain" record. Any other request is refused
// (tag 3) with an "error" record saying why.
#pragma once

#include <cstdint>
#include <string>

#include "job/job.h"
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
};

class DevSupervisor : public MessageServer {
 public:
  explicit DevSupervisor(DevSupervisorOptions options);

  // Creates the data directory, reads the identifier counter and opens the ports. False, with
  // the reason in errorText(), when any of that fails.
  bool open();
  const std::string& errorText() const { return error_text_; }
  int32_t port() const { return Listener::port(0); }
  const TqString& dataDirectory() const { return options_.data_directory; }
  // The identifier the next accepted job gets.
  int32_t nextId() const { return next_id_; }

  // Serves until `count` requests were served or a stop was requested (Ctrl-C, SIGTERM, or
  // platform::requestStop()); the requests served.
  int32_t run();

  void handleMessage(int32_t tag, Message& message, Comm& comm) override;

 private:
  void submit(Message& message, Comm& comm);
  void assignIds(Job& job, int32_t parent_id);
  bool storeJob(Job& job, const Message& envelope);
  bool saveCounter();
  void refuse(Comm& comm, const TqString& text);
  void answer(Message& message, Comm& comm);

  DevSupervisorOptions options_;
  int32_t next_id_ = 1;
  int32_t served_ = 0;
  std::string error_text_;
};

}  // namespace tq
