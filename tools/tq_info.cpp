// Prints what the library resolves on this machine: its version, the client configuration it
// reads, the paths built on it and the job types found along the search path.
//
// The paths follow the same redirections as the library (TQWINDIR, TQTEMPDIR). Reading the
// client configuration sets the installation directory that the job-type search path is built
// on; a tq.conf without a supervisor or domain draws the library's warning on standard error.
#include <cstdio>
#include <vector>

#include "client/job_type.h"
#include "config/client_config.h"
#include "config/defaults.h"
#include "records/version.h"

int main() {
  std::printf("version: %s\n", tq::kVersionText);
  std::printf("configuration file: %s\n", tq::defaultText(301).c_str());
  std::fflush(stdout);
  tq::ClientConfig config;
  std::printf("installation directory: %s\n", config.installDirectory().c_str());
  std::printf("supervisors: %s\n",
              config.supervisorText().empty() ? "(none)" : config.supervisorText().c_str());
  std::printf("supervisor port: %d\n", config.supervisorPort());
  std::printf("client time-out: %d ms\n", config.timeout());
  std::printf("temporary directory: %s\n", tq::defaultText(304).c_str());
  std::printf("job-type search path: %s\n", tq::defaultText(302).c_str());
  // The types a job may name, as the submission call would find them ($TQPATH first).
  std::fflush(stdout);
  std::vector<tq::JobType> types = tq::JobType::available();
  std::printf("job types:%s\n", types.empty() ? " (none)" : "");
  for (const tq::JobType& type : types)
    std::printf("  %s  %s\n", type.name().c_str(), type.directory().c_str());
  return 0;
}
