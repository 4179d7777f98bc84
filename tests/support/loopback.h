// Loopback helpers for transport tests: everything binds and connects to 127.0.0.1 only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/socket.h"
#include "transport/comm.h"
#include "transport/listener.h"

namespace tq::test {

inline constexpr uint32_t kLoopback = 0x7F000001u;

// A listener with one entry of `type` on 127.0.0.1 and a free port; waits are short.
class LoopbackListener {
 public:
  explicit LoopbackListener(int32_t type = Comm::kTcp, int32_t wait_ms = 50);
  Listener& listener() { return listener_; }
  int32_t port() const { return listener_.port(0); }
  // The next comm (a connection or a datagram), or null after the wait time-out.
  std::unique_ptr<Comm> accept() { return listener_.accept(-1); }

 private:
  Listener listener_;
};

// A raw peer: a plain socket connected to 127.0.0.1:port, for writing hand-made bytes.
class RawPeer {
 public:
  explicit RawPeer(int32_t port);
  // Wraps an accepted socket.
  struct Adopt {};
  RawPeer(Adopt, platform::SocketHandle socket) : socket_(socket) {}
  ~RawPeer();
  RawPeer(const RawPeer&) = delete;
  RawPeer& operator=(const RawPeer&) = delete;

  bool connected() const { return socket_ != platform::kNoSocket; }
  bool send(const std::vector<uint8_t>& bytes);
  bool send(const std::string& bytes);
  // Everything that arrives until the peer closes or `ms` pass without a byte.
  std::vector<uint8_t> receiveAll(int32_t ms = 200);
  void close();
  platform::SocketHandle socket() const { return socket_; }

 private:
  platform::SocketHandle socket_ = platform::kNoSocket;
};

// A plain listening socket on 127.0.0.1 (any free port) that a comm can connect to, and the
// raw side of the connection it accepts.
class RawServer {
 public:
  RawServer();
  ~RawServer();
  int32_t port() const { return port_; }
  // The next connection, or null after `ms`.
  std::unique_ptr<RawPeer> accept(int32_t ms = 1000);

 private:
  platform::SocketHandle socket_ = platform::kNoSocket;
  int32_t port_ = 0;
};

// A TCP port on 127.0.0.1 that refuses every connection, for as long as this object lives: a
// stream socket bound to it and never listening. While it is bound, no other test can be given
// the same port, so "refused" stays refused. With a UDP listener's port it takes the same number
// (a UDP listener and a refusing TCP port, for tests of discovery next to a dead supervisor).
class RefusingPort {
 public:
  RefusingPort() : RefusingPort(0) {}
  explicit RefusingPort(int32_t port);
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  bool bound() const { return port_ != 0; }
  int32_t port() const { return port_; }

 private:
  platform::SocketHandle socket_ = platform::kNoSocket;
  int32_t port_ = 0;
};

// A TCP frame's bytes: version byte, C, L, then the given body bytes as they are.
std::vector<uint8_t> frameHeader(uint8_t version, int32_t compressed, int32_t length);
void appendInt32(std::vector<uint8_t>& out, int32_t value);

}  // namespace tq::test
