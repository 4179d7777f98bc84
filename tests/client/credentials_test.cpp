// The credential request (tag 1011): its string_list, its answers, and the stand-in supervisor
// deciphering what the client sends back to the password.
#include "client/credentials.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "config/client_config.h"
#include "config/identity.h"
#include "support/client_environment.h"
#include "support/running_supervisor.h"
#include "support/scripted_supervisor.h"
#include "tools/dev_credential_key.h"
#include "transport/client.h"
#include "transport/error.h"

namespace tq {
namespace {

using test::ScriptedSupervisor;

TqString secure(const std::string& bytes) {
  TqString s;
  s.setSecure(true);
  s.assign(bytes.data(), static_cast<int32_t>(bytes.size()));
  return s;
}

class CredentialsTest : public ::testing::Test {
 protected:
  // Sends setCredentials to a scripted supervisor answering `tag`; the string_list it received.
  StringList sent(const TqString& user, const TqString& domain, const TqString& password,
                  int32_t tag = 1, bool* result = nullptr) {
    ScriptedSupervisor peer;
    env.writeConfig(
        "supervisor_host = 127.0.0.1\nsupervisor_port = " + std::to_string(peer.port()) + "\n");
    StringList received;
    int32_t received_tag = 0;
    peer.serve({[&](Message& request) {
      received_tag = request.tag;
      if (request.content() && request.content()->classId() == StringList::kClassId)
        received = *static_cast<StringList*>(request.content());
      return ScriptedSupervisor::reply(tag)(request);
    }});
    bool ok = setCredentials(user, domain, password);
    if (result) *result = ok;
    peer.join();
    EXPECT_EQ(received_tag, 1011);
    return received;
  }

  test::ClientEnvironment env;
};

TEST_F(CredentialsTest, SixteenBytesMakeOneBlockAndSeventeenTwo) {
  StringList one = sent("ann", "farm", secure("0123456789abcdef"));
  ASSERT_EQ(one.count(), 3);
  EXPECT_EQ(one[0].length(), 64);
  EXPECT_EQ(one[1], TqString("ann"));
  EXPECT_EQ(one[2], TqString("farm"));
  StringList two = sent("ann", "farm", secure("0123456789abcdefg"));
  ASSERT_EQ(two.count(), 3);
  EXPECT_EQ(two[0].length(), 128);
  EXPECT_EQ(two[0].view().substr(0, 64), one[0].view());
}

TEST_F(CredentialsTest, AnEmptyPasswordStillSendsTheRequest) {
  bool ok = false;
  StringList list = sent("ann", "farm", secure(""), 1, &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(list.count(), 3);
  EXPECT_TRUE(list[0].empty());
}

TEST_F(CredentialsTest, TheSamePasswordAlwaysGivesTheSameCipherText) {
  StringList first = sent("ann", "farm", secure("hunter2"));
  StringList second = sent("bob", "farm", secure("hunter2"));
  ASSERT_EQ(first.count(), 3);
  ASSERT_EQ(second.count(), 3);
  EXPECT_EQ(first[0], second[0]);
  EXPECT_NE(first[0], sent("ann", "farm", secure("hunter3"))[0]);
}

TEST_F(CredentialsTest, EmptyNamesAreThoseOfThisUser) {
  StringList list = sent("", "", secure("pw"));
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list[1], userName());
  EXPECT_EQ(list[2], clientDomain());
}

// The content of a credential request for one password, as it travels.
TEST_F(CredentialsTest, TheStringListIsPinnedByGoldenBytes) {
  StringList list = sent("ann", "farm", secure("correct horse battery"));
  int32_t n = list.encode();
  std::ifstream in(std::string(TQ_TEST_SOURCE_DIR) + "/client/golden/credentials_string_list.bin",
                   std::ios::binary);
  std::vector<uint8_t> golden((std::istreambuf_iterator<char>(in)), {});
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(std::vector<uint8_t>(list.buffer(), list.buffer() + n), golden);
}

TEST_F(CredentialsTest, ARefusalIsFalseAndSaysWhy) {
  ScriptedSupervisor peer;
  env.writeConfig("supervisor_host = 127.0.0.1\nsupervisor_port = " + std::to_string(peer.port()) +
                  "\n");
  peer.serve({ScriptedSupervisor::reply(3,
                                        [](Message& m) {
                                          auto text = std::make_unique<ErrorText>();
                                          text->value = "unknown user";
                                          m.setContent(std::move(text));
                                        }),
              ScriptedSupervisor::reply(3), ScriptedSupervisor::reply(7)});
  EXPECT_FALSE(setCredentials("ann", "farm", secure("pw")));
  EXPECT_EQ(lastError().code(), 100000);
  ASSERT_NE(lastError().value("ERROR"), nullptr);
  EXPECT_EQ(*lastError().value("ERROR"), TqString("unknown user"));
  EXPECT_FALSE(setCredentials("ann", "farm", secure("pw")));
  EXPECT_EQ(lastError().code(), 2051);
  // A redirection without a content is a failed exchange.
  EXPECT_FALSE(setCredentials("ann", "farm", secure("pw")));
  peer.join();
}

TEST_F(CredentialsTest, TheStandInSupervisorDeciphersThePasswordAndNeverLogsIt) {
  DevSupervisorOptions options;
  options.data_directory = TqString(env.dir.file("data"));
  test::RunningSupervisor running(options);
  ASSERT_TRUE(running.opened()) << running.supervisor().errorText();
  env.writeConfig(running.configLines());
  const std::string password = "s3cret \x80\xff and more than sixteen bytes";
  TqString secret = secure(password);
  EXPECT_TRUE(setCredentials("ann", "farm", secret));
  running.stop();
  const Password* stored = running.supervisor().credentials("ann", "farm");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->password, secret);
  EXPECT_TRUE(stored->password.isSecure());
  EXPECT_NE(env.log().find("credentials set for ann@farm"), std::string::npos);
  EXPECT_EQ(env.log().find("s3cret"), std::string::npos);
}

TEST_F(CredentialsTest, TheStandInSupervisorRefusesCipherTextThatDoesNotDecipher) {
  DevSupervisorOptions options;
  options.data_directory = TqString(env.dir.file("data"));
  test::RunningSupervisor running(options);
  ASSERT_TRUE(running.opened());
  StringList list;
  list.append(TqString("not hexadecimal"));
  list.append(TqString("ann"));
  list.append(TqString("farm"));
  Message request(1011), reply;
  request.setContentRef(list);
  Client client;
  ASSERT_TRUE(client.exchange("127.0.0.1", running.supervisor().port(), request, reply));
  request.releaseContent();
  EXPECT_EQ(reply.tag, 3);
  ASSERT_EQ(reply.content_type, ErrorText::kClassId);
  EXPECT_EQ(static_cast<ErrorText*>(reply.content())->value,
            TqString("tq-devsupervisor: the password does not decipher with the built-in key"));
  running.stop();
  EXPECT_EQ(running.supervisor().credentials("ann", "farm"), nullptr);
}

}  // namespace
}  // namespace tq
