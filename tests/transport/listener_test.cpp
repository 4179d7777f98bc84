// The listener: ports chosen by the system, bounded bind retries, waits and the readiness
// flags.
#include "transport/listener.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/sleep.h"
#include "support/log_capture.h"
#include "support/loopback.h"

namespace tq {
namespace {

using test::kLoopback;
using test::LoopbackListener;

struct RecordingSleep {
  std::vector<int32_t> asked;
  platform::ScopedSleepFunction scope{[this](int32_t ms) { asked.push_back(ms); }};
};

TEST(Listener, PortZeroReportsThePortTheSystemChose) {
  Listener listener;
  EXPECT_FALSE(listener.isOpen());
  ASSERT_TRUE(listener.add(kLoopback, 0, Comm::kTcp));
  ASSERT_TRUE(listener.add(kLoopback, 0, Comm::kUdp));
  EXPECT_TRUE(listener.isOpen());
  EXPECT_EQ(listener.count(), 2);
  EXPECT_GT(listener.port(0), 0);
  EXPECT_GT(listener.port(1), 0);
  EXPECT_EQ(listener.address(0), kLoopback);
  EXPECT_STREQ(listener.typeName(0), "tcp");
  EXPECT_STREQ(listener.typeName(1), "udp");
  EXPECT_EQ(listener.classId(), 85);
  listener.closeAll();
  EXPECT_FALSE(listener.isOpen());
}

TEST(Listener, ConstructorsAddWithoutOpening) {
  Listener listener(kLoopback, 0);
  EXPECT_EQ(listener.count(), 1);
  EXPECT_FALSE(listener.isOpen());
  EXPECT_TRUE(listener.openAll());
  EXPECT_TRUE(listener.isOpen());
  EXPECT_GT(listener.port(0), 0);
}

TEST(Listener, WaitWithoutEntriesPausesOneSecondThroughTheSleep) {
  RecordingSleep sleep;
  Listener listener;
  EXPECT_EQ(listener.wait(-1), -2);
  EXPECT_EQ(listener.lastStatus(), -2);
  EXPECT_EQ(sleep.asked, std::vector<int32_t>{1000});
  EXPECT_EQ(listener.accept(-1), nullptr);
}

TEST(Listener, NothingReadyWithinTheWaitTimeout) {
  LoopbackListener server(Comm::kTcp, 20);
  EXPECT_EQ(server.listener().wait(-1), -2);
  EXPECT_EQ(server.listener().lastStatus(), -2);
}

TEST(Listener, BindRetriesAreBoundedAndPauseThroughTheSleep) {
  LoopbackListener taken;
  RecordingSleep sleep;
  test::LogCapture log;
  Listener second;
  EXPECT_FALSE(second.add(kLoopback, taken.port(), Comm::kTcp));
  EXPECT_EQ(second.error().code(), 1050);
  EXPECT_EQ(second.error().text().str().rfind("tcp bind fail: ", 0), 0u);
  EXPECT_GT(second.error().text().length(), 15);
  EXPECT_EQ(sleep.asked, std::vector<int32_t>(60, 10000));
  std::string expected =
      "waiting for tcp socket to open up - port: " + std::to_string(taken.port()) + "\n";
  EXPECT_EQ(log.text().substr(0, expected.size()), expected);
  EXPECT_FALSE(second.isOpen());
}

TEST(Listener, UdpBindRetriesUseTheirOwnCode) {
  LoopbackListener taken(Comm::kUdp);
  RecordingSleep sleep;
  test::LogCapture log;
  Listener second;
  EXPECT_FALSE(second.add(kLoopback, taken.port(), Comm::kUdp));
  EXPECT_EQ(second.error().code(), 1048);
  EXPECT_EQ(sleep.asked.size(), 60u);
  EXPECT_NE(log.text().find("waiting for udp socket to open up - port: "), std::string::npos);
}

TEST(Listener, EntriesFlaggedTwoComeFirstAndWaitTwoTakesOnlyThem) {
  Listener listener;
  listener.setWaitTimeout(200);
  ASSERT_TRUE(listener.add(kLoopback, 0, Comm::kUdp));
  ASSERT_TRUE(listener.add(kLoopback, 0, Comm::kUdp));
  Comm to_first("127.0.0.1", listener.port(0), Comm::kUdp);
  Comm to_second("127.0.0.1", listener.port(1), Comm::kUdp);
  const uint8_t byte = 'x';
  to_first.send(&byte, 1);
  to_second.send(&byte, 1);
  ASSERT_EQ(listener.wait(-1), 0);  // both datagrams are there, unread
  EXPECT_EQ(listener.wait(2), -2);
  listener.setFlags(1, 3);
  EXPECT_EQ(listener.wait(1), 1);
  EXPECT_EQ(listener.wait(2), 1);
  listener.setFlags(1, 1);
  EXPECT_EQ(listener.wait(1), 0);
  EXPECT_EQ(listener.wait(4), -2);
}

TEST(Listener, AcceptedConnectionsAreOwnedAndKnowTheirCaller) {
  LoopbackListener server(Comm::kRawTcp);
  Comm client("127.0.0.1", server.port(), Comm::kRawTcp);
  ASSERT_TRUE(client.isActive());
  std::unique_ptr<Comm> accepted = server.accept();
  ASSERT_TRUE(accepted);
  EXPECT_EQ(accepted->type(), Comm::kRawTcp);
  EXPECT_TRUE(accepted->ownsSocket());
  EXPECT_EQ(accepted->peerAddress().get(), kLoopback);
}

}  // namespace
}  // namespace tq
