#include "support/scripted_supervisor.h"

#include <zlib.h>

#include "support/loopback.h"

namespace tq::test {
namespace {

bool readExactly(platform::SocketHandle socket, uint8_t* out, size_t n) {
  size_t got = 0;
  while (got < n) {
    if (platform::waitSocket(socket, 3000, platform::WaitFor::kRead) != 1) return false;
    int32_t r = platform::receiveSome(socket, out + got, static_cast<int32_t>(n - got));
    if (r <= 0) return false;
    got += static_cast<size_t>(r);
  }
  return true;
}

int32_t int32At(const uint8_t* p) {
  return static_cast<int32_t>((uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) |
                              (uint32_t{p[2]} << 8) | p[3]);
}

}  // namespace

Bytes frameOf(const Bytes& body) {
  uLongf n = compressBound(static_cast<uLong>(body.size()));
  Bytes z(n);
  compress(z.data(), &n, body.data(), static_cast<uLong>(body.size()));
  z.resize(n);
  Bytes frame{2};
  appendInt32(frame, static_cast<int32_t>(z.size()));
  appendInt32(frame, static_cast<int32_t>(body.size()));
  frame.insert(frame.end(), z.begin(), z.end());
  return frame;
}

Bytes frameOf(Message& message) {
  message.encode();
  return frameOf(Bytes(message.buffer(), message.buffer() + message.bufferLength()));
}

ScriptedSupervisor::ScriptedSupervisor() {
  socket_ = platform::openStreamSocket();
  platform::Endpoint local{kLoopback, 0};
  if (platform::bindSocket(socket_, local) && platform::listenSocket(socket_, 16) &&
      platform::localEndpoint(socket_, local))
    port_ = local.port;
}

ScriptedSupervisor::~ScriptedSupervisor() {
  join();
  if (socket_ != platform::kNoSocket) platform::closeSocket(socket_);
}

bool ScriptedSupervisor::readFrame(platform::SocketHandle socket, Bytes& body) {
  uint8_t header[9];
  if (!readExactly(socket, header, 9) || header[0] != 2) return false;
  int32_t c = int32At(header + 1), l = int32At(header + 5);
  if (c <= 0 || l <= 0 || c > (64 << 20) || l > (64 << 20)) return false;
  Bytes z(static_cast<size_t>(c));
  if (!readExactly(socket, z.data(), z.size())) return false;
  body.resize(static_cast<size_t>(l));
  uLongf n = static_cast<uLongf>(l);
  return uncompress(body.data(), &n, z.data(), static_cast<uLong>(c)) == Z_OK &&
         n == static_cast<uLongf>(l);
}

void ScriptedSupervisor::serve(std::vector<Answer> answers, int32_t wait_ms) {
  join();
  thread_ = std::thread([this, answers = std::move(answers), wait_ms] {
    for (const Answer& answer : answers) {
      if (platform::waitSocket(socket_, wait_ms, platform::WaitFor::kRead) != 1) return;
      platform::Endpoint peer;
      platform::SocketHandle s = platform::acceptSocket(socket_, peer);
      if (s == platform::kNoSocket) return;
      Bytes body;
      Message request;
      if (readFrame(s, body)) request.decode(body.data(), static_cast<int32_t>(body.size()));
      Bytes out = answer(request);
      request.releaseContent();
      {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(request);
        ++connections_;
      }
      if (!out.empty()) {
        RawPeer raw(RawPeer::Adopt{}, s);
        raw.send(out);
        // Let the caller read before the connection goes.
        raw.receiveAll(3000);
      } else {
        platform::closeSocket(s);
      }
    }
  });
}

int32_t ScriptedSupervisor::join() {
  if (thread_.joinable()) thread_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  return connections_;
}

std::vector<Message> ScriptedSupervisor::requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

ScriptedSupervisor::Answer ScriptedSupervisor::reply(int32_t tag,
                                                     std::function<void(Message&)> fill) {
  return [tag, fill](Message&) {
    Message answer(tag);
    if (fill) fill(answer);
    return frameOf(answer);
  };
}

ScriptedSupervisor::Answer ScriptedSupervisor::silence() {
  return [](Message&) { return Bytes(); };
}

}  // namespace tq::test
