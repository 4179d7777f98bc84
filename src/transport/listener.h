// tq::Listener: a set of local ports (TCP, UDP, multicast UDP) that hands out a tq::Comm for
// each incoming connection or datagram.
//
// A table of at most 128 entries. Each entry has a bind address and a multicast group (host
// order, 0 = any / none), a port (0 = any free port, replaced by the bound port once open), a
// socket, a comm type and readiness flags (default 1). Adding an entry opens every entry not
// yet open. A bind that fails (the port is in use) is retried every 10 seconds through the
// library's sleep, with the line "waiting for tcp socket to open up - port: <port>" (or udp) in
// the log, for at most 600 seconds in all (transport/limits.h); then the open fails.
//
// wait(flags) looks at up to 64 entries at once for the wait time-out (30000 ms by default):
// among the ready entries the lowest one whose flags hold 2 comes first, then (unless flags is
// exactly 2) the lowest one whose flags share a bit with the argument. accept() turns the entry
// into a comm: a datagram entry gives a UDP comm on the entry's own socket (not owned); a TCP
// entry accepts the connection and gives an owned comm of the entry's type with the caller's
// address and port.
#pragma once

#include <cstdint>
#include <memory>
#include <tuple>
#include <vector>

#include "platform/socket.h"
#include "records/field.h"
#include "transport/comm.h"
#include "transport/error.h"

namespace tq {

struct ListenerEntry {
  uint32_t address = 0;
  uint32_t group = 0;
  int32_t port = 0;
  platform::SocketHandle socket = platform::kNoSocket;
  int32_t type = Comm::kTcp;
  int32_t flags = 1;
};

class Listener : public Record<Listener> {
 public:
  static constexpr int32_t kClassId = 85;
  static constexpr const char* kTypeName = "listener";
  static constexpr int32_t kMaxEntries = 128;
  static constexpr int32_t kMaxWaitSockets = 64;
  static constexpr int32_t kBacklog = 255;
  static constexpr int32_t kDefaultWaitTimeout = 30000;

  Listener();
  // One TCP entry (any address, or the given one), not yet opened.
  explicit Listener(int32_t port);
  Listener(uint32_t address, int32_t port);
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;
  ~Listener() override;

  // Each appends an entry (flags 1) and then opens every entry not yet open: openAll()'s result.
  // False without adding when the table is full.
  bool add(uint32_t address, uint32_t group, int32_t port, int32_t type);
  bool add(uint32_t address, int32_t port, int32_t type) { return add(address, 0, port, type); }
  bool add(uint32_t address, int32_t port) { return add(address, 0, port, Comm::kTcp); }
  bool add(int32_t port) { return add(0, 0, port, Comm::kTcp); }

  // Opens every entry without a socket, in table order; stops at the first failure (false).
  bool openAll();
  // The entry index that is ready, -1 when waiting failed (code 1039), -2 when nothing was
  // ready (with no entries at all, after a pause of one second).
  int32_t wait(int32_t flags);
  // wait(flags) and the comm for the entry, or null.
  std::unique_ptr<Comm> accept(int32_t flags);
  // The entry the last comm that accept() gave came from (-1 before the first), so that a
  // server on several ports can tell which one a request arrived on.
  int32_t lastEntry() const { return last_entry_; }
  // Closes every socket when open (a failing close logs "ERROR: couldn't close socket.").
  void closeAll();

  // The record's own type name ("listener") stays reachable beside the entry's.
  using Record<Listener>::typeName;
  const char* typeName(int32_t index) const;
  int32_t port(int32_t index) const;
  uint32_t address(int32_t index) const;
  int32_t flags(int32_t index) const;
  void setFlags(int32_t index, int32_t flags);
  int32_t count() const { return static_cast<int32_t>(entries_.size()); }
  bool isOpen() const { return open_; }
  Error& error() { return error_; }
  const Error& error() const { return error_; }
  void setWaitTimeout(int32_t ms) { wait_timeout_ = ms; }
  int32_t waitTimeout() const { return wait_timeout_; }
  int32_t lastStatus() const { return last_status_; }
  const std::string& localHostName() const { return host_name_; }

  static constexpr auto fields() { return std::tuple<>(); }

 private:
  bool openEntry(ListenerEntry& entry);
  // Binds, retrying while the port is taken; false with `code` set when the time is up.
  bool bindWithRetries(ListenerEntry& entry, int32_t code, const char* what);

  std::vector<ListenerEntry> entries_;
  std::string host_name_;
  bool open_ = false;
  Error error_;
  int32_t wait_timeout_ = kDefaultWaitTimeout;
  int32_t last_status_ = 0;
  int32_t last_entry_ = -1;
};

}  // namespace tq
