// tq-hostsim: plays the host application for the plug-in from the command line. Loads the
// plug-in, calls its entry point, then runs a script of user actions through the plug-in's
// hooks and window, printing the menu state and the results box.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "config/logging.h"
#include "hostsim/script.h"
#include "records/option_table.h"
#include "records/options.h"
#include "records/version.h"

namespace {

struct Settings {
  std::string plugin, project, script, draw, fail_suite, fail_call;
  int32_t major = 16, minor = 22;
};

bool parseVersion(const std::string& s, int32_t& major, int32_t& minor);

bool text(std::string& field, const tq::TqString& value) {
  field = value.str();
  return true;
}

using Row = tq::OptionRow<Settings>;
using tq::TqString;
constexpr int32_t kText = tq::Option::kStringParameter;

const Row kOptions[] = {
    {"plugin", kText, "PATH", "the plug-in library (.so here, .aex on Windows)",
     [](Settings& s, const TqString& v, std::string&) { return text(s.plugin, v); }},
    {"project", kText, "PATH", "the project's file path (default: an unsaved project)",
     [](Settings& s, const TqString& v, std::string&) { return text(s.project, v); }},
    {"host-version", kText, "M.N", "the interface version passed to the plug-in (default 16.22)",
     [](Settings& s, const TqString& v, std::string& why) {
       why = "-host-version expects MAJOR.MINOR, got '" + v.str() + "'";
       return parseVersion(v.str(), s.major, s.minor);
     }},
    {"script", kText, "FILE", "more actions, one per line, after those on the command line",
     [](Settings& s, const TqString& v, std::string&) { return text(s.script, v); }},
    {"draw", kText, "FILE", "write the window as an SVG picture at the end",
     [](Settings& s, const TqString& v, std::string&) { return text(s.draw, v); }},
    {"fail-suite", kText, "NAME", "the broker refuses the suite NAME (e.g. \"ADM List Suite\")",
     [](Settings& s, const TqString& v, std::string&) { return text(s.fail_suite, v); }},
    {"fail-call", kText, "NAME",
     "every call NAME fails (e.g. Command.GetUniqueCommand; an ADM\ncall then does nothing and "
     "answers null)",
     [](Settings& s, const TqString& v, std::string&) { return text(s.fail_call, v); }},
};

std::string help() {
  return "usage: tq-hostsim -plugin PATH [options] [ACTION...]\n"
         "Loads the plug-in as the host would, calls GPMain_tq, and runs the actions in order.\n"
         "\nOptions:\n" +
         tq::optionHelp(kOptions) + "  -help, -version\n\nActions:\n" + tq::hostsim::actionHelp();
}

bool parseVersion(const std::string& s, int32_t& major, int32_t& minor) {
  size_t dot = s.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == s.size() || s.size() > 13) return false;
  if (s.find_first_not_of("0123456789.") != std::string::npos || s.find('.', dot + 1) != s.npos)
    return false;
  major = std::atoi(s.substr(0, dot).c_str());
  minor = std::atoi(s.substr(dot + 1).c_str());
  return true;
}

bool readScript(const std::string& path, std::vector<std::string>& actions) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    actions.push_back(line);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Standard output shows what the host shows; the library's diagnostics go to standard error.
  tq::logSink().useStandardError(true);
  tq::OptionParser options;
  tq::declareOptions(options, kOptions);
  options.setHelpCallback([](tq::OptionParser&) { std::fputs(help().c_str(), stdout); });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", tq::kVersionText); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-hostsim -help\n", stderr);
    return 2;
  }
  Settings settings;
  std::string why;
  if (!tq::applyOptions(options, kOptions, settings, why)) {
    std::fprintf(stderr, "ERROR: %s\n", why.c_str());
    return 2;
  }
  if (settings.plugin.empty()) {
    std::fputs("ERROR: -plugin PATH is required\ntry: tq-hostsim -help\n", stderr);
    return 2;
  }
  std::vector<std::string> actions;
  for (int32_t i = 0; i < options.positionalCount(); ++i)
    actions.push_back(options.positional(i)->str());
  if (!settings.script.empty() && !readScript(settings.script, actions)) {
    std::fprintf(stderr, "ERROR: cannot read the script '%s'\n", settings.script.c_str());
    return 2;
  }

  tq::hostsim::SimHost host;
  host.project_path = settings.project;
  if (!settings.fail_suite.empty()) host.failSuite(settings.fail_suite);
  if (!settings.fail_call.empty()) host.failCall(settings.fail_call);
  tq::hostsim::Simulator sim(host);
  if (!sim.load(settings.plugin, settings.major, settings.minor)) {
    std::fprintf(stderr, "ERROR: %s\n", sim.error().c_str());
    return 1;
  }
  std::printf("GPMain_tq answered %d\n", sim.entryResult());
  size_t reported = 0;
  auto showReports = [&] {
    for (; reported < host.reports.size(); ++reported)
      std::printf("host shows: \"%s\"\n", host.reports[reported].c_str());
  };
  showReports();
  std::printf("%s\n", tq::hostsim::menuState(host).c_str());

  int status = 0;
  for (const std::string& action : actions) {
    std::printf("> %s\n", action.c_str());
    std::fflush(stdout);
    std::string error;
    if (!tq::hostsim::runAction(sim, host, action, stdout, error)) {
      std::fflush(stdout);
      std::fprintf(stderr, "ERROR: %s\n", error.c_str());
      status = 1;
      break;
    }
    showReports();
  }
  // What the plug-in did wrong as a host sees it: each fails the run.
  if (sim.unbalancedCallbacks() != 0 || host.unbalanced_releases != 0) {
    std::fprintf(stderr, "ERROR: the plug-in left suites acquired after %d callbacks\n",
                 sim.unbalancedCallbacks());
    status = 1;
  }
  for (const std::string& trap : host.traps)
    std::fprintf(stderr, "ERROR: the plug-in called an entry the host does not serve: %s\n",
                 trap.c_str());
  for (const std::string& misuse : host.misuses)
    std::fprintf(stderr, "ERROR: %s\n", misuse.c_str());
  if (sim.undefaultedNotifications() != 0)
    std::fprintf(stderr, "ERROR: %d notifications skipped the host's DefaultNotify\n",
                 sim.undefaultedNotifications());
  if (!host.traps.empty() || !host.misuses.empty() || sim.undefaultedNotifications() != 0)
    status = 1;
  if (!settings.draw.empty()) {
    std::string picture = sim.svg();
    std::ofstream file(settings.draw, std::ios::binary);
    if (picture.empty()) {
      std::fputs("ERROR: -draw: no window is open\n", stderr);
      status = 1;
    } else if (!(file << picture) || !file.flush()) {
      std::fprintf(stderr, "ERROR: cannot write '%s'\n", settings.draw.c_str());
      status = 1;
    }
  }
  return std::fflush(stdout) == 0 ? status : 1;
}
