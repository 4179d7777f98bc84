// tq-work: a job program for the farm and for local development (see tools/work/work_loop.h).
#include <cstdio>

#include "config/logging.h"
#include "records/options.h"
#include "records/version.h"
#include "work_loop.h"

namespace {

constexpr const char* kHelp =
    "usage: tq-work -command TEXT [-dev JOBFILE]\n"
    "A job program: takes the work items of its job one at a time, runs TEXT for each and\n"
    "reports each item complete (exit status 0) or failed, then reports its own status.\n"
    "\n"
    "  -command TEXT   the command line for one item, run by the system's interpreter\n"
    "                  (cmd.exe /C on Windows, /bin/sh -c elsewhere); in it %w is the item's\n"
    "                  name, %j the job id, %s the sub-job id and %% one %\n"
    "  -dev JOBFILE    development mode: the items are the agenda of the job file (text or\n"
    "                  binary) and nothing is sent\n"
    "  -help, -version\n"
    "On the farm the assignment is that of TQJOBID and TQSUBID, asked of the worker\n"
    "(worker_address and worker_port of tq.conf); items come from the supervisor's sub port.\n"
    "Options may be shortened to any unambiguous prefix.\n"
    "Exit status: 0 when every item completed, 1 when one failed or the supervisor was lost,\n"
    "2 for a usage error.\n";

int usage(const char* why) {
  std::fprintf(stderr, "ERROR: %s\ntry: tq-work -help\n", why);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Standard output is the program's own; the library's diagnostics go to standard error.
  tq::logSink().useStandardError(true);
  tq::OptionParser options;
  options.declareString("command");
  options.declareString("dev");
  options.setHelpCallback([](tq::OptionParser&) { std::fputs(kHelp, stdout); });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", tq::kVersionText); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-work -help\n", stderr);
    return 2;
  }
  if (options.positionalCount() > 0) return usage("unexpected argument");
  tq::WorkLoopOptions settings;
  if (!options.stringValue("command", settings.command) || settings.command.empty())
    return usage("-command TEXT is required");
  if (options.isSet("dev") &&
      (!options.stringValue("dev", settings.development_file) || settings.development_file.empty()))
    return usage("-dev expects a job file");
  return tq::runWorkLoop(settings).exitStatus();
}
