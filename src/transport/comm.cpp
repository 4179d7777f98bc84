#include "transport/comm.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "transport/byte_stream.h"
#include "transport/framing.h"
#include "transport/limits.h"

namespace tq {
namespace {

int32_t nextSerial() {
  static int32_t counter = 0;
  return ++counter;
}

}  // namespace

bool startSockets() { return platform::startSockets(); }

bool timedOutWaiting(platform::SocketHandle socket, int32_t ms, int direction) {
  platform::WaitFor what = direction == 1 ? platform::WaitFor::kRead : platform::WaitFor::kWrite;
  return platform::waitSocket(socket, std::max(ms, 0), what) != 1;
}

const char* Comm::typeName(int32_t type) {
  switch (type) {
    case kTcp:
      return "tcp";
    case kUdp:
      return "udp";
    case kRawTcp:
      return "raw_tcp";
    case kSslTcp:
      return "ssl_tcp";
    case kSslRawTcp:
      return "ssl_raw_tcp";
    default:
      return "unknown";
  }
}

Comm::Comm() : serial_(nextSerial()) { startSockets(); }

Comm::Comm(platform::SocketHandle socket, int32_t type)
    : serial_(nextSerial()),
      active_(true),
      type_(type),
      socket_(socket),
      owns_socket_(isTcpType(type)) {
  startSockets();
}

Comm::Comm(const TqString& host, int32_t port, int32_t type, int32_t timeout)
    : serial_(nextSerial()), type_(type), host_(host), port_(port), timeout_(timeout) {
  startSockets();
  if (isTcpType(type)) connect();
}

Comm::~Comm() { close(); }

bool Comm::close() {
  if (active_ && owns_socket_ && socket_ != platform::kNoSocket) {
    platform::closeSocket(socket_);
    socket_ = platform::kNoSocket;
  }
  active_ = false;
  return true;
}

void Comm::setHost(const TqString& name) {
  host_ = name;
  address_.reset();
}

void Comm::addBytes(int64_t n) {
  int64_t total = int64_t{byte_count_} + std::max<int64_t>(n, 0);
  byte_count_ = static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
}

bool Comm::connect() {
  close();
  active_ = false;
  owns_socket_ = true;
  if (host_.empty()) {
    error_.setCode(kHostNameUnspecified);
    return false;
  }
  socket_ = platform::openStreamSocket();
  if (socket_ == platform::kNoSocket) {
    error_.setCode(kTcpOpenFailed);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    return false;
  }
  Address target;
  if (!(Address::isDottedQuad(host_) ? target.parse(host_) : target.resolve(host_))) {
    error_.setCode(kHostNameUnspecified);
    error_.setValue("ERROR",
                    TqString("\"") + host_.printable() + "\" is no host name that resolves");
    platform::closeSocket(socket_);
    socket_ = platform::kNoSocket;
    return false;
  }
  address_ = target;
  platform::Endpoint to{target.get(), static_cast<uint16_t>(port_)};
  if (!platform::connectSocket(socket_, to, timeout_)) {
    error_.setCode(kConnectFailed);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    platform::closeSocket(socket_);
    socket_ = platform::kNoSocket;
    return false;
  }
  active_ = true;
  return true;
}

bool Comm::ensureDatagramSocket(int32_t code) {
  if (socket_ != platform::kNoSocket) return true;
  socket_ = platform::openDatagramSocket();
  if (socket_ == platform::kNoSocket) {
    error_.setCode(code);
    error_.setValue("ERROR", TqString(platform::socketErrorText()));
    return false;
  }
  owns_socket_ = true;
  active_ = true;
  return true;
}

int32_t Comm::send(const uint8_t* bytes, int32_t n) {
  if (n < 0 || (n > 0 && !bytes)) n = 0;
  switch (type()) {
    case kTcp: {
      if (!active_) {
        error_.setCode(kConnectionNotActive);
        return -1;
      }
      SocketStream stream(socket_);
      int32_t sent = writeTcpFrame(stream, bytes, n, timeout_, error_);
      if (sent > 0) addBytes(sent);
      return sent;
    }
    case kRawTcp: {
      if (!active_) {
        error_.setCode(kConnectionNotActive);
        return -1;
      }
      SocketStream stream(socket_);
      int32_t sent = writeRaw(stream, bytes, n, timeout_, error_);
      if (sent > 0) addBytes(sent);
      return sent;
    }
    case kUdp: {
      bool fresh = socket_ == platform::kNoSocket;
      if (!ensureDatagramSocket(kUdpOpenFailed)) return 0;
      if (fresh) {
        if (host_.empty()) platform::enableBroadcast(socket_);
        if (!platform::bindSocket(socket_, platform::Endpoint{})) {
          error_.setCode(kUdpBindFailed);
          error_.setValue("ERROR", TqString(platform::socketErrorText()));
        }
      }
      if (address_.isUnset()) {
        Address target;
        bool found = false;
        if (host_.empty()) {
          target.set(platform::broadcastAddress());
          found = true;
        } else {
          found = Address::isDottedQuad(host_) ? target.parse(host_) : target.resolve(host_);
        }
        if (!found) {
          error_.setCode(kHostNotResolved);
          error_.setValue("ERROR", TqString("\"") + host_.printable() + "\" does not resolve");
          if (owns_socket_) {
            platform::closeSocket(socket_);
            socket_ = platform::kNoSocket;
            active_ = false;
          }
          return 0;
        }
        address_ = target;
      }
      std::vector<uint8_t> datagram;
      if (!buildDatagram(bytes, n, datagram, error_)) return 0;
      platform::Endpoint to{address_.get(), static_cast<uint16_t>(port_)};
      if (platform::sendDatagram(socket_, datagram.data(), static_cast<int32_t>(datagram.size()),
                                 to) < 0) {
        error_.setCode(kUdpSendFailed);
        error_.setValue("ERROR", TqString(platform::socketErrorText()));
        return 0;
      }
      addBytes(n);
      return n;
    }
    default:
      // The SSL types and unknown types send nothing.
      return 0;
  }
}

std::unique_ptr<uint8_t[]> Comm::receive(int32_t& n) {
  n = 0;
  switch (type()) {
    case kTcp: {
      if (!active_) {
        error_.setCode(kConnectionNotActive);
        return nullptr;
      }
      SocketStream stream(socket_);
      std::unique_ptr<uint8_t[]> body = readTcpFrame(stream, timeout_, error_, n);
      if (body) addBytes(n);
      return body;
    }
    case kRawTcp: {
      if (!active_) {
        error_.setCode(kConnectionNotActive);
        return nullptr;
      }
      SocketStream stream(socket_);
      std::unique_ptr<uint8_t[]> bytes = readRaw(stream, timeout_, error_, n);
      if (bytes) addBytes(n);
      return bytes;
    }
    case kUdp: {
      std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kDatagramBufferSize]);
      if (!buffer) {
        error_.setCode(kUdpBufferAllocationFailed);
        return nullptr;
      }
      if (!ensureDatagramSocket(kUdpOpenFailed)) return nullptr;
      if (timedOutWaiting(socket_, timeout_, 1)) {
        error_.setCode(kUdpReceiveTimedOut);
        error_.setValue("ERROR", TqString("no answer within ") + TqString(timeout_) + " ms");
        return nullptr;
      }
      platform::Endpoint from;
      int32_t size = platform::receiveDatagram(socket_, buffer.get(), kDatagramBufferSize, from);
      if (size < 0) {
        error_.setCode(kUdpReceiveFailed);
        error_.setValue("ERROR", TqString(platform::socketErrorText()));
        return nullptr;
      }
      std::unique_ptr<uint8_t[]> body = parseDatagram(buffer.get(), size, error_, n);
      if (!body) return nullptr;
      addBytes(n);
      address_.set(from.address);
      port_ = from.port;
      return body;
    }
    case kSslTcp:
    case kSslRawTcp:
      if (!active_) error_.setCode(kConnectionNotActive);
      return nullptr;
    default:
      return nullptr;
  }
}

}  // namespace tq
