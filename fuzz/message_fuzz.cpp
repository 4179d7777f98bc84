// Decodes arbitrary bytes as a message with any registered content.
#include <cstdint>
#include <cstdlib>

#include "job/message.h"
#include "platform/log_sink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  static bool quiet = [] {
    tq::logSink().setFile("/dev/null", tq::LogSink::kPlainFile);
    return true;
  }();
  (void)quiet;
  tq::Message message;
  if (message.decode(data, static_cast<int32_t>(size)) != tq::kDecoded) return 0;
  message.encode();
  tq::Message again;
  if (again.decode(message.buffer(), message.bufferLength()) != tq::kDecoded) std::abort();
  if ((again.content() == nullptr) != (message.content() == nullptr)) std::abort();
  return 0;
}
