// The message tags: what every request and reply of the farm protocol means, named once. A
// message's tag (job/message.h) is one of these; the client, the message server, the work
// protocol and the stand-in supervisor all use them by name.
#pragma once

#include <cstdint>

namespace tq {

enum MessageTag : int32_t {
  // Replies.
  kTagNoAnswer = 0,    // nothing to say: the exchange failed
  kTagConfirmed = 1,   // an answer, or the worker's confirmation
  kTagRefused = 3,     // a refusal; the content says why
  kTagTryLater = 4,    // try again later (a refusal of a submission too)
  kTagBusy = 5,        // too many connections
  kTagRedirect = 7,    // ask the host the content names instead
  kTagShutdown = 203,  // the worker orders a job program to end

  // Requests.
  kTagGetJob = 100,        // a job program asks the worker for its assignment ("job_id")
  kTagSubmit = 200,        // a "job_list" of new jobs
  kTagReportJob = 206,     // a job program reports its sub-job ("subjob")
  kTagDiscover = 401,      // a broadcast query for the supervisor of a domain ("domain")
  kTagRequestWork = 600,   // a job program asks for its next work item ("job_id")
  kTagReportWork = 602,    // a job program reports a work item ("work")
  kTagCredentials = 1011,  // the user's enciphered credentials
};

}  // namespace tq
