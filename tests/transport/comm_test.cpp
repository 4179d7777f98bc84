// Comms over real loopback sockets, against our own listener and against raw peers that write
// hand-made bytes.
#include "transport/comm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/environment.h"
#include "support/loopback.h"

namespace tq {
namespace {

using test::frameHeader;
using test::kLoopback;
using test::LoopbackListener;
using test::RawPeer;
using test::RawServer;
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

int32_t sendText(Comm& comm, const std::string& text) {
  return comm.send(reinterpret_cast<const uint8_t*>(text.data()),
                   static_cast<int32_t>(text.size()));
}

std::string receiveText(Comm& comm) {
  int32_t n = -1;
  std::unique_ptr<uint8_t[]> body = comm.receive(n);
  return body ? std::string(body.get(), body.get() + n) : "<null>";
}

TEST(TcpComm, FramesTravelBothWaysAndCountBodyBytes) {
  LoopbackListener server;
  Comm client("127.0.0.1", server.port(), Comm::kTcp);
  ASSERT_TRUE(client.isActive()) << client.error().text();
  EXPECT_EQ(client.peerAddress().toText(), TqString("127.0.0.1"));
  client.setTimeout(1000);
  int32_t sent = sendText(client, std::string(3000, 'q'));
  EXPECT_GT(sent, 0);
  EXPECT_EQ(client.bytesTransferred(), sent);

  std::unique_ptr<Comm> accepted = server.accept();
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->type(), Comm::kTcp);
  EXPECT_EQ(accepted->peerAddress().toText(), TqString("127.0.0.1"));
  EXPECT_EQ(accepted->port() > 0, true);
  accepted->setTimeout(1000);
  EXPECT_EQ(receiveText(*accepted), std::string(3000, 'q'));
  EXPECT_EQ(accepted->bytesTransferred(), 3000);
  EXPECT_GT(sendText(*accepted, "answer"), 0);
  EXPECT_EQ(receiveText(client), "answer");
}

TEST(TcpComm, FailedConnectionLeavesAnInactiveCommThatRefusesIo) {
  test::RefusingPort dead;
  Comm refused("127.0.0.1", dead.port(), Comm::kTcp);
  EXPECT_FALSE(refused.isActive());
  EXPECT_EQ(refused.error().code(), 35);
  // The template, then the system's reason.
  EXPECT_EQ(refused.error().text().str().rfind("unable to connect to host: ", 0), 0u)
      << refused.error().text();
  EXPECT_GT(refused.error().text().length(), 27);
  EXPECT_EQ(sendText(refused, "x"), -1);
  EXPECT_EQ(refused.error().code(), 3);
  EXPECT_EQ(receiveText(refused), "<null>");
  EXPECT_EQ(refused.error().code(), 3);

  Comm nowhere("", 50001, Comm::kTcp);
  EXPECT_FALSE(nowhere.isActive());
  EXPECT_EQ(nowhere.error().text(), TqString("host name unspecified"));
}

TEST(TcpComm, PeerThatClosesWithoutSendingIsBlank) {
  RawServer server;
  Comm client("127.0.0.1", server.port(), Comm::kTcp);
  client.setTimeout(1000);
  server.accept()->close();
  EXPECT_EQ(receiveText(client), "<null>");
  EXPECT_EQ(client.error().code(), 16);
}

TEST(TcpComm, HandMadeFramesFromARawPeer) {
  RawServer server;
  Comm client("127.0.0.1", server.port(), Comm::kTcp);
  client.setTimeout(200);
  std::unique_ptr<RawPeer> peer = server.accept();
  ASSERT_TRUE(peer);
  Bytes bad = frameHeader(1, 5, 5);
  ASSERT_TRUE(peer->send(bad));
  EXPECT_EQ(receiveText(client), "<null>");
  EXPECT_EQ(client.error().text(), TqString("tcp comm version doesn't match - version: 1"));
  // The eight header bytes after the version byte stay on the socket, unread.
  Comm raw(client.socket(), Comm::kRawTcp);
  raw.setTimeout(200);
  std::string rest = receiveText(raw);
  EXPECT_EQ(rest.size(), 8u);
  raw.close();
}

TEST(TcpComm, SilentPeerTimesOutAfterTheCommsTimeout) {
  RawServer server;
  Comm client("127.0.0.1", server.port(), Comm::kTcp);
  auto peer = server.accept();
  client.setTimeout(50);
  auto start = Clock::now();
  EXPECT_EQ(receiveText(client), "<null>");
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  EXPECT_EQ(client.error().code(), 15);
  EXPECT_GE(ms, 40);
  EXPECT_LT(ms, 2000);
}

TEST(TcpComm, TricklingPeerCannotHoldTheReceiveForManyTimeouts) {
  RawServer server;
  Comm client("127.0.0.1", server.port(), Comm::kTcp);
  client.setTimeout(60);
  std::unique_ptr<RawPeer> peer = server.accept();
  ASSERT_TRUE(peer);
  // 100 body bytes at one byte per 40 ms would take 4 s; each wait alone is within 60 ms.
  std::thread trickler([&] {
    peer->send(frameHeader(2, 100, 100));
    for (int i = 0; i < 100; ++i) {
      if (!peer->send(std::string(1, 'x'))) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
  });
  auto start = Clock::now();
  EXPECT_EQ(receiveText(client), "<null>");
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  client.close();
  peer->close();
  trickler.join();
  EXPECT_EQ(client.error().code(), 15);
  EXPECT_LT(ms, 1000);
}

TEST(UdpComm, DatagramsCarryTheSendersAddressBack) {
  LoopbackListener server(Comm::kUdp);
  Comm client("127.0.0.1", server.port(), Comm::kUdp);
  client.setTimeout(1000);
  EXPECT_FALSE(client.isActive());
  EXPECT_EQ(sendText(client, "discover"), 8);
  EXPECT_TRUE(client.isActive());

  std::unique_ptr<Comm> incoming = server.accept();
  ASSERT_TRUE(incoming);
  EXPECT_EQ(incoming->type(), Comm::kUdp);
  incoming->setTimeout(1000);
  EXPECT_EQ(receiveText(*incoming), "discover");
  EXPECT_EQ(incoming->peerAddress().get(), kLoopback);
  EXPECT_EQ(sendText(*incoming, "here"), 4);

  client.setPeerAddress(Address());
  client.setPort(0);
  EXPECT_EQ(receiveText(client), "here");
  EXPECT_EQ(client.peerAddress().toText(), TqString("127.0.0.1"));
  EXPECT_EQ(client.port(), server.port());
  EXPECT_EQ(client.bytesTransferred(), 12);

  // The comm handed out on the listener's own socket does not close it.
  incoming->close();
  incoming.reset();
  EXPECT_EQ(sendText(client, "again"), 5);
  std::unique_ptr<Comm> next = server.accept();
  ASSERT_TRUE(next);
  EXPECT_EQ(receiveText(*next), "again");
}

TEST(UdpComm, EmptyHostBroadcastsThroughTheSeam) {
  platform::ScopedEnvironmentVariable seam(platform::kBroadcastVariable, "127.0.0.1");
  LoopbackListener server(Comm::kUdp);
  Comm client("", server.port(), Comm::kUdp);
  EXPECT_EQ(sendText(client, "anyone?"), 7);
  EXPECT_EQ(client.peerAddress().toText(), TqString("127.0.0.1"));
  std::unique_ptr<Comm> incoming = server.accept();
  ASSERT_TRUE(incoming);
  EXPECT_EQ(receiveText(*incoming), "anyone?");
}

TEST(UdpComm, ReceiveWithoutAnAnswerTimesOut) {
  test::RefusingPort dead;
  Comm client("127.0.0.1", dead.port(), Comm::kUdp);
  client.setTimeout(30);
  EXPECT_EQ(receiveText(client), "<null>");
  EXPECT_EQ(client.error().code(), 28);
}

TEST(RawComm, CarriesBytesUnchangedAndStopsWhenThePeerCloses) {
  RawServer server;
  Comm client("127.0.0.1", server.port(), Comm::kRawTcp);
  client.setTimeout(1000);
  std::unique_ptr<RawPeer> peer = server.accept();
  ASSERT_TRUE(peer);
  EXPECT_EQ(sendText(client, "GET /\r\n"), 7);
  EXPECT_EQ(peer->receiveAll(100), (Bytes{'G', 'E', 'T', ' ', '/', '\r', '\n'}));
  peer->send(std::string(700, 'z'));
  peer->close();
  EXPECT_EQ(receiveText(client), std::string(700, 'z'));
  EXPECT_EQ(client.bytesTransferred(), 707);
}

TEST(SslComm, ConnectsButMovesNothing) {
  LoopbackListener server;
  Comm client("127.0.0.1", server.port(), Comm::kSslTcp);
  EXPECT_TRUE(client.isActive());
  EXPECT_EQ(sendText(client, "secret"), 0);
  EXPECT_EQ(receiveText(client), "<null>");
  EXPECT_EQ(client.error().code(), 0);
  client.close();
  receiveText(client);
  EXPECT_EQ(client.error().code(), 3);
}

TEST(CommIdentity, TypeNamesSerialsAndDefaults) {
  Comm a, b;
  EXPECT_EQ(b.serial(), a.serial() + 1);
  EXPECT_EQ(a.type(), Comm::kTcp);
  EXPECT_EQ(a.timeout(), 30000);
  EXPECT_FALSE(a.isActive());
  EXPECT_EQ(a.socket(), platform::kNoSocket);
  EXPECT_TRUE(a.peerAddress().isUnset());
  EXPECT_STREQ(Comm::typeName(1), "tcp");
  EXPECT_STREQ(Comm::typeName(2), "udp");
  EXPECT_STREQ(Comm::typeName(4), "raw_tcp");
  EXPECT_STREQ(Comm::typeName(5), "ssl_tcp");
  EXPECT_STREQ(Comm::typeName(6), "unknown");
  EXPECT_STREQ(Comm::typeName(7), "ssl_raw_tcp");
  EXPECT_STREQ(Comm::typeName(3), "unknown");
  Comm odd("127.0.0.1", 1, 9);
  EXPECT_EQ(sendText(odd, "x"), 0);
  EXPECT_EQ(receiveText(odd), "<null>");
}

TEST(Address, DottedQuadsParseAndPrint) {
  EXPECT_TRUE(Address::isDottedQuad("010.000.000.001"));
  EXPECT_TRUE(Address::isDottedQuad("255.255.255.255"));
  for (const char* no : {"256.1.1.1", "1.2.3", "1.2.3.4.", "", "1..2.3", "1.2.3.4 ", "a.b.c.d"})
    EXPECT_FALSE(Address::isDottedQuad(no)) << no;
  Address a;
  EXPECT_TRUE(a.isUnset());
  EXPECT_TRUE(a.parse("010.000.000.001"));
  EXPECT_FALSE(a.isUnset());
  EXPECT_EQ(a.toText(), TqString("10.0.0.1"));
  EXPECT_TRUE(a.parse("300.1.2.3"));
  EXPECT_EQ(a.toText(), TqString("44.1.2.3"));
  EXPECT_FALSE(a.parse("1.2.3.4.5"));
  EXPECT_EQ(a.toText(), TqString("44.1.2.3"));
  EXPECT_TRUE(Address().resolve("127.0.0.1"));
  EXPECT_FALSE(a.resolve(""));
  EXPECT_TRUE(a.isUnset());
  Address decoded;
  Address source(0xC0A80114u);
  source.encode();
  decoded.decode(source.buffer(), source.bufferLength());
  EXPECT_FALSE(decoded.isUnset());
  EXPECT_EQ(decoded.toText(), TqString("192.168.1.20"));
}

}  // namespace
}  // namespace tq
