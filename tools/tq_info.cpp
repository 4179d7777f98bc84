// Prints what the library resolves on this machine: its version, the client configuration it
// reads, the paths built on it and the job types found along the search path.
//
// The paths follow the same redirections as the library (TQWINDIR, TQTEMPDIR). Reading the
// client configuration sets the installation directory that the job-type search path is built
// on; a tq.conf without a supervisor or domain draws the library's warning on standard error.
#include <cstdio>
#include <string>
#include <vector>

#include "client/job_type.h"
#include "config/client_config.h"
#include "config/defaults.h"
#include "config/logging.h"
#include "platform/file_system.h"
#include "records/options.h"
#include "records/version.h"

namespace {

constexpr const char* kHelp =
    "usage: tq-info [-help] [-version]\n"
    "Prints what the library resolves on this machine: its version, the client configuration\n"
    "(tq.conf in the Windows directory, or in $TQWINDIR), the paths built on it and the job types\n"
    "found along the search path ($TQPATH first).\n";

// A path as this system writes it ("/etc/tq.conf", not the library's "/etc\\tq.conf").
std::string shown(const tq::TqString& path) { return tq::platform::nativePath(path.str()); }

}  // namespace

int main(int argc, char** argv) {
  // Standard output is the program's own; the library's diagnostics go to standard error.
  tq::logSink().useStandardError(true);
  tq::OptionParser options;
  options.setHelpCallback([](tq::OptionParser&) { std::fputs(kHelp, stdout); });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", tq::kVersionText); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-info -help\n", stderr);
    return 2;
  }
  if (options.positionalCount() > 0) {
    std::fprintf(stderr, "ERROR: unexpected argument '%s'\ntry: tq-info -help\n",
                 options.positional(0)->c_str());
    return 2;
  }
  std::printf("version: %s\n", tq::kVersionText);
  std::string config_path = shown(tq::defaultText(301));
  bool found = tq::platform::fileAttributes(config_path).exists;
  std::printf("configuration file: %s%s\n", config_path.c_str(), found ? "" : " (not found)");
  std::fflush(stdout);
  tq::ClientConfig config;
  std::printf("installation directory: %s\n", shown(config.installDirectory()).c_str());
  std::printf("supervisors: %s\n",
              config.supervisorText().empty() ? "(none)" : config.supervisorText().c_str());
  std::printf("supervisor port: %d\n", config.supervisorPort());
  std::printf("client time-out: %d ms\n", config.timeout());
  std::printf("temporary directory: %s\n", shown(tq::defaultText(304)).c_str());
  std::printf("job-type search path: %s\n", shown(tq::defaultText(302)).c_str());
  // The types a job may name, as the submission call would find them ($TQPATH first).
  std::fflush(stdout);
  std::vector<tq::JobType> types = tq::JobType::available();
  std::printf("job types:%s\n", types.empty() ? " (none)" : "");
  for (const tq::JobType& type : types)
    std::printf("  %s  %s\n", type.name().c_str(), shown(type.directory()).c_str());
  return 0;
}
