#include "config/client_config.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/config_limits.h"
#include "config/defaults.h"
#include "config/file_util.h"
#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

// The warning, with the file it read.
std::string warning(const std::string& directory) {
  return "WARNING: no tq_supervisor or tq_domain specified in tq.conf. (read from " +
         platform::nativePath(directory + "\\tq.conf") +
         ": set supervisor_host or supervisor_domain)\n";
}

// A Windows directory of its own holding the given tq.conf (none when `text` is null). The
// installation directory comes back afterwards.
class ClientConfigTest : public testing::Test {
 protected:
  ClientConfigTest()
      : windir_(platform::kWindowsDirectoryVariable, dir_.path()), install_(installDirectory()) {}

  // Builds the configuration and answers what went to the error stream.
  std::string build(const char* text) {
    if (text != nullptr) {
      EXPECT_TRUE(writeFile(defaultText(301), text));
    }
    testing::internal::CaptureStderr();
    config_ = std::make_unique<ClientConfig>();
    return testing::internal::GetCapturedStderr();
  }
  const ClientConfig& config() const { return *config_; }

  test::TempDir dir_;
  platform::ScopedEnvironmentVariable windir_;
  ScopedInstallDirectory install_;
  std::unique_ptr<ClientConfig> config_;
};

TEST_F(ClientConfigTest, TheFileLivesInTheWindowsDirectory) {
  EXPECT_EQ(defaultText(301), TqString(dir_.path() + "\\tq.conf"));
}

TEST_F(ClientConfigTest, AnEmptyFileGivesEveryDefaultAndTheWarning) {
  EXPECT_EQ(build(""), warning(dir_.path()));
  const ClientConfig& c = config();
  EXPECT_EQ(c.supervisorPort(), 50001);
  EXPECT_EQ(c.supervisorSubPort(), 50002);
  EXPECT_EQ(c.supervisorHttpPort(), 44444);
  EXPECT_EQ(c.workerPort(), 50011);
  EXPECT_EQ(c.timeout(), 600000);
  EXPECT_EQ(c.jobFlags(), 8);
  EXPECT_EQ(c.clientFlags(), 0);
  EXPECT_EQ(c.workerLogMode(), TqString("remote"));
  EXPECT_EQ(c.installDirectory(), TqString("C:\\Program Files\\orl\\kerv"));
  EXPECT_EQ(installDirectory(), TqString("C:\\Program Files\\orl\\kerv"));
  EXPECT_EQ(c.supervisorLogPath(), TqString("C:\\Program Files\\orl\\kerv\\logs"));
  EXPECT_EQ(c.workerTemplatePath(), jobTypeSearchPath("C:\\Program Files\\orl\\kerv"));
  EXPECT_EQ(c.workerLogPath(), TqString(dir_.path() + "\\Temp"));
  EXPECT_TRUE(c.supervisors().empty());
  for (const TqString* text : {&c.domain(), &c.region(), &c.supervisorText(), &c.clientLogPath(),
                               &c.workerAddress(), &c.cluster(), &c.hostDomain(), &c.account(),
                               &c.restrictions(), &c.driveMap(), &c.pathMap(), &c.priority()}) {
    EXPECT_TRUE(text->empty()) << *text;
  }
}

TEST_F(ClientConfigTest, AMissingFileIsTheSameAsAnEmptyOne) {
  EXPECT_EQ(build(nullptr), warning(dir_.path()));
  EXPECT_EQ(config().timeout(), 600000);
}

TEST_F(ClientConfigTest, EveryKeyIsRead) {
  std::string errors = build(
      "tq_directory = D:\\kerv\n"
      "supervisor_domain = farm\n"
      "tq_region = west\n"
      "supervisor_logpath = L\n"
      "worker_address = 10.0.0.1\n"
      "worker_template_path = T\n"
      "worker_logpath = W\n"
      "client_logpath = C\n"
      "worker_logmode = local\n"
      "client_timeout = 250\n"
      "worker_port = 1\n"
      "supervisor_port = 2\n"
      "supervisor_sub_port = 3\n"
      "supervisor_http_port = 4\n"
      "client_account = acct\n"
      "client_host_domain = HOSTDOM\n"
      "client_priority = 50\n"
      "client_cluster = /c\n"
      "client_restrictions = r\n"
      "client_drive_map = 'X: \\\\srv\\share'\n"
      "client_path_map = pm\n"
      "client_job_flags = 'grid, mail'\n"
      "client_flags = ssl\n");
  EXPECT_EQ(errors, "");  // a domain is enough
  const ClientConfig& c = config();
  EXPECT_EQ(c.installDirectory(), TqString("D:\\kerv"));
  EXPECT_EQ(c.domain(), TqString("farm"));
  EXPECT_EQ(c.region(), TqString("west"));
  EXPECT_EQ(c.supervisorLogPath(), TqString("L"));
  EXPECT_EQ(c.workerAddress(), TqString("10.0.0.1"));
  EXPECT_EQ(c.workerTemplatePath(), TqString("T"));
  EXPECT_EQ(c.workerLogPath(), TqString("W"));
  EXPECT_EQ(c.clientLogPath(), TqString("C"));
  EXPECT_EQ(c.workerLogMode(), TqString("local"));
  EXPECT_EQ(c.timeout(), 250);
  EXPECT_EQ(c.workerPort(), 1);
  EXPECT_EQ(c.supervisorPort(), 2);
  EXPECT_EQ(c.supervisorSubPort(), 3);
  EXPECT_EQ(c.supervisorHttpPort(), 4);
  EXPECT_EQ(c.account(), TqString("acct"));
  EXPECT_EQ(c.hostDomain(), TqString("HOSTDOM"));
  EXPECT_EQ(c.priority(), TqString("50"));
  EXPECT_EQ(c.cluster(), TqString("/c"));
  EXPECT_EQ(c.restrictions(), TqString("r"));
  EXPECT_EQ(c.driveMap(), TqString("X: \\\\srv\\share"));
  EXPECT_EQ(c.pathMap(), TqString("pm"));
  EXPECT_EQ(c.jobFlags(), 0x404);
  EXPECT_EQ(c.clientFlags(), 64);
}

TEST_F(ClientConfigTest, SupervisorsInOrderFromBothKeys) {
  EXPECT_EQ(build("tq_supervisor = 'alpha,beta'\nsupervisor_host = first\n"), "");
  const HostNameList& s = config().supervisors();
  ASSERT_EQ(s.count(), 3);
  EXPECT_EQ(s[0].host, TqString("first"));
  EXPECT_EQ(s[1].host, TqString("alpha"));
  EXPECT_EQ(s[2].host, TqString("beta"));
  for (int32_t i = 0; i < s.count(); ++i) {
    EXPECT_EQ(s[i].port, 0);
    EXPECT_EQ(s[i].id, -1);
  }
  EXPECT_EQ(config().supervisorText(), TqString("alpha,beta"));
}

TEST_F(ClientConfigTest, HostListsSplitAtBlanksAndCommasSkippingEmptyPieces) {
  build("supervisor_host = ' a,, b ,c '\n");
  ASSERT_EQ(config().supervisors().count(), 3);
  EXPECT_EQ(config().supervisors()[2].host, TqString("c"));
  EXPECT_EQ(config().supervisorText(), TqString(" a,, b ,c "));
}

TEST_F(ClientConfigTest, TqDomainReplacesSupervisorDomain) {
  build("supervisor_domain = old\ntq_domain = new\n");
  EXPECT_EQ(config().domain(), TqString("new"));
}

TEST_F(ClientConfigTest, NumbersThatAreNotUsableTakeTheirDefaults) {
  build(
      "client_timeout = 0\nsupervisor_port = http\nworker_port = -5\n"
      "supervisor_sub_port = 70000\nsupervisor_http_port = 8080x\n");
  EXPECT_EQ(config().timeout(), 600000);
  EXPECT_EQ(config().supervisorPort(), 50001);
  EXPECT_EQ(config().workerPort(), 50011);
  EXPECT_EQ(config().supervisorSubPort(), 50002);
  EXPECT_EQ(config().supervisorHttpPort(), 8080);  // leading digits count
  build("client_timeout = -1\n");
  EXPECT_EQ(config().timeout(), 600000);
}

TEST_F(ClientConfigTest, FlagTexts) {
  build("client_flags = 192\nclient_job_flags = 12\n");
  EXPECT_EQ(config().clientFlags(), 192);
  EXPECT_EQ(config().jobFlags(), 12);
  build("client_flags = 'ssl, restrict_domain, other'\nclient_job_flags = uninterruptable\n");
  EXPECT_EQ(config().clientFlags(), 192);
  EXPECT_EQ(config().jobFlags(), 1);
  build("client_flags = ssl,ssl\nclient_job_flags = bogus\n");
  EXPECT_EQ(config().clientFlags(), 64);
  EXPECT_EQ(config().jobFlags(), 0);
}

TEST_F(ClientConfigTest, TheInstallDirectoryMovesItsDefaults) {
  build("tq_directory = C:\\farm\\kerv\n");
  EXPECT_EQ(installDirectory(), TqString("C:\\farm\\kerv"));
  EXPECT_EQ(config().supervisorLogPath(), TqString("C:\\farm\\kerv\\logs"));
  EXPECT_EQ(config().workerTemplatePath(),
            TqString("C:\\farm\\kerv\\types;C:\\farm\\jobtypes;C:\\farm\\jobtypes"));
}

TEST_F(ClientConfigTest, ClientDomainPrefersTheConfiguredHostDomain) {
  build("client_host_domain = CORP\ntq_domain = farm\n");
  EXPECT_EQ(clientDomain(), TqString("CORP"));
}

TEST_F(ClientConfigTest, ClientDomainWithoutAConfiguredOne) {
  build("tq_domain = farm\n");
  TqString domain = clientDomain();
#ifdef _WIN32
  EXPECT_FALSE(domain.empty());  // the logon session's domain, or "."
#else
  EXPECT_EQ(domain, TqString("."));
#endif
}

TEST(ClientDomainTest, LogonDomainRules) {
  EXPECT_EQ(domainOfLogon("", "PC1"), TqString("."));
  EXPECT_EQ(domainOfLogon("PC1", "PC1"), TqString("."));
  EXPECT_EQ(domainOfLogon("pc1", "PC1"), TqString("."));
  EXPECT_EQ(domainOfLogon("CORP", "PC1"), TqString("CORP"));
  EXPECT_EQ(domainOfLogon("CORP", ""), TqString("CORP"));
}

TEST_F(ClientConfigTest, HostListsStopAtTheBoundWithAWarning) {
  // supervisor_host fills the list all but one; tq_supervisor adds that one and no more.
  std::string hosts;
  for (int i = 0; i < kMaxSupervisorHosts - 1; ++i) hosts += "h" + std::to_string(i) + ",";
  std::string text = "supervisor_host = " + hosts + "\ntq_supervisor = last,extra1,extra2\n";
  std::string errors = build(text.c_str());
  EXPECT_EQ(errors, "WARNING: more than " + std::to_string(kMaxSupervisorHosts) +
                        " supervisor hosts in tq.conf; the rest are ignored.\n");
  ASSERT_EQ(config().supervisors().count(), kMaxSupervisorHosts);
  EXPECT_EQ(config().supervisors()[0].host, TqString("h0"));
  EXPECT_EQ(config().supervisors()[kMaxSupervisorHosts - 1].host, TqString("last"));
  EXPECT_EQ(config().supervisorText(), TqString("last,extra1,extra2"));
}

TEST_F(ClientConfigTest, ExactlyTheBoundOfHostsGivesNoWarning) {
  std::string hosts;
  for (int i = 0; i < kMaxSupervisorHosts; ++i) hosts += " h" + std::to_string(i);
  std::string text = "supervisor_host = \"" + hosts + " ,, \"\n";
  EXPECT_EQ(build(text.c_str()), "");
  EXPECT_EQ(config().supervisors().count(), kMaxSupervisorHosts);
}

TEST_F(ClientConfigTest, AFlagListOfMillionsOfEmptyNamesStillFindsTheNamesInFront) {
  // Names past the splitter's bound are left out; those before it still count.
  std::string text = "client_flags = ssl" + std::string(2000000, ',') + "restrict_domain\n";
  build(text.c_str());
  EXPECT_EQ(config().clientFlags(), 64);
}

}  // namespace
}  // namespace tq
