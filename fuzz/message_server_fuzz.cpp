// The message server's receive-and-decode path: bytes arrive as a TCP frame (in chunks the first
// byte chooses) or, for odd first bytes, as a bare body; the handler is called with a complete
// envelope or the comm is ended, never a crash.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/environment.h"
#include "platform/log_sink.h"
#include "records/mac_text.h"
#include "transport/framing.h"
#include "transport/message_server.h"

namespace {

class CheckingServer : public tq::MessageServer {
 public:
  void handleMessage(int32_t tag, tq::Message& message, tq::Comm& comm) override {
    if (tag == 0 || tag != message.tag) std::abort();
    if (tq::normalizeMacAddressText(message.mac_address.value).empty()) std::abort();
    if (comm.peerVersion() != message.version) std::abort();
    tq::Message answer(1);
    reply(answer, comm);  // the comm has no socket: the reply fails quietly
  }
};

CheckingServer& server() {
  static CheckingServer* s = [] {
    // Never the machine's own tq.conf.
    tq::platform::setEnvironmentVariable("TQWINDIR", "/nonexistent-tq-fuzz");
    tq::logSink().setFile("/dev/null", tq::LogSink::kPlainFile);
    return new CheckingServer();
  }();
  return *s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  CheckingServer& s = server();
  tq::Comm comm;
  if (data[0] & 1) {
    s.dispatch(data + 1, static_cast<int32_t>(size - 1), comm);
    return 0;
  }
  tq::MemoryStream in(std::vector<uint8_t>(data + 1, data + size), 1 + data[0] / 2);
  tq::Error error;
  int32_t n = 0;
  std::unique_ptr<uint8_t[]> body = tq::readTcpFrame(in, 60000, error, n);
  if (body) s.dispatch(body.get(), n, comm);
  return 0;
}
