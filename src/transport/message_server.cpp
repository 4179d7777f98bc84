#include "transport/message_server.h"

#include "config/identity.h"
#include "config/logging.h"
#include "job/message_tags.h"
#include "platform/process_exit.h"
#include "records/mac_text.h"

namespace tq {
namespace {

int32_t& limit() {
  static int32_t bytes = -1;
  return bytes;
}

constexpr int32_t kRestrictDomainFlag = 0x80;

// "EE:EE:" and the four bytes of the peer's address.
TqString substituteMacAddress(const Address& peer) {
  TqString text("EE:EE");
  uint32_t v = peer.get();
  for (int shift = 24; shift >= 0; shift -= 8) {
    text.append(':');
    text.appendHexByte(static_cast<uint8_t>(v >> shift));
  }
  return text;
}

}  // namespace

MessageServer::MessageServer() : config_(std::make_unique<ClientConfig>()) {}

void MessageServer::handleConnection(Comm&) {}

void MessageServer::setByteLimit(int32_t bytes) { limit() = bytes; }
int32_t MessageServer::byteLimit() { return limit(); }

bool MessageServer::openOrExit(uint32_t address, int32_t port, int32_t type) {
  bool added = add(address, 0, port, type);
  if (!isOpen()) {
    {
      LogLock lock;
      logSink() << "ERROR: " << error().text() << "\n";
    }
    platform::exitProcess(1);
    return false;
  }
  return added;
}

Address MessageServer::peerOf(const Comm& comm) const {
  return peer_for_test_ ? Address(*peer_for_test_) : comm.peerAddress();
}

bool MessageServer::serveOne(Comm& comm) {
  if (comm.type() == Comm::kRawTcp || comm.type() == Comm::kSslRawTcp) {
    handleConnection(comm);
    return true;
  }
  int32_t length = 0;
  std::unique_ptr<uint8_t[]> body = comm.receive(length);
  return body && dispatch(body.get(), length, comm);
}

bool MessageServer::dispatch(const uint8_t* body, int32_t length, Comm& comm) {
  Message message;
  message.version = kServerVersion;
  message.decode(body, length);
  message.sender = peerOf(comm);
  if (message.tag == kTagNoAnswer) return false;
  if ((config_->clientFlags() & kRestrictDomainFlag) && message.kerv_domain.empty()) {
    if (comm.type() != Comm::kUdp) {
      Message nothing(kTagNoAnswer);
      nothing.version = kServerVersion;
      reply(nothing, comm);
    }
    LogLock lock;
    logSink() << "WARNING: ignoring undefined domain communication - " << peerOf(comm).toText()
              << "\n";
    return false;
  }
  if (normalizeMacAddressText(message.mac_address.value).empty())
    message.mac_address.value = substituteMacAddress(peerOf(comm));
  comm.setPeerVersion(message.version);
  handleMessage(message.tag, message, comm);
  return true;
}

int32_t MessageServer::serve(int32_t n) {
  const bool bounded = n != -1;
  int32_t handled = 0;
  for (;;) {
    if (bounded) {
      if (n < 1) return handled;
      --n;
    }
    std::unique_ptr<Comm> comm = accept(-1);
    if (!comm) {
      if (lastStatus() == -1) {
        LogLock lock;
        logSink() << "ERROR: " << error().text() << "\n";
        return -1;
      }
      if (bounded) return 0;
      continue;
    }
    if (serveOne(*comm)) ++handled;
    bool go_on = byteLimit() < 0 || comm->bytesTransferred() < byteLimit();
    comm.reset();
    if (!go_on) return handled;
  }
}

bool MessageServer::rejectOne(Address& address) {
  int32_t saved = waitTimeout();
  setWaitTimeout(0);
  std::unique_ptr<Comm> comm = accept(2);
  setWaitTimeout(saved);
  if (!comm) return false;
  address = peerOf(*comm);
  if (comm->type() != Comm::kTcp && comm->type() != Comm::kSslTcp) return false;
  int32_t length = 0;
  if (!comm->receive(length)) return false;
  Message busy(kTagBusy);
  busy.version = kServerVersion;
  reply(busy, *comm);
  return true;
}

bool MessageServer::reply(Message& message, Comm& comm) {
  message.mac_address = macAddress();
  int32_t n = message.encode();
  int32_t sent = comm.send(message.buffer(), n);
  if (sent < 0) {
    LogLock lock;
    logSink() << "ERROR: unable to reply - " << comm.error().text() << "\n";
    return false;
  }
  return sent > 0;
}

void MessageServer::logOpenedAddresses() {
  LogLock lock;
  for (int32_t i = 0; i < count(); ++i) {
    logSink() << "INFO: opened address: " << Address(address(i)).toText() << " port: " << port(i)
              << " type: " << typeName(i) << ".\n";
  }
  logSink() << "INFO: mac address: " << macAddressText() << "\n";
}

}  // namespace tq
