#include "support/loopback.h"

namespace tq::test {

LoopbackListener::LoopbackListener(int32_t type, int32_t wait_ms) {
  listener_.setWaitTimeout(wait_ms);
  listener_.add(kLoopback, 0, type);
}

RawPeer::RawPeer(int32_t port) {
  socket_ = platform::openStreamSocket();
  if (socket_ == platform::kNoSocket) return;
  platform::Endpoint to{kLoopback, static_cast<uint16_t>(port)};
  if (!platform::connectSocket(socket_, to, 2000)) close();
}

RawPeer::~RawPeer() { close(); }

void RawPeer::close() {
  if (socket_ != platform::kNoSocket) platform::closeSocket(socket_);
  socket_ = platform::kNoSocket;
}

bool RawPeer::send(const std::vector<uint8_t>& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    int32_t n =
        platform::sendSome(socket_, bytes.data() + sent, static_cast<int32_t>(bytes.size() - sent));
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

bool RawPeer::send(const std::string& bytes) {
  return send(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> RawPeer::receiveAll(int32_t ms) {
  std::vector<uint8_t> out;
  uint8_t buffer[4096];
  while (platform::waitSocket(socket_, ms, platform::WaitFor::kRead) == 1) {
    int32_t n = platform::receiveSome(socket_, buffer, sizeof(buffer));
    if (n <= 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return out;
}

RawServer::RawServer() {
  socket_ = platform::openStreamSocket();
  platform::Endpoint local{kLoopback, 0};
  if (!platform::bindSocket(socket_, local) || !platform::listenSocket(socket_, 16) ||
      !platform::localEndpoint(socket_, local))
    return;
  port_ = local.port;
}

RawServer::~RawServer() {
  if (socket_ != platform::kNoSocket) platform::closeSocket(socket_);
}

std::unique_ptr<RawPeer> RawServer::accept(int32_t ms) {
  if (platform::waitSocket(socket_, ms, platform::WaitFor::kRead) != 1) return nullptr;
  platform::Endpoint peer;
  platform::SocketHandle s = platform::acceptSocket(socket_, peer);
  if (s == platform::kNoSocket) return nullptr;
  return std::make_unique<RawPeer>(RawPeer::Adopt{}, s);
}

RefusingPort::RefusingPort(int32_t port) {
  socket_ = platform::openStreamSocket();
  platform::Endpoint local{kLoopback, static_cast<uint16_t>(port)};
  if (socket_ != platform::kNoSocket && platform::bindSocket(socket_, local) &&
      platform::localEndpoint(socket_, local))
    port_ = local.port;
}

RefusingPort::~RefusingPort() {
  if (socket_ != platform::kNoSocket) platform::closeSocket(socket_);
}

void appendInt32(std::vector<uint8_t>& out, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

std::vector<uint8_t> frameHeader(uint8_t version, int32_t compressed, int32_t length) {
  std::vector<uint8_t> out{version};
  appendInt32(out, compressed);
  appendInt32(out, length);
  return out;
}

}  // namespace tq::test
