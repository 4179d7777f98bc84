// The replies a job program reads: bytes decoded as a message (as the transport decodes a reply)
// and read as the answer to a work request and to a request for job details. Whatever arrives,
// the readers only act on what a reply says it holds, and a work item taken from it can be
// keyed and sent back.
#include <cstdint>
#include <cstdlib>

#include "client/work_protocol.h"
#include "job/message.h"
#include "job/status.h"
#include "platform/log_sink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  static bool quiet = [] {
    tq::logSink().setFile("/dev/null", tq::LogSink::kPlainFile);
    return true;
  }();
  (void)quiet;
  tq::Message reply;
  reply.decode(data, static_cast<int32_t>(size));

  tq::Work work;
  tq::TqString reason;
  tq::WorkReply kind = tq::readWorkReply(reply, work, reason);
  const tq::Object* content = reply.content();
  switch (kind) {
    case tq::WorkReply::kMalformed:
      if (content) std::abort();
      break;
    case tq::WorkReply::kIncorrect:
      if (!content) std::abort();
      break;
    case tq::WorkReply::kRefused:
      if (!content || content->classId() != tq::ErrorText::kClassId) std::abort();
      break;
    case tq::WorkReply::kComplete:
    case tq::WorkReply::kPreempted:
    case tq::WorkReply::kWork: {
      if (!content || content->classId() != tq::Work::kClassId ||
          reply.content_type != tq::Work::kClassId)
        std::abort();
      if ((kind == tq::WorkReply::kComplete) != tq::isComplete(work.status)) std::abort();
      if ((kind == tq::WorkReply::kPreempted) != tq::isPending(work.status)) std::abort();
      // What requestWork does with a work item: key it, raise its sequence, send it back.
      tq::TqString key = tq::workKey(work);
      if (key.length() < work.name.length() + 2) std::abort();
      work.seq = tq::nextSequence(work.seq);
      tq::Message confirmation(602);
      confirmation.setContentRef(work);
      if (confirmation.encode() <= 0) std::abort();
      confirmation.releaseContent();
      break;
    }
  }

  tq::TqString problem;
  std::unique_ptr<tq::Assignment> assignment = tq::readAssignmentReply(reply, problem);
  if (assignment) {
    if (!problem.empty()) std::abort();
    if (reply.content()) std::abort();  // taken over from the reply
    assignment->encode();
  } else if (content && reply.content() != content) {
    std::abort();  // a content that is not an assignment stays where it was
  }
  return 0;
}
