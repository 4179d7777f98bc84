#include "transport/listener.h"

#include "platform/log_sink.h"
#include "platform/sleep.h"
#include "transport/limits.h"

namespace tq {
namespace {

bool isDatagramType(int32_t type) { return type == Comm::kUdp || type == Comm::kMulticastUdp; }

void closeEntrySocket(ListenerEntry& entry) {
  if (entry.socket != platform::kNoSocket) platform::closeSocket(entry.socket);
  entry.socket = platform::kNoSocket;
}

std::string limitedHostName() {
  std::string name = platform::socketHostName();
  if (name.size() > 256) name.resize(256);
  return name;
}

}  // namespace

Listener::Listener() : host_name_(limitedHostName()) { startSockets(); }

Listener::Listener(int32_t port) : Listener() { entries_.push_back(ListenerEntry{0, 0, port}); }

Listener::Listener(uint32_t address, int32_t port) : Listener() {
  entries_.push_back(ListenerEntry{address, 0, port});
}

Listener::~Listener() { closeAll(); }

bool Listener::add(uint32_t address, uint32_t group, int32_t port, int32_t type) {
  if (count() >= kMaxEntries) return false;
  ListenerEntry entry;
  entry.address = address;
  entry.group = group;
  entry.port = port;
  entry.type = type;
  entries_.push_back(entry);
  return openAll();
}

bool Listener::openAll() {
  for (ListenerEntry& entry : entries_) {
    if (entry.socket != platform::kNoSocket) continue;
    if (!openEntry(entry)) return false;
  }
  return true;
}

bool Listener::bindWithRetries(ListenerEntry& entry, int32_t code, const char* what) {
  platform::Endpoint local{entry.address, static_cast<uint16_t>(entry.port)};
  for (int32_t waited = 0;; waited += kBindRetryPauseMs) {
    if (platform::bindSocket(entry.socket, local)) return true;
    error_.setCode(code);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    if (waited >= kBindRetryTotalMs) return false;
    {
      LogLock lock;
      logSink().write("waiting for ").write(what).write(" socket to open up - port: ");
      logSink().write(entry.port).write("\n");
    }
    platform::sleepMilliseconds(kBindRetryPauseMs);
  }
}

bool Listener::openEntry(ListenerEntry& entry) {
  bool datagram = isDatagramType(entry.type);
  entry.socket = datagram ? platform::openDatagramSocket() : platform::openStreamSocket();
  if (entry.socket == platform::kNoSocket) {
    error_.setCode(datagram ? kListenerUdpOpenFailed : kListenerTcpOpenFailed);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    return false;
  }
  if (entry.type == Comm::kMulticastUdp && entry.group != 0)
    platform::joinMulticastGroup(entry.socket, entry.group, entry.address);
  host_name_ = limitedHostName();
  if (!platform::resolveHostName(host_name_)) {
    error_.setCode(kLocalHostNameUnknown);
    closeEntrySocket(entry);
    return false;
  }
  bool ssl = entry.type == Comm::kSslTcp || entry.type == Comm::kSslRawTcp;
  int32_t bind_code = datagram ? kListenerUdpBindFailed
                      : ssl    ? kListenerSslBindFailed
                               : kListenerTcpBindFailed;
  if (!bindWithRetries(entry, bind_code, datagram ? "udp" : "tcp")) {
    closeEntrySocket(entry);
    return false;
  }
  platform::Endpoint bound;
  if (!platform::localEndpoint(entry.socket, bound)) {
    error_.setCode(kSocketInfoFailed);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    closeEntrySocket(entry);
    return false;
  }
  entry.port = bound.port;
  entry.address = bound.address;
  if (!datagram && !platform::listenSocket(entry.socket, kBacklog)) {
    error_.setCode(kListenFailed);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    closeEntrySocket(entry);
    return false;
  }
  open_ = true;
  return true;
}

int32_t Listener::wait(int32_t flags) {
  std::vector<platform::SocketHandle> sockets;
  std::vector<int32_t> indexes;
  for (int32_t i = 0; i < count() && static_cast<int32_t>(sockets.size()) < kMaxWaitSockets; ++i) {
    if (entries_[static_cast<size_t>(i)].socket == platform::kNoSocket) continue;
    sockets.push_back(entries_[static_cast<size_t>(i)].socket);
    indexes.push_back(i);
  }
  if (sockets.empty()) {
    platform::sleepMilliseconds(1000);
    last_status_ = -2;
    return -2;
  }
  std::vector<bool> ready;
  int n;
  do {
    n = platform::waitReadable(sockets, wait_timeout_, ready);
  } while (n < 0 && platform::socketErrorInterrupted());
  if (n < 0) {
    error_.setCode(kSelectFailed);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    last_status_ = -1;
    return -1;
  }
  if (n > 0) {
    for (size_t k = 0; k < indexes.size(); ++k) {
      if (ready[k] && (entries_[static_cast<size_t>(indexes[k])].flags & 2)) {
        last_status_ = 0;
        return indexes[k];
      }
    }
    if (flags != 2) {
      for (size_t k = 0; k < indexes.size(); ++k) {
        if (ready[k] && (entries_[static_cast<size_t>(indexes[k])].flags & flags)) {
          last_status_ = 0;
          return indexes[k];
        }
      }
    }
  }
  last_status_ = -2;
  return -2;
}

std::unique_ptr<Comm> Listener::accept(int32_t flags) {
  int32_t index = wait(flags);
  if (index < 0) return nullptr;
  last_entry_ = index;
  const ListenerEntry& entry = entries_[static_cast<size_t>(index)];
  if (isDatagramType(entry.type)) return std::make_unique<Comm>(entry.socket, Comm::kUdp);
  platform::Endpoint peer;
  platform::SocketHandle socket = platform::acceptSocket(entry.socket, peer);
  if (socket == platform::kNoSocket) {
    error_.setCode(kAcceptFailed);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    return nullptr;
  }
  int32_t type = Comm::isTcpType(entry.type) ? entry.type : Comm::kTcp;
  auto comm = std::make_unique<Comm>(socket, type);
  comm->setPeerAddress(Address(peer.address));
  comm->setPort(peer.port);
  return comm;
}

void Listener::closeAll() {
  if (open_) {
    for (ListenerEntry& entry : entries_) {
      if (entry.socket == platform::kNoSocket) continue;
      if (!platform::closeSocket(entry.socket)) logLine("ERROR: couldn't close socket.");
      entry.socket = platform::kNoSocket;
    }
  }
  open_ = false;
}

const char* Listener::typeName(int32_t index) const {
  if (index < 0 || index >= count()) return "unknown";
  int32_t type = entries_[static_cast<size_t>(index)].type;
  return type == Comm::kMulticastUdp ? "multicast_udp" : Comm::typeName(type);
}

int32_t Listener::port(int32_t index) const {
  return index >= 0 && index < count() ? entries_[static_cast<size_t>(index)].port : 0;
}

uint32_t Listener::address(int32_t index) const {
  return index >= 0 && index < count() ? entries_[static_cast<size_t>(index)].address : 0;
}

int32_t Listener::flags(int32_t index) const {
  return index >= 0 && index < count() ? entries_[static_cast<size_t>(index)].flags : 0;
}

void Listener::setFlags(int32_t index, int32_t flags) {
  if (index >= 0 && index < count()) entries_[static_cast<size_t>(index)].flags = flags;
}

}  // namespace tq
