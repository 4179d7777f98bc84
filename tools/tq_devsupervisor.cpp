// tq-devsupervisor: a stand-in supervisor for local work, demos and tests (see
// tools/devsupervisor/dev_supervisor.h).
#include <cstdio>
#include <string>

#include "config/logging.h"
#include "config/number_list.h"
#include "dev_supervisor.h"
#include "platform/file_system.h"
#include "records/basic_records.h"
#include "records/option_table.h"
#include "records/options.h"
#include "records/version.h"

namespace {

using M = tq::DevSupervisorOptions::Misbehaviour;

// What the command line gives: the settings, and how many misbehaviours were asked for.
struct Settings {
  tq::DevSupervisorOptions options;
  int misbehaviours = 0;
};

bool port(const tq::TqString& value, const char* name, int32_t& out, std::string& why) {
  int32_t n = value.toInt();
  if (n < 0 || n > 65535) {
    why = std::string("-") + name + " expects 0 to 65535";
    return false;
  }
  out = n;
  return true;
}

bool misbehave(Settings& s, M how) {
  s.options.misbehaviour = how;
  ++s.misbehaviours;
  return true;
}

bool applyRedirect(Settings& s, const tq::TqString& value, std::string& why) {
  std::string target = value.str();
  size_t colon = target.rfind(':');
  if (colon == std::string::npos || colon == 0) {
    why = "-redirect expects HOST:PORT";
    return false;
  }
  s.options.redirect_host = tq::TqString(target.substr(0, colon).c_str());
  s.options.redirect_port = tq::TqString(target.substr(colon + 1).c_str()).toInt();
  if (s.options.redirect_port < 1 || s.options.redirect_port > 65535) {
    why = "-redirect expects a port of 1 to 65535";
    return false;
  }
  return misbehave(s, M::kRedirect);
}

using Row = tq::OptionRow<Settings>;
using tq::Option;
using tq::TqString;

const Row kOptions[] = {
    {"port", Option::kIntegerParameter, "N",
     "TCP and UDP port (default: the supervisor port of tq.conf, 50001;\n0: any free port); the "
     "ports are printed on start",
     [](Settings& s, const TqString& v, std::string& why) {
       return port(v, "port", s.options.port, why);
     }},
    {"worker-port", Option::kIntegerParameter, "N",
     "where job programs ask for their assignment and report their\nstatus (default: the worker "
     "port of tq.conf, 50011; 0: any)",
     [](Settings& s, const TqString& v, std::string& why) {
       return port(v, "worker-port", s.options.worker_port, why);
     }},
    {"sub-port", Option::kIntegerParameter, "N",
     "where job programs take and report work items (default: the\nsupervisor sub port of "
     "tq.conf, 50002; 0: any)",
     [](Settings& s, const TqString& v, std::string& why) {
       return port(v, "sub-port", s.options.sub_port, why);
     }},
    {"agenda", Option::kStringParameter, "LIST",
     "work items for jobs submitted without an agenda, named by the\nnumbers of LIST (\"1-10\", "
     "\"001-120x5\", \"2,4,8\")",
     [](Settings& s, const TqString& v, std::string& why) {
       tq::NumberList numbers;
       numbers.parse(v.view());
       why = "-agenda expects a number list such as 1-10";
       s.options.agenda = v;
       return numbers.count() > 0;
     }},
    {"address", Option::kStringParameter, "A.B.C.D", "address to listen on (default 127.0.0.1)",
     [](Settings& s, const TqString& v, std::string& why) {
       tq::Address address;
       why = "-address expects a dotted quad such as 127.0.0.1";
       if (!tq::Address::isDottedQuad(v) || !address.parse(v)) return false;
       s.options.address = address.get();
       return true;
     }},
    {"data", Option::kStringParameter, "DIR",
     "where jobs and the identifier counter are kept\n(default: <temporary "
     "directory>/tq-devsupervisor)",
     [](Settings& s, const TqString& v, std::string&) {
       s.options.data_directory = v;
       return true;
     }},
    {"count", Option::kIntegerParameter, "N", "stop after N requests (default: run until Ctrl-C)",
     [](Settings& s, const TqString& v, std::string&) {
       s.options.count = v.toInt();
       return true;
     }},
    {nullptr, Option::kFlag, "", "Misbehaviour, to see how clients cope (at most one)", nullptr},
    {"refuse", Option::kStringParameter, "TEXT",
     "refuse every submission with an error record of TEXT",
     [](Settings& s, const TqString& v, std::string&) {
       s.options.refuse_text = v;
       return misbehave(s, M::kRefuse);
     }},
    {"busy", Option::kFlag, "", "answer every request with tag 5 (too many connections)",
     [](Settings& s, const TqString&, std::string&) { return misbehave(s, M::kBusy); }},
    {"blank", Option::kFlag, "", "answer every request with tag 0 (no answer)",
     [](Settings& s, const TqString&, std::string&) { return misbehave(s, M::kBlank); }},
    {"redirect", Option::kStringParameter, "HOST:PORT",
     "redirect every request (tag 7) to HOST at PORT", applyRedirect},
    {"hold", Option::kIntegerParameter, "MS",
     "answer nothing; hold each connection up to MS milliseconds",
     [](Settings& s, const TqString& v, std::string&) {
       s.options.hold_ms = v.toInt();
       return misbehave(s, M::kHold);
     }},
    {"cut", Option::kFlag, "", "cut every answer short in the middle of its frame",
     [](Settings& s, const TqString&, std::string&) { return misbehave(s, M::kCut); }},
    {"wrong-class", Option::kFlag, "",
     "answer submissions with a string_list instead of a job_list",
     [](Settings& s, const TqString&, std::string&) { return misbehave(s, M::kWrongClass); }},
};

constexpr const char* kAbout =
    "usage: tq-devsupervisor [options]\n"
    "A stand-in supervisor for local work: accepts submissions, gives each job the next\n"
    "identifier and stores it as a text job file; answers discovery on UDP; and plays the\n"
    "worker for job programs such as tq-work: hands out assignments and work items and\n"
    "records their reports in the stored job files.\n"
    "\n";
constexpr const char* kEnd =
    "  -help, -version\n"
    "Options may be shortened to any unambiguous prefix.\n";

int usage(const std::string& why) {
  std::fprintf(stderr, "ERROR: %s\ntry: tq-devsupervisor -help\n", why.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Standard output is the program's report; the library's diagnostics go to standard error.
  tq::logSink().useStandardError(true);
  tq::OptionParser options;
  tq::declareOptions(options, kOptions);
  options.setHelpCallback([](tq::OptionParser&) {
    std::fputs((kAbout + tq::optionHelp(kOptions) + kEnd).c_str(), stdout);
  });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", TQ_VERSION_TEXT); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-devsupervisor -help\n", stderr);
    return 2;
  }
  if (options.positionalCount() > 0) return usage("unexpected argument");

  Settings settings;
  {
    tq::ClientConfig config;
    settings.options.port = config.supervisorPort();
    settings.options.worker_port = config.workerPort();
    settings.options.sub_port = config.supervisorSubPort();
  }
  std::string why;
  if (!tq::applyOptions(options, kOptions, settings, why)) return usage(why);
  if (settings.misbehaviours > 1) return usage("give at most one misbehaviour");

  tq::DevSupervisor supervisor(settings.options);
  if (!supervisor.open()) {
    std::fprintf(stderr, "ERROR: tq-devsupervisor: %s\n", supervisor.errorText().c_str());
    return 1;
  }
  std::printf(
      "tq-devsupervisor: listening on %s port %d (tcp and udp), worker port %d, sub port %d; "
      "jobs in %s\n",
      tq::Address(settings.options.address).toText().c_str(), supervisor.port(),
      supervisor.workerPort(), supervisor.subPort(),
      tq::platform::nativePath(supervisor.dataDirectory().str()).c_str());
  std::fflush(stdout);
  int32_t served = supervisor.run();
  if (supervisor.failed()) {
    std::fprintf(stderr, "ERROR: tq-devsupervisor: %s\n", supervisor.errorText().c_str());
    return 1;
  }
  std::printf("tq-devsupervisor: stopped after %d requests\n", served);
  return 0;
}
