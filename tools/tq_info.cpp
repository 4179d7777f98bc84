// Prints what the library resolves on this machine: its version and its main paths.
//
// The paths follow the same redirections as the library (TQWINDIR, TQTEMPDIR). The job-type
// search path depends on the installation directory, which the client configuration sets; until
// a configuration has been read it is built on an empty installation directory.
#include <cstdio>

#include "config/defaults.h"

int main() {
  std::printf("version: %s\n", TQ_VERSION_TEXT);
  std::printf("configuration file: %s\n", tq::defaultText(301).c_str());
  std::printf("temporary directory: %s\n", tq::defaultText(304).c_str());
  std::printf("job-type search path: %s\n", tq::defaultText(302).c_str());
  return 0;
}
