// Prints what the library resolves on this machine: its version, the client configuration it
// reads and the paths built on it.
//
// The paths follow the same redirections as the library (TQWINDIR, TQTEMPDIR). Reading the
// client configuration sets the installation directory that the job-type search path is built
// on; a tq.conf without a supervisor or domain draws the library's warning on standard error.
#include <cstdio>

#include "config/client_config.h"
#include "config/defaults.h"
#include "records/version.h"

int main() {
  std::printf("version: %s\n", tq::kVersionText);
  std::printf("configuration file: %s\n", tq::defaultText(301).c_str());
  std::fflush(stdout);
  tq::ClientConfig config;
  std::printf("installation directory: %s\n", config.installDirectory().c_str());
  std::printf("supervisors: %s\n", config.supervisorText().empty() ? "(none)" : config.supervisorText().c_str());
  std::printf("supervisor port: %d\n", config.supervisorPort());
  std::printf("client time-out: %d ms\n", config.timeout());
  std::printf("temporary directory: %s\n", tq::defaultText(304).c_str());
  std::printf("job-type search path: %s\n", tq::defaultText(302).c_str());
  return 0;
}
