// tq::ClientConfig: the client's view of the machine-wide "tq.conf" (in the Windows directory,
// text default 301; see config/defaults.h for where that is on each platform).
//
// Built whole by its constructor and read-only afterwards. Keys, in the order they are read:
//   tq_directory          installation directory (default number 0); it becomes the
//                         process-wide installation directory before any default below is
//                         computed, so it moves the defaults built on it
//   supervisor_host       supervisor host names, split at blanks and commas, then
//   tq_supervisor         more names, appended after them; each text replaces supervisorText
//   supervisor_domain     domain, replaced by tq_domain when that is set
//   tq_region             region
//   supervisor_logpath    default number 8 (installation directory + "\logs")
//   worker_address        (no default)
//   worker_template_path  default number 112 (the job-type search path)
//   worker_logpath        default number 111 (Windows directory + "\Temp")
//   client_logpath        (no default)
//   worker_logmode        default number 117 ("remote")
//   client_timeout        milliseconds; default number 306 (600000)
//   worker_port, supervisor_port, supervisor_sub_port, supervisor_http_port
//                         defaults numbers 113, 10, 49, 48 (50011, 50001, 50002, 44444)
//   client_account, client_host_domain, client_priority, client_cluster,
//   client_restrictions, client_drive_map, client_path_map   text, no default
//   client_job_flags      job flag names or a number (job/names.h); default number 305 (8)
//   client_flags          "ssl", "restrict_domain" or a number; default 0
// An absent or empty key takes its default. Numbers are read by their leading digits; a
// time-out that is not above 0, or a port outside 1..65535, takes the default too. When
// neither a supervisor nor a domain is configured, the line
//   WARNING: no tq_supervisor or tq_domain specified in tq.conf. (read from <the file>: ...)
// is written to the error stream, once for each state of the file in a process (a submission
// reads the file more than once); the object is complete all the same.
#pragma once

#include <cstdint>

#include "records/catalogue_hosts.h"
#include "records/tq_string.h"

namespace tq {

class ClientConfig {
 public:
  static constexpr int32_t kClassId = 75;

  ClientConfig();
  ClientConfig(const ClientConfig&) = delete;
  ClientConfig& operator=(const ClientConfig&) = delete;

  // "host_name" records: the host as configured, port 0, id -1.
  const HostNameList& supervisors() const { return supervisors_; }
  const TqString& domain() const { return domain_; }
  const TqString& region() const { return region_; }
  const TqString& installDirectory() const { return install_directory_; }
  const TqString& supervisorText() const { return supervisor_text_; }
  const TqString& supervisorLogPath() const { return supervisor_log_path_; }
  const TqString& workerLogPath() const { return worker_log_path_; }
  const TqString& clientLogPath() const { return client_log_path_; }
  const TqString& workerAddress() const { return worker_address_; }
  const TqString& workerTemplatePath() const { return worker_template_path_; }
  const TqString& workerLogMode() const { return worker_log_mode_; }
  const TqString& cluster() const { return cluster_; }
  const TqString& hostDomain() const { return host_domain_; }
  const TqString& account() const { return account_; }
  const TqString& restrictions() const { return restrictions_; }
  const TqString& driveMap() const { return drive_map_; }
  const TqString& pathMap() const { return path_map_; }
  const TqString& priority() const { return priority_; }
  int32_t workerPort() const { return worker_port_; }
  int32_t supervisorPort() const { return supervisor_port_; }
  int32_t supervisorSubPort() const { return supervisor_sub_port_; }
  int32_t supervisorHttpPort() const { return supervisor_http_port_; }
  int32_t clientFlags() const { return client_flags_; }
  int32_t jobFlags() const { return job_flags_; }
  int32_t timeout() const { return timeout_; }

 private:
  HostNameList supervisors_;
  TqString domain_;
  TqString region_;
  TqString install_directory_;
  TqString supervisor_text_;
  TqString supervisor_log_path_;
  TqString worker_log_path_;
  TqString client_log_path_;
  TqString worker_address_;
  TqString worker_template_path_;
  TqString worker_log_mode_;
  TqString cluster_;
  TqString host_domain_;
  TqString account_;
  TqString restrictions_;
  TqString drive_map_;
  TqString path_map_;
  TqString priority_;
  int32_t worker_port_ = 0;
  int32_t supervisor_port_ = 0;
  int32_t supervisor_sub_port_ = 0;
  int32_t supervisor_http_port_ = 0;
  int32_t client_flags_ = 0;
  int32_t job_flags_ = 0;
  int32_t timeout_ = 0;
};

// The account domain the client reports for the current user: the configured
// "client_host_domain" when there is one; else, on Windows, the domain of the process's logon
// session, or "." when that is this computer (a local account), empty, or cannot be read. On
// other systems, without logon sessions, "." unless a domain is configured.
TqString clientDomain();
// The same from a configuration already read.
TqString clientDomain(const ClientConfig& config);

// The rule above for a logon domain and computer name (NetBIOS names compare without regard to
// case).
TqString domainOfLogon(const TqString& logon_domain, const TqString& computer_name);

}  // namespace tq
