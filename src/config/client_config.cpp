#include "config/client_config.h"

#include <cstdio>

#include "config/config_limits.h"
#include "config/config_record.h"
#include "config/defaults.h"
#include "config/logging.h"
#include "job/names.h"
#include "platform/file_system.h"
#include "platform/logon_domain.h"

namespace tq {
namespace {

constexpr const char kNoSupervisorWarning[] =
    "WARNING: no tq_supervisor or tq_domain specified in tq.conf.";

constexpr const char kTooManyHostsWarning[] =
    "WARNING: more than %d supervisor hosts in tq.conf; the rest are ignored.\n";

// Appends the host names of `text`, up to kMaxSupervisorHosts in the list; false when names
// were left out.
bool appendHosts(const TqString& text, HostNameList& out) {
  std::string_view rest = text.view();
  while (!rest.empty()) {
    size_t start = rest.find_first_not_of(" \t,");
    if (start == std::string_view::npos) break;
    if (out.count() >= kMaxSupervisorHosts) return false;
    rest.remove_prefix(start);
    size_t end = rest.find_first_of(" \t,");
    if (end == std::string_view::npos) end = rest.size();
    HostName host;
    host.host = TqString(rest.substr(0, end));
    host.port = 0;
    host.id = -1;
    out.append(std::move(host));
    rest.remove_prefix(end);
  }
  return true;
}

// The text, or the text default `number` when it is empty.
TqString textOr(const TqString& value, int number) {
  return value.empty() ? defaultText(number) : value;
}

// The leading (signed) decimal number, or the integer default `number` when there is none or
// it is out of range. A time-out must be above 0; a port must be a port.
int32_t numberOr(const TqString& value, int number, int32_t low, int32_t high) {
  int32_t n = value.toInt();
  return n >= low && n <= high ? n : defaultNumber(number);
}

constexpr int32_t kMaxPort = 65535;

}  // namespace

ClientConfig::ClientConfig() {
  ConfigRecord file(defaultText(301));

  install_directory_ = textOr(file.get("tq_directory"), 0);
  setInstallDirectory(install_directory_);

  supervisor_text_ = file.get("supervisor_host");
  bool all_hosts = appendHosts(supervisor_text_, supervisors_);
  if (!file.get("tq_supervisor").empty()) {
    supervisor_text_ = file.get("tq_supervisor");
    all_hosts = appendHosts(supervisor_text_, supervisors_) && all_hosts;
  }
  const std::string path = platform::nativePath(defaultText(301).view());
  // One submission reads the file more than once; the user needs each warning once.
  const std::string cause = path + " " +
                            std::to_string(platform::modificationTime(path).value_or(0)) + " " +
                            std::to_string(supervisor_text_.length());
  if (!all_hosts && firstTimeFor("hosts " + cause)) {
    std::fprintf(stderr, kTooManyHostsWarning, kMaxSupervisorHosts);
    std::fflush(stderr);
  }
  domain_ = file.get("supervisor_domain");
  if (!file.get("tq_domain").empty()) domain_ = file.get("tq_domain");
  region_ = file.get("tq_region");

  supervisor_log_path_ = textOr(file.get("supervisor_logpath"), 8);
  worker_address_ = file.get("worker_address");
  worker_template_path_ = textOr(file.get("worker_template_path"), 112);
  worker_log_path_ = textOr(file.get("worker_logpath"), 111);
  client_log_path_ = file.get("client_logpath");
  worker_log_mode_ = textOr(file.get("worker_logmode"), 117);

  timeout_ = numberOr(file.get("client_timeout"), 306, 1, INT32_MAX);
  worker_port_ = numberOr(file.get("worker_port"), 113, 1, kMaxPort);
  supervisor_port_ = numberOr(file.get("supervisor_port"), 10, 1, kMaxPort);
  supervisor_sub_port_ = numberOr(file.get("supervisor_sub_port"), 49, 1, kMaxPort);
  supervisor_http_port_ = numberOr(file.get("supervisor_http_port"), 48, 1, kMaxPort);

  account_ = file.get("client_account");
  host_domain_ = file.get("client_host_domain");
  priority_ = file.get("client_priority");
  cluster_ = file.get("client_cluster");
  restrictions_ = file.get("client_restrictions");
  drive_map_ = file.get("client_drive_map");
  path_map_ = file.get("client_path_map");

  const TqString& job_flags = file.get("client_job_flags");
  job_flags_ = job_flags.empty() ? defaultNumber(305) : kJobFlagNames.textToBits(job_flags);
  // Names are combined bit by bit, so "ssl,ssl" is still only ssl.
  client_flags_ = kClientFlagNames.textToBits(file.get("client_flags"));

  if (supervisors_.empty() && domain_.empty() && firstTimeFor("supervisor " + cause)) {
    std::fprintf(stderr, "%s (read from %s: set supervisor_host or supervisor_domain)\n",
                 kNoSupervisorWarning, path.c_str());
    std::fflush(stderr);
  }
}

TqString domainOfLogon(const TqString& logon_domain, const TqString& computer_name) {
  if (logon_domain.empty() || logon_domain.equals(computer_name, 1)) return TqString(".");
  return logon_domain;
}

TqString clientDomain() { return clientDomain(ClientConfig()); }

TqString clientDomain(const ClientConfig& config) {
  if (!config.hostDomain().empty()) return config.hostDomain();
  platform::LogonDomain logon;
  if (!platform::currentLogonDomain(logon)) return TqString(".");
  return domainOfLogon(TqString(logon.domain), TqString(logon.computer));
}

}  // namespace tq
