// A supervisor peer written in the tests themselves, so that the client is not tested only
// against code it shares: it reads request frames and writes answer frames with zlib directly,
// byte by byte, on a thread of its own. Everything is on 127.0.0.1.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "job/message.h"
#include "platform/socket.h"

namespace tq::test {

using Bytes = std::vector<uint8_t>;

// The frame a real sender would write: version 2, C, L, the zlib stream of the body.
Bytes frameOf(const Bytes& body);
Bytes frameOf(Message& message);

class ScriptedSupervisor {
 public:
  // What to do with one connection: given the request's decoded envelope, the bytes to send
  // back (empty: close without answering).
  using Answer = std::function<Bytes(Message& request)>;

  ScriptedSupervisor();
  ~ScriptedSupervisor();
  int32_t port() const { return port_; }

  // Serves one connection per answer, in order, on a thread; each waits at most `wait_ms` for
  // its caller.
  void serve(std::vector<Answer> answers, int32_t wait_ms = 3000);
  // Waits for the thread; the number of connections that came.
  int32_t join();
  // The decoded requests, in arrival order (their content is not kept).
  std::vector<Message> requests();

  // Answers that build a reply message with a tag (and an optional content).
  static Answer reply(int32_t tag, std::function<void(Message&)> fill = nullptr);
  static Answer silence();

 private:
  bool readFrame(platform::SocketHandle socket, Bytes& body);

  platform::SocketHandle socket_ = platform::kNoSocket;
  int32_t port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Message> requests_;
  int32_t connections_ = 0;
};

}  // namespace tq::test
