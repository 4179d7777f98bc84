// The supervisor exchange against a supervisor peer written here (scripted_supervisor.h), which
// reads and writes frames with zlib itself.
#include "transport/client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "config/identity.h"
#include "platform/file_system.h"
#include "platform/private_file.h"
#include "support/client_environment.h"
#include "support/loopback.h"
#include "support/scripted_supervisor.h"

namespace tq {
namespace {

namespace fs = std::filesystem;
using test::ClientEnvironment;
using test::ScriptedSupervisor;

std::string portLine(int32_t port) { return "supervisor_port = " + std::to_string(port) + "\n"; }

int countOf(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

void writeCache(const std::string& text, int64_t age_seconds) {
  std::string path = supervisorCachePath().str();
  std::string reason;
  ASSERT_TRUE(platform::writePrivateFile(path, text, reason)) << reason;
  ASSERT_TRUE(platform::setModificationTime(path, std::time(nullptr) - age_seconds));
}

class ClientTest : public ::testing::Test {
 protected:
  ClientEnvironment env;
};

TEST_F(ClientTest, ExchangeStampsTheRequestAndKeepsTheSender) {
  env.writeConfig("supervisor_domain = farm\ntq_region = west\n");
  ScriptedSupervisor peer;
  peer.serve({ScriptedSupervisor::reply(1)});
  Client client;
  Message request(42), reply;
  ASSERT_TRUE(client.exchange("127.0.0.1", peer.port(), request, reply));
  EXPECT_EQ(reply.tag, 1);
  EXPECT_EQ(reply.sender.toText(), TqString("127.0.0.1"));
  EXPECT_EQ(client.lastHost(), TqString("127.0.0.1"));
  ASSERT_EQ(peer.join(), 1);
  Message seen = peer.requests()[0];
  EXPECT_EQ(seen.tag, 42);
  EXPECT_EQ(seen.user, userName());
  EXPECT_EQ(seen.domain, clientDomain());
  EXPECT_EQ(seen.mac_address.value, macAddressText());
  EXPECT_EQ(seen.kerv_domain, TqString("farm"));
  EXPECT_EQ(seen.kerv_region, TqString("west"));
}

TEST_F(ClientTest, EmptyHostFailsQuietlyAndLeavesTheError) {
  Client client;
  Message request(1), reply;
  EXPECT_FALSE(client.exchange("", 50001, request, reply));
  EXPECT_EQ(client.error().code(), 0);
  EXPECT_EQ(env.log(), "");
}

TEST_F(ClientTest, ExplicitUnreachableSupervisorIsTheOnlyOneTried) {
  // UDP listens on the port and TCP refuses: discovery would arrive, a connection is refused.
  test::LoopbackListener discovery(Comm::kUdp, 20);
  test::RefusingPort refusing(discovery.port());
  ASSERT_TRUE(refusing.bound());
  env.writeConfig(portLine(discovery.port()) +
                  "supervisor_host = localhost\nsupervisor_domain = farm\n");
  writeCache("127.0.0.1", 10);
  Client client;
  client.setSupervisorHost("127.0.0.1");
  Message request(200), reply;
  EXPECT_FALSE(client.request(request, reply));
  EXPECT_EQ(client.error().code(), 35);
  EXPECT_EQ(countOf(env.log(), "ERROR: unable to establish tcp connection with "), 1);
  EXPECT_NE(env.log().find("with 127.0.0.1 - unable to connect to host: "), std::string::npos);
  EXPECT_EQ(discovery.accept(), nullptr);
}

TEST_F(ClientTest, ConfiguredSupervisorsAreVisitedFromARandomStart) {
  for (int32_t start : {0, 1, 2}) {
    std::mutex mutex;
    std::vector<int> order;
    auto mark = [&](int who) {
      return [&, who](Message&) {
        std::lock_guard<std::mutex> lock(mutex);
        order.push_back(who);
        Message answer(1);
        return who == 2 ? test::frameOf(answer) : test::Bytes();
      };
    };
    ScriptedSupervisor first, second, third;
    first.serve({mark(1)}, 500);
    second.serve({mark(2)}, 500);
    third.serve({mark(3)}, 500);
    env.random_value = start * 32768 / 3 + 1;
    Client client;
    for (ScriptedSupervisor* s : {&first, &second, &third}) {
      HostName entry;
      entry.host = "127.0.0.1";
      entry.port = s->port();
      client.addSupervisor(entry);
    }
    Message request(200), reply;
    EXPECT_TRUE(client.request(request, reply)) << "start " << start;
    EXPECT_EQ(reply.tag, 1);
    first.join();
    second.join();
    third.join();
    std::vector<int> expected = start == 0   ? std::vector<int>{1, 2}
                                : start == 1 ? std::vector<int>{2}
                                             : std::vector<int>{3, 1, 2};
    EXPECT_EQ(order, expected) << "start " << start;
  }
}

TEST_F(ClientTest, FreshCacheIsUsedAndStaleOrOlderThanConfigIsNot) {
  EXPECT_TRUE(cacheIsFresh(1000, 10, 1599));
  EXPECT_FALSE(cacheIsFresh(1000, 10, 1600));
  EXPECT_FALSE(cacheIsFresh(1000, 1000, 1001));
  EXPECT_FALSE(cacheIsFresh(0, 0, 10));

  ScriptedSupervisor peer;
  env.writeConfig(portLine(peer.port()));
  platform::setModificationTime(env.configPath(), std::time(nullptr) - 3600);
  writeCache("127.0.0.1", 300);
  EXPECT_EQ(readSupervisorCache(), TqString("127.0.0.1"));
  peer.serve({ScriptedSupervisor::reply(1)});
  Client client;
  Message request(200), reply;
  EXPECT_TRUE(client.request(request, reply));
  EXPECT_EQ(peer.join(), 1);

  writeCache("127.0.0.1", 900);
  EXPECT_EQ(readSupervisorCache(), TqString());
  writeCache("127.0.0.1", 300);
  platform::setModificationTime(env.configPath(), std::time(nullptr) - 10);
  EXPECT_EQ(readSupervisorCache(), TqString());
}

TEST_F(ClientTest, CacheThatHoldsAnythingButADottedQuadIsIgnored) {
  for (const char* text : {"evil.example.com", "127.0.0.1\n", "1.2.3.4 5.6.7.8", "", "1.2.3"}) {
    writeCache(text, 10);
    EXPECT_EQ(readSupervisorCache(), TqString()) << text;
  }
}

#ifndef _WIN32
TEST_F(ClientTest, PlantedCacheFilesAreNotTrusted) {
  std::string path = platform::nativePath(supervisorCachePath().str());
  std::string planted = env.dir.file("planted");
  auto plant = [&] {
    fs::remove(path);
    std::ofstream(planted, std::ios::trunc) << "127.0.0.1";
    platform::setModificationTime(planted, std::time(nullptr) - 10);
  };
  plant();
  fs::create_symlink(planted, path);
  EXPECT_EQ(readSupervisorCache(), TqString()) << "a link";
  EXPECT_NE(env.log().find("WARNING: ignoring supervisor cache file "), std::string::npos);

  plant();
  fs::copy_file(planted, path);
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_write);
  platform::setModificationTime(path, std::time(nullptr) - 10);
  EXPECT_EQ(readSupervisorCache(), TqString()) << "writable by others";

  plant();
  fs::create_hard_link(planted, path);
  EXPECT_EQ(readSupervisorCache(), TqString()) << "two links";

  plant();
  fs::copy_file(planted, path);
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  platform::setModificationTime(path, std::time(nullptr) - 10);
  EXPECT_EQ(readSupervisorCache(), TqString("127.0.0.1")) << "our own file is trusted";
  // Another owner: only root can hand a file to someone else.
  if (std::system(("chown 65534 '" + path + "' 2>/dev/null").c_str()) == 0) {
    EXPECT_EQ(readSupervisorCache(), TqString()) << "another owner";
  }
  // What we write ourselves is private.
  ASSERT_TRUE(writeSupervisorCache("10.1.2.3"));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::is_symlink(path));
}
#endif

TEST_F(ClientTest, NothingConfiguredMeansNoTrafficAtAll) {
  test::LoopbackListener discovery(Comm::kUdp, 20);
  test::RefusingPort refusing(discovery.port());
  env.writeConfig(portLine(discovery.port()));
  Client client;
  Message request(200), reply;
  EXPECT_FALSE(client.request(request, reply));
  EXPECT_EQ(discovery.accept(), nullptr);
  EXPECT_EQ(env.log(), "");
}

// A discovery responder written here: one datagram in, one hand-made datagram out.
void answerDiscovery(platform::SocketHandle socket, std::string& seen_domain) {
  uint8_t buffer[65535];
  platform::Endpoint from;
  if (platform::waitSocket(socket, 3000, platform::WaitFor::kRead) != 1) return;
  int32_t n = platform::receiveDatagram(socket, buffer, sizeof(buffer), from);
  if (n <= 5 || buffer[0] != 2) return;
  Message query;
  query.decode(buffer + 5, n - 5);
  if (query.tag == 401 && query.content() && query.content()->classId() == Domain::kClassId)
    seen_domain = static_cast<Domain*>(query.content())->name.str();
  Message found(1);
  found.encode();
  test::Bytes datagram{2};
  test::appendInt32(datagram, found.bufferLength());
  datagram.insert(datagram.end(), found.buffer(), found.buffer() + found.bufferLength());
  platform::sendDatagram(socket, datagram.data(), static_cast<int32_t>(datagram.size()), from);
}

TEST_F(ClientTest, DiscoveryFindsTheSupervisorAndCachesIt) {
  ScriptedSupervisor peer;
  env.writeConfig(portLine(peer.port()) + "supervisor_domain = farm\n");
  platform::SocketHandle udp = platform::openDatagramSocket();
  ASSERT_TRUE(platform::bindSocket(
      udp, platform::Endpoint{test::kLoopback, static_cast<uint16_t>(peer.port())}));
  std::string seen_domain;
  std::thread responder([&] { answerDiscovery(udp, seen_domain); });
  peer.serve({ScriptedSupervisor::reply(1)});
  Client client;
  Message request(200), reply;
  EXPECT_TRUE(client.request(request, reply));
  responder.join();
  platform::closeSocket(udp);
  EXPECT_EQ(seen_domain, "farm");
  EXPECT_EQ(peer.join(), 1);
  ASSERT_EQ(client.supervisors().count(), 1);
  EXPECT_EQ(client.supervisors()[0].host, TqString("127.0.0.1"));
  EXPECT_EQ(client.supervisors()[0].id, -1);
  EXPECT_EQ(readSupervisorCache(), TqString("127.0.0.1"));
}

TEST_F(ClientTest, RedirectionWithoutContentFailsWithoutASecondExchange) {
  ScriptedSupervisor peer;
  env.writeConfig(portLine(peer.port()) + "supervisor_host = 127.0.0.1\n");
  peer.serve({ScriptedSupervisor::reply(7), ScriptedSupervisor::reply(1)}, 300);
  Client client;
  Message request(200), reply;
  EXPECT_FALSE(client.request(request, reply));
  EXPECT_EQ(peer.join(), 1);
}

TEST_F(ClientTest, RedirectionIsFollowedOnceAndOnlyToSaneHosts) {
  ScriptedSupervisor first, second;
  env.writeConfig(portLine(first.port()) + "supervisor_host = 127.0.0.1\n");
  auto to = [](const char* host, int32_t port) {
    return ScriptedSupervisor::reply(7, [=](Message& m) {
      auto target = std::make_unique<HostName>();
      target->host = host;
      target->port = port;
      m.setContent(std::move(target));
    });
  };
  first.serve({to("127.0.0.1", second.port())});
  second.serve({to("127.0.0.1", first.port())});
  Client client;
  Message request(200), reply;
  EXPECT_TRUE(client.request(request, reply));
  EXPECT_EQ(reply.tag, 7);  // the second reply is not examined again
  EXPECT_EQ(first.join(), 1);
  EXPECT_EQ(second.join(), 1);

  first.serve({to("evil host; rm -rf", second.port())});
  second.serve({ScriptedSupervisor::reply(1)}, 300);
  Client again;
  EXPECT_FALSE(again.request(request, reply));
  EXPECT_EQ(second.join(), 1);  // nothing new arrived
  EXPECT_NE(env.log().find("ERROR: ignoring a redirection to an unusable host name."),
            std::string::npos);
}

TEST_F(ClientTest, BusySupervisorIsLoggedAndPausesThroughTheSleep) {
  ScriptedSupervisor peer;
  peer.serve({ScriptedSupervisor::reply(5)});
  env.random_value = 32767;
  Client client;
  Message request(200), reply;
  EXPECT_FALSE(client.exchange("127.0.0.1", peer.port(), request, reply));
  EXPECT_TRUE(client.wasRejected());
  EXPECT_NE(env.log().find("ERROR: max connections reached for 127.0.0.1 - connection rejected.\n"),
            std::string::npos);
  EXPECT_EQ(env.sleeps, std::vector<int32_t>{10000});
}

TEST_F(ClientTest, BlankAnswerFailsAfterAPauseAndSaysSo) {
  ScriptedSupervisor peer;
  peer.serve({ScriptedSupervisor::reply(0)});
  env.random_value = 0;
  Client client;
  Message request(200), reply;
  EXPECT_FALSE(client.exchange("127.0.0.1", peer.port(), request, reply));
  EXPECT_FALSE(client.wasRejected());
  EXPECT_EQ(client.error().code(), kEmptyAnswer);
  EXPECT_EQ(client.error().text().str(), "empty answer from supervisor 127.0.0.1 (127.0.0.1 port " +
                                             std::to_string(peer.port()) + ")");
  EXPECT_EQ(env.sleeps, std::vector<int32_t>{1000});
}

TEST_F(ClientTest, SupervisorThatNeverAnswersReleasesTheCallerAfterTheTimeout) {
  test::RawServer mute;
  Client client;
  client.setTimeout(50);
  Message request(200), reply;
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.exchange("127.0.0.1", mute.port(), request, reply));
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                .count();
  EXPECT_LT(ms, 2000);
  EXPECT_EQ(client.error().code(), 15);
  EXPECT_NE(
      env.log().find("ERROR: unable to receive from 127.0.0.1 - tcp receive socket timed out: no "
                     "answer within 50 ms."),
      std::string::npos);
}

TEST_F(ClientTest, RequestViaFallsBackToTheConfiguredSupervisor) {
  ScriptedSupervisor peer;
  env.writeConfig(portLine(peer.port()) + "supervisor_host = 127.0.0.1\n");
  peer.serve({ScriptedSupervisor::silence(), ScriptedSupervisor::reply(1)});
  Client client;
  Message request(200), reply;
  EXPECT_TRUE(client.requestVia("127.0.0.1", request, reply));
  EXPECT_EQ(peer.join(), 2);
  EXPECT_EQ(client.error().code(), 16);  // the first attempt's error stays
}

TEST_F(ClientTest, OverridesGiveTheClientItsHostAndTimeout) {
  env.writeConfig("client_timeout = 1234\n");
  Client plain;
  applyOverrides(plain);
  EXPECT_EQ(plain.timeout(), 1234);
  EXPECT_TRUE(plain.supervisorHost().empty());
  setSupervisorHostOverride("127.0.0.1");
  setTimeoutOverride(77);
  Client overridden;
  applyOverrides(overridden);
  setSupervisorHostOverride("");
  setTimeoutOverride(0);
  EXPECT_EQ(overridden.timeout(), 77);
  EXPECT_EQ(overridden.supervisorHost(), TqString("127.0.0.1"));
}

TEST_F(ClientTest, NotificationsAreOneWay) {
  ScriptedSupervisor peer;
  peer.serve({ScriptedSupervisor::silence()});
  Client client;
  Message note(33);
  EXPECT_TRUE(client.notify("127.0.0.1", peer.port(), note));
  EXPECT_EQ(peer.join(), 1);
  EXPECT_EQ(peer.requests()[0].tag, 33);
  Message reply;
  EXPECT_FALSE(client.requestAll(note, reply));  // nobody configured
}

}  // namespace
}  // namespace tq
