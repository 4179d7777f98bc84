// tq-devsupervisor: a stand-in supervisor for local work, demos and tests (see
// tools/devsupervisor/dev_supervisor.h).
#include <cstdio>
#include <string>

#include "config/number_list.h"
#include "dev_supervisor.h"
#include "platform/file_system.h"
#include "records/basic_records.h"
#include "records/options.h"
#include "records/version.h"

namespace {

constexpr const char* kHelp =
    "usage: tq-devsupervisor [options]\n"
    "A stand-in supervisor for local work: accepts submissions, gives each job the next\n"
    "identifier and stores it as a text job file; answers discovery on UDP; and plays the\n"
    "worker for job programs such as tq-work: hands out assignments and work items and\n"
    "records their reports in the stored job files.\n"
    "\n"
    "  -port N            TCP and UDP port (default: the supervisor port of tq.conf, 50001;\n"
    "                     0: any free port); the ports are printed on start\n"
    "  -worker-port N     where job programs ask for their assignment and report their\n"
    "                     status (default: the worker port of tq.conf, 50011; 0: any)\n"
    "  -sub-port N        where job programs take and report work items (default: the\n"
    "                     supervisor sub port of tq.conf, 50002; 0: any)\n"
    "  -agenda LIST       work items for jobs submitted without an agenda, named by the\n"
    "                     numbers of LIST (\"1-10\", \"001-120x5\", \"2,4,8\")\n"
    "  -address A.B.C.D   address to listen on (default 127.0.0.1)\n"
    "  -data DIR          where jobs and the identifier counter are kept\n"
    "                     (default: <temporary directory>/tq-devsupervisor)\n"
    "  -count N           stop after N requests (default: run until Ctrl-C)\n"
    "Misbehaviour, to see how clients cope (at most one):\n"
    "  -refuse TEXT       refuse every submission with an error record of TEXT\n"
    "  -busy              answer every request with tag 5 (too many connections)\n"
    "  -blank             answer every request with tag 0 (no answer)\n"
    "  -redirect HOST:PORT  redirect every request (tag 7) to HOST at PORT\n"
    "  -hold MS           answer nothing; hold each connection up to MS milliseconds\n"
    "  -cut               cut every answer short in the middle of its frame\n"
    "  -wrong-class       answer submissions with a string_list instead of a job_list\n"
    "  -help, -version\n"
    "Options may be shortened to any unambiguous prefix.\n";

int usage(const char* why) {
  std::fprintf(stderr, "ERROR: %s\ntry: tq-devsupervisor -help\n", why);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using M = tq::DevSupervisorOptions::Misbehaviour;
  tq::OptionParser options;
  options.declareInteger("port");
  options.declareInteger("worker-port");
  options.declareInteger("sub-port");
  options.declareString("agenda");
  options.declareString("address");
  options.declareString("data");
  options.declareInteger("count");
  options.declareString("refuse");
  options.declareFlag("busy");
  options.declareFlag("blank");
  options.declareString("redirect");
  options.declareInteger("hold");
  options.declareFlag("cut");
  options.declareFlag("wrong-class");
  options.setHelpCallback([](tq::OptionParser&) { std::fputs(kHelp, stdout); });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", TQ_VERSION_TEXT); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-devsupervisor -help\n", stderr);
    return 2;
  }
  if (options.positionalCount() > 0) return usage("unexpected argument");

  tq::DevSupervisorOptions settings;
  {
    tq::ClientConfig config;
    settings.port = config.supervisorPort();
    settings.worker_port = config.workerPort();
    settings.sub_port = config.supervisorSubPort();
  }
  int32_t number = 0;
  if (options.integerValue("port", number)) {
    if (number < 0 || number > 65535) return usage("-port expects 0 to 65535");
    settings.port = number;
  }
  if (options.integerValue("worker-port", number)) {
    if (number < 0 || number > 65535) return usage("-worker-port expects 0 to 65535");
    settings.worker_port = number;
  }
  if (options.integerValue("sub-port", number)) {
    if (number < 0 || number > 65535) return usage("-sub-port expects 0 to 65535");
    settings.sub_port = number;
  }
  if (options.stringValue("agenda", settings.agenda)) {
    tq::NumberList numbers;
    numbers.parse(settings.agenda.view());
    if (numbers.count() == 0) return usage("-agenda expects a number list such as 1-10");
  }
  tq::TqString text;
  if (options.stringValue("address", text)) {
    tq::Address address;
    if (!tq::Address::isDottedQuad(text) || !address.parse(text))
      return usage("-address expects a dotted quad such as 127.0.0.1");
    settings.address = address.get();
  }
  options.stringValue("data", settings.data_directory);
  if (options.integerValue("count", number)) settings.count = number;
  int misbehaviours = 0;
  if (options.stringValue("refuse", settings.refuse_text)) {
    settings.misbehaviour = M::kRefuse;
    ++misbehaviours;
  }
  if (options.isSet("busy")) {
    settings.misbehaviour = M::kBusy;
    ++misbehaviours;
  }
  if (options.isSet("blank")) {
    settings.misbehaviour = M::kBlank;
    ++misbehaviours;
  }
  if (options.stringValue("redirect", text)) {
    std::string target = text.str();
    size_t colon = target.rfind(':');
    if (colon == std::string::npos || colon == 0) return usage("-redirect expects HOST:PORT");
    settings.redirect_host = tq::TqString(target.substr(0, colon).c_str());
    settings.redirect_port = tq::TqString(target.substr(colon + 1).c_str()).toInt();
    if (settings.redirect_port < 1 || settings.redirect_port > 65535)
      return usage("-redirect expects a port of 1 to 65535");
    settings.misbehaviour = M::kRedirect;
    ++misbehaviours;
  }
  if (options.integerValue("hold", number)) {
    settings.hold_ms = number;
    settings.misbehaviour = M::kHold;
    ++misbehaviours;
  }
  if (options.isSet("cut")) {
    settings.misbehaviour = M::kCut;
    ++misbehaviours;
  }
  if (options.isSet("wrong-class")) {
    settings.misbehaviour = M::kWrongClass;
    ++misbehaviours;
  }
  if (misbehaviours > 1) return usage("give at most one misbehaviour");

  tq::DevSupervisor supervisor(settings);
  if (!supervisor.open()) {
    std::fprintf(stderr, "ERROR: tq-devsupervisor: %s\n", supervisor.errorText().c_str());
    return 1;
  }
  std::printf(
      "tq-devsupervisor: listening on %s port %d (tcp and udp), worker port %d, sub port %d; "
      "jobs in %s\n",
      tq::Address(settings.address).toText().c_str(), supervisor.port(), supervisor.workerPort(),
      supervisor.subPort(), tq::platform::nativePath(supervisor.dataDirectory().str()).c_str());
  std::fflush(stdout);
  int32_t served = supervisor.run();
  std::printf("tq-devsupervisor: stopped after %d requests\n", served);
  return 0;
}
