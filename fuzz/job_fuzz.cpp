// Decodes arbitrary input as a message holding a job list (binary: by read plans and field by
// field, which must agree) and as a job (text form). The first byte picks the form.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "job/job.h"
#include "job/message.h"
#include "platform/log_sink.h"
#include "platform/random.h"
#include "records/read_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] {
    tq::logSink().setFile("/dev/null", tq::LogSink::kPlainFile);
    return true;
  }();
  (void)quiet;
  if (size < 1 || size > (1u << 20)) return 0;
  const uint8_t* body = data + 1;
  int32_t n = static_cast<int32_t>(size - 1);
  if (data[0] & 1) {
    tq::Job job;
    if (job.decodeText(reinterpret_cast<const char*>(body), n) != tq::kTextDecoded) return 0;
    job.encodeText();
    std::string text = "<pack>" + std::string(job.encoded()) + "</pack>";
    tq::Job again;
    if (again.decodeText(text.data(), static_cast<int32_t>(text.size())) != tq::kTextDecoded)
      std::abort();
    again.encodeText();
    if (again.encoded() != job.encoded()) std::abort();
  } else {
    // Read by plans, and field by field: both must give the same message.
    tq::platform::seedRandom(1);
    tq::Message message;
    int result = message.decode(body, n);
    tq::platform::seedRandom(1);
    tq::setReadPlans(false);
    tq::Message plain;
    int plain_result = plain.decode(body, n);
    tq::setReadPlans(true);
    if (plain_result != result) std::abort();
    if (result != tq::kDecoded) return 0;
    message.encode();
    std::string once(message.encoded());
    plain.encode();
    if (std::string(plain.encoded()) != once) std::abort();
    tq::Message again;
    if (again.decode(message.buffer(), message.bufferLength()) != tq::kDecoded) std::abort();
    again.encode();
    if (std::string(again.encoded()) != once) std::abort();
  }
  return 0;
}
