// tq::MessageServer: a listener that receives messages and hands each to a handler.
//
// serve(n) accepts a connection or datagram at a time, receives one message on it, decodes it
// (a message that names no version is version 350) and calls handleMessage(tag, message, comm);
// raw connections (types 4 and 7) go to handleConnection(comm) instead. Then the comm is
// destroyed. Messages with tag 0 are dropped uncounted. With bit 0x80 ("restrict_domain") of
// the client flags, a message without a farm domain is not handled: a TCP caller gets an empty
// tag-0 answer, and the line
//   WARNING: ignoring undefined domain communication - <peer address>
// is logged. A message without a hardware address is handed on with "EE:EE:" and the four
// bytes of the peer's address ("EE:EE:0A:00:00:01" for 10.0.0.1).
//
// One comm's bad frame or bad message ends that comm only; serving goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "config/client_config.h"
#include "job/message.h"
#include "transport/comm.h"
#include "transport/listener.h"

namespace tq {

class MessageServer : public Listener {
 public:
  static constexpr int32_t kServerVersion = 350;

  // Reads the client configuration (its flags decide the domain check).
  MessageServer();

  // The handler of the using program.
  virtual void handleMessage(int32_t tag, Message& message, Comm& comm) = 0;
  // Raw TCP connections; nothing by default.
  virtual void handleConnection(Comm& comm);

  // add() that ends the process (status 1, through the library's exit) when the listener is
  // then not open, after logging "ERROR: " and the reason. Otherwise add()'s result.
  bool openOrExit(uint32_t address, int32_t port, int32_t type);
  bool openOrExit(uint32_t address, int32_t port) { return openOrExit(address, port, Comm::kTcp); }
  bool openOrExit(int32_t port) { return openOrExit(0, port, Comm::kTcp); }

  // Serves at most n comms (-1: without end): the messages and connections handled, -1 when
  // waiting failed. With n given, a wait that finds nothing returns 0, whatever was handled
  // before it.
  int32_t serve(int32_t n);
  // Turns one waiting TCP caller away with a tag-5 answer ("too many connections"); its
  // address lands in `address`. False when nobody was waiting.
  bool rejectOne(Address& address);
  // Answers on the comm a message came from, with this host's hardware address.
  bool reply(Message& message, Comm& comm);
  // "INFO: opened address: A port: P type: T." per entry, then "INFO: mac address: M".
  void logOpenedAddresses();

  // Serving goes on only while the last comm moved fewer bytes than this (-1: no limit, the
  // default). Process-wide.
  static void setByteLimit(int32_t bytes);
  static int32_t byteLimit();

  // A free text a using program may keep with its server (empty at construction).
  const TqString& description() const { return description_; }
  void setDescription(const TqString& text) { description_ = text; }

  // Decodes a received body and hands it on as serve() does; true when a handler was called.
  // (serve() receives the body first; fuzz targets feed bodies here directly.)
  bool dispatch(const uint8_t* body, int32_t length, Comm& comm);

  // For tests, which all run on 127.0.0.1: the peer address the server sees instead of the real
  // one.
  void setPeerAddressForTest(std::optional<uint32_t> address) { peer_for_test_ = address; }

 private:
  // Receives, decodes and dispatches one comm; true when a handler was called.
  bool serveOne(Comm& comm);
  Address peerOf(const Comm& comm) const;

  std::unique_ptr<ClientConfig> config_;
  TqString description_;
  std::optional<uint32_t> peer_for_test_;
};

}  // namespace tq
