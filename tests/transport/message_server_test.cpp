// The message server: what reaches the handler, what is dropped, and when serving stops.
#include "transport/message_server.h"

#include <gtest/gtest.h>

#include <thread>

#include "config/identity.h"
#include "platform/process_exit.h"
#include "support/client_environment.h"
#include "support/loopback.h"
#include "support/scripted_supervisor.h"
#include "transport/client.h"

namespace tq {
namespace {

using test::ClientEnvironment;
using test::kLoopback;

struct Seen {
  int32_t tag;
  TqString mac;
  int32_t version;
  int32_t peer_version;
  int32_t comm_type;
};

class RecordingServer : public MessageServer {
 public:
  RecordingServer() { setWaitTimeout(50); }
  void handleMessage(int32_t tag, Message& message, Comm& comm) override {
    seen.push_back(
        {tag, message.mac_address.value, message.version, comm.peerVersion(), comm.type()});
    if (answer_tag >= 0) {
      Message answer(answer_tag);
      reply(answer, comm);
    }
  }
  void handleConnection(Comm&) override { ++raw; }
  std::vector<Seen> seen;
  int32_t answer_tag = -1;
  int raw = 0;
};

// Sends a message one way (the client stamps it with this host's hardware address).
void sendOneWay(int32_t port, Message message, int32_t type = Comm::kTcp) {
  Client client;
  if (type == Comm::kTcp) {
    client.notify("127.0.0.1", port, message);
  } else {
    client.notifyUdp("127.0.0.1", port, message);
  }
}

// A frame of a message written by hand, without the stamping of a client.
void sendBare(int32_t port, Message& message) {
  test::RawPeer peer(port);
  peer.send(test::frameOf(message));
}

class MessageServerTest : public ::testing::Test {
 protected:
  ClientEnvironment env;
};

TEST_F(MessageServerTest, NothingArrivingEndsABoundedServeWithZero) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  EXPECT_EQ(server.serve(3), 0);
  sendOneWay(server.port(0), Message(9));
  EXPECT_EQ(server.serve(3), 0);  // one handled, then an empty wait
  EXPECT_EQ(server.seen.size(), 1u);
}

TEST_F(MessageServerTest, TagZeroIsDroppedUncounted) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  sendOneWay(server.port(0), Message(0));
  sendOneWay(server.port(0), Message(9));
  EXPECT_EQ(server.serve(2), 1);
  ASSERT_EQ(server.seen.size(), 1u);
  EXPECT_EQ(server.seen[0].tag, 9);
}

TEST_F(MessageServerTest, MessagesWithoutVersionOrHardwareAddressGetSubstitutes) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  server.setPeerAddressForTest(0x0A000001u);
  // A message of only a tag: no version, no hardware address.
  test::RawPeer peer(server.port(0));
  test::Bytes body{0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 12};
  peer.send(test::frameOf(body));
  Message stamped(13);
  stamped.mac_address.value = "00:1A:2B:3C:4D:5E";
  sendBare(server.port(0), stamped);
  Message zeros(14);
  zeros.mac_address.value = "00:00:00:00:00:00";
  sendBare(server.port(0), zeros);
  EXPECT_EQ(server.serve(3), 3);
  ASSERT_EQ(server.seen.size(), 3u);
  EXPECT_EQ(server.seen[0].tag, 12);
  EXPECT_EQ(server.seen[0].version, 350);
  EXPECT_EQ(server.seen[0].peer_version, 350);
  EXPECT_EQ(server.seen[0].mac, TqString("EE:EE:0A:00:00:01"));
  EXPECT_EQ(server.seen[1].mac, TqString("00:1A:2B:3C:4D:5E"));
  EXPECT_EQ(server.seen[1].version, 500);
  EXPECT_EQ(server.seen[2].mac, TqString("EE:EE:0A:00:00:01"));
}

TEST_F(MessageServerTest, RestrictedDomainAnswersTcpWithTagZeroAndOnlyLogsUdp) {
  env.writeConfig("client_flags = restrict_domain\n");
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  ASSERT_TRUE(server.add(kLoopback, server.port(0), Comm::kUdp));
  Message request(9), reply;
  bool answered = true;
  std::thread caller([&] {
    Client client;
    client.setTimeout(2000);
    answered = client.exchange("127.0.0.1", server.port(0), request, reply);
  });
  EXPECT_EQ(server.serve(1), 0);
  caller.join();
  EXPECT_FALSE(answered);
  EXPECT_EQ(reply.tag, 0);
  EXPECT_EQ(env.sleeps.size(), 1u);  // the client's pause after a blank answer
  sendOneWay(server.port(0), Message(9), Comm::kUdp);
  EXPECT_EQ(server.serve(1), 0);
  EXPECT_TRUE(server.seen.empty());
  EXPECT_EQ(env.log(),
            "WARNING: ignoring undefined domain communication - 127.0.0.1\n"
            "WARNING: ignoring undefined domain communication - 127.0.0.1\n");
}

TEST_F(MessageServerTest, ByteLimitStopsServing) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  Message big(9);
  big.user = TqString(std::string(300, 'u'));
  sendBare(server.port(0), big);
  sendOneWay(server.port(0), Message(10));
  MessageServer::setByteLimit(100);
  int32_t handled = server.serve(-1);
  MessageServer::setByteLimit(-1);
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(server.seen.size(), 1u);
}

TEST_F(MessageServerTest, MalformedFramesEndOnlyTheirConnection) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  {
    test::RawPeer junk(server.port(0));
    junk.send(std::string("\x02\x7f\xff\xff\xff\x00\x00\x00\x05garbage", 16));
  }
  sendOneWay(server.port(0), Message(11));
  EXPECT_EQ(server.serve(2), 1);
  ASSERT_EQ(server.seen.size(), 1u);
  EXPECT_EQ(server.seen[0].tag, 11);
}

TEST_F(MessageServerTest, RawConnectionsGoToTheConnectionHandler) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kRawTcp));
  test::RawPeer peer(server.port(0));
  EXPECT_EQ(server.serve(1), 1);
  EXPECT_EQ(server.raw, 1);
}

TEST_F(MessageServerTest, RejectOneTurnsAWaitingCallerAway) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  server.setFlags(0, 3);
  Address who;
  EXPECT_FALSE(server.rejectOne(who));
  bool answered = true, rejected = false;
  std::thread caller([&] {
    Client client;
    client.setTimeout(2000);
    Message request(9), reply;
    answered = client.exchange("127.0.0.1", server.port(0), request, reply);
    rejected = client.wasRejected();
  });
  bool turned_away = false;
  for (int i = 0; i < 200 && !turned_away; ++i) {
    turned_away = server.rejectOne(who);
    if (!turned_away) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  caller.join();
  EXPECT_TRUE(turned_away);
  EXPECT_FALSE(answered);
  EXPECT_TRUE(rejected);
  EXPECT_EQ(who.toText(), TqString("127.0.0.1"));
  EXPECT_EQ(server.waitTimeout(), 50);
}

TEST_F(MessageServerTest, OpenOrExitEndsTheProcessWhenThePortIsTaken) {
  test::LoopbackListener taken;
  std::vector<int> exits;
  platform::ScopedExitFunction recording([&](int status) { exits.push_back(status); });
  RecordingServer server;
  EXPECT_FALSE(server.openOrExit(kLoopback, taken.port()));
  EXPECT_EQ(exits, std::vector<int>{1});
  EXPECT_NE(env.log().find("ERROR: tcp bind fail: "), std::string::npos);
  RecordingServer fine;
  EXPECT_TRUE(fine.openOrExit(kLoopback, 0));
  EXPECT_EQ(exits.size(), 1u);
}

TEST_F(MessageServerTest, LogsItsOpenedAddresses) {
  RecordingServer server;
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kTcp));
  ASSERT_TRUE(server.add(kLoopback, 0, Comm::kUdp));
  server.logOpenedAddresses();
  std::string expected = "INFO: opened address: 127.0.0.1 port: " + std::to_string(server.port(0)) +
                         " type: tcp.\n" +
                         "INFO: opened address: 127.0.0.1 port: " + std::to_string(server.port(1)) +
                         " type: udp.\n" + "INFO: mac address: " + macAddressText().str() + "\n";
  EXPECT_EQ(env.log(), expected);
}

}  // namespace
}  // namespace tq
