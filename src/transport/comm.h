// tq::Comm: one socket endpoint with a comm type, a peer, a time-out and an error record.
//
// Comm types: 1 "tcp" (framed, compressed messages), 2 "udp" (framed datagrams), 4 "raw_tcp"
// (the caller's bytes unchanged), 5 "ssl_tcp" and 7 "ssl_raw_tcp" (connect like TCP; no SSL
// layer exists, so they send and receive nothing), 6 "multicast_udp" (listener entries only; a
// comm never carries it). How each type frames its bytes is in framing.h.
//
// A client TCP comm is born connected or failed: Comm(host, port, type) connects at once, so it
// is active on return exactly when the connection was made. The connect waits at most the
// comm's time-out (30000 ms at construction). A client UDP comm gets its socket on its first
// send or receive and keeps it, with the peer address it resolved, until closed. Every read and
// write waits first for at most the comm's time-out.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/socket.h"
#include "records/basic_records.h"
#include "records/tq_string.h"
#include "transport/error.h"

namespace tq {

class Comm {
 public:
  enum Type : int32_t {
    kTcp = 1,
    kUdp = 2,
    kRawTcp = 4,
    kSslTcp = 5,
    kMulticastUdp = 6,
    kSslRawTcp = 7,
  };
  static constexpr int32_t kDefaultTimeout = 30000;

  // Type 1, not active, no socket.
  Comm();
  // An accepted connection or a listener's datagram socket: active; owns the socket for the TCP
  // types (1, 4, 5, 7) but not for the UDP ones.
  Comm(platform::SocketHandle socket, int32_t type);
  // The client side; the TCP types connect at once, waiting at most `timeout` milliseconds.
  Comm(const TqString& host, int32_t port, int32_t type, int32_t timeout = kDefaultTimeout);
  Comm(const Comm&) = delete;
  Comm& operator=(const Comm&) = delete;
  virtual ~Comm();

  virtual int32_t type() const { return type_; }

  // Connects a TCP comm to its host and port: false with code 32 (no host, or one that neither
  // resolves nor is a dotted quad), 38 (no socket) or 35 (refused, unreachable or timed out).
  bool connect();
  // Sends one message body (framing.h): the bytes sent, 0 or less on failure.
  int32_t send(const uint8_t* bytes, int32_t n);
  // Receives one message body: the bytes, owned by the caller, with their count in n; null on
  // failure, with the reason in error().
  std::unique_ptr<uint8_t[]> receive(int32_t& n);
  // Closes an owned socket; the comm becomes inactive. Always true.
  bool close();

  void setTimeout(int32_t ms) { timeout_ = ms; }
  int32_t timeout() const { return timeout_; }
  // Replaces the host and forgets the resolved address, so that the next UDP send resolves
  // again (an empty host broadcasts).
  void setHost(const TqString& name);
  const TqString& host() const { return host_; }
  Address peerAddress() const { return address_; }
  void setPeerAddress(const Address& address) { address_ = address; }
  void setPort(int32_t port) { port_ = port; }
  int32_t port() const { return port_; }
  const char* typeName() const { return typeName(type()); }
  Error& error() { return error_; }
  const Error& error() const { return error_; }
  bool isActive() const { return active_; }
  platform::SocketHandle socket() const { return socket_; }
  bool ownsSocket() const { return owns_socket_; }
  int32_t bytesTransferred() const { return byte_count_; }
  void setPeerVersion(int32_t version) { peer_version_ = version; }
  int32_t peerVersion() const { return peer_version_; }
  int32_t serial() const { return serial_; }

  // The name of a comm type code ("unknown" for 6 and every code without a row).
  static const char* typeName(int32_t type);
  static bool isTcpType(int32_t type) { return type == 1 || type == 4 || type == 5 || type == 7; }

 private:
  void addBytes(int64_t n);
  // The UDP socket, created on first use; false with `code` set when it cannot be created.
  bool ensureDatagramSocket(int32_t code);

  int32_t serial_;
  bool active_ = false;
  int32_t type_ = kTcp;
  TqString host_;
  int32_t port_ = 0;
  int32_t timeout_ = kDefaultTimeout;
  Address address_;
  Error error_;
  platform::SocketHandle socket_ = platform::kNoSocket;
  bool owns_socket_ = false;
  int32_t peer_version_ = 0;
  int32_t byte_count_ = 0;
};

// Waits up to ms milliseconds for the socket to become readable (direction 1) or writable (any
// other value). True when it timed out, or the wait failed; false once the socket is ready.
bool timedOutWaiting(platform::SocketHandle socket, int32_t ms, int direction);

// Starts the socket library (see platform/socket.h); every comm and listener calls it.
bool startSockets();

}  // namespace tq
