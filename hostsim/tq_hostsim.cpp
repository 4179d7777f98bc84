// tq-hostsim: plays the host application for the plug-in from the command line. Loads the
// plug-in, calls its entry point, then runs a script of user actions through the plug-in's
// hooks and window, printing the menu state and the results box.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "hostsim/script.h"
#include "records/options.h"
#include "records/version.h"

namespace {

constexpr const char* kHelp =
    "usage: tq-hostsim -plugin PATH [options] [ACTION...]\n"
    "Loads the plug-in as the host would, calls GPMain_tq, and runs the actions in order.\n"
    "\n"
    "Options:\n"
    "  -plugin PATH        the plug-in library (.so here, .aex on Windows)\n"
    "  -project PATH       the project's file path (default: an unsaved project)\n"
    "  -host-version M.N   the interface version passed to the plug-in (default 16.22)\n"
    "  -script FILE        more actions, one per line, after those on the command line\n"
    "  -draw FILE          write the window as an SVG picture at the end\n"
    "  -fail-suite NAME    the broker refuses the suite NAME (e.g. \"ADM List Suite\")\n"
    "  -fail-call NAME     every call NAME fails (e.g. Command.GetUniqueCommand)\n"
    "  -help, -version\n"
    "\n"
    "Actions:\n"
    "  comp:NAME  footage:NAME  add a composition / another item to the project\n"
    "  update                   the host updates its menus (prints the command's state)\n"
    "  choose                   choose \"Kerv! Render\"; command:N chooses command N\n"
    "  click:N                  click item N (13 and 14 are the radio buttons)\n"
    "  type:N=TEXT              type into item N (16 Name, 4 Output File, 11 Frame Range ...)\n"
    "  pick:N=TEXT              pick an entry (2 compositions, 7, 9 templates, 18 Status)\n"
    "  answer:PATH  cancel      how the next file dialog (click:5) ends\n"
    "  submit                   press \"Submit Job\" (prints the results box)\n"
    "  items  results           print the item table / the results box\n";

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
  tq::OptionParser options;
  for (const char* name :
       {"plugin", "project", "host-version", "script", "draw", "fail-suite", "fail-call"})
    options.declareString(name);
  options.setHelpCallback([](tq::OptionParser&) { std::fputs(kHelp, stdout); });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", tq::kVersionText); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-hostsim -help\n", stderr);
    return 2;
  }
  tq::TqString plugin, value;
  if (!options.stringValue("plugin", plugin) || plugin.empty()) {
    std::fputs("ERROR: -plugin PATH is required\ntry: tq-hostsim -help\n", stderr);
    return 2;
  }
  int32_t major = 16, minor = 22;
  if (options.stringValue("host-version", value) && !parseVersion(value.str(), major, minor)) {
    std::fprintf(stderr, "ERROR: -host-version expects MAJOR.MINOR, got '%s'\n", value.c_str());
    return 2;
  }
  std::vector<std::string> actions;
  for (int32_t i = 0; i < options.positionalCount(); ++i)
    actions.push_back(options.positional(i)->str());
  if (options.stringValue("script", value) && !readScript(value.str(), actions)) {
    std::fprintf(stderr, "ERROR: cannot read the script '%s'\n", value.c_str());
    return 2;
  }

  tq::hostsim::SimHost host;
  if (options.stringValue("project", value)) host.project_path = value.str();
  if (options.stringValue("fail-suite", value)) host.failSuite(value.str());
  if (options.stringValue("fail-call", value)) host.failCall(value.str());
  tq::hostsim::Simulator sim(host);
  if (!sim.load(plugin.str(), major, minor)) {
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
  if (options.stringValue("draw", value)) {
    std::string picture = sim.svg();
    std::ofstream file(value.str(), std::ios::binary);
    if (picture.empty()) {
      std::fputs("ERROR: -draw: no window is open\n", stderr);
      status = 1;
    } else if (!(file << picture) || !file.flush()) {
      std::fprintf(stderr, "ERROR: cannot write '%s'\n", value.c_str());
      status = 1;
    }
  }
  return std::fflush(stdout) == 0 ? status : 1;
}
