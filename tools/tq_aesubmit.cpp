// tq-aesubmit: builds the render job that the "Submit Job" button would build, from options
// that stand in for the submission window and the host's project, and writes it as a job file
// or submits it to the supervisor.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "client/static_host.h"
#include "client/submit.h"
#include "client/submitter.h"
#include "config/logging.h"
#include "platform/file_system.h"
#include "records/option_table.h"
#include "records/options.h"
#include "records/record_file.h"
#include "records/version.h"
#include "transport/error.h"

namespace {

using tq::Option;
using tq::TqString;
using tq::WindowItem;

struct Settings {
  tq::StaticHost host;
  bool submit = false;
  bool dry_run = false;
  bool offline = false;
  TqString supervisor;
  int32_t timeout = 0;
  bool text = false, binary = false;
  TqString text_path, binary_path;
};

bool parseVersion(const TqString& text, tq::HostVersion& version) {
  std::string s = text.str();
  size_t dot = s.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == s.size()) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (i != dot && (s[i] < '0' || s[i] > '9')) return false;
  if (dot > 6 || s.size() - dot - 1 > 6) return false;
  version.major = std::atoi(s.substr(0, dot).c_str());
  version.minor = std::atoi(s.substr(dot + 1).c_str());
  return true;
}

// A window field's text, as typed.
template <WindowItem kItem>
bool field(Settings& s, const TqString& value, std::string&) {
  s.host.texts[kItem] = value;
  return true;
}

using Row = tq::OptionRow<Settings>;
constexpr int32_t kText = Option::kStringParameter;

const Row kOptions[] = {
    {nullptr, Option::kFlag, "", "The project and the host", nullptr},
    {"project", kText, "PATH", "the project file (Project_path)",
     [](Settings& s, const TqString& v, std::string&) {
       s.host.project = v;
       return true;
     }},
    {"host-version", kText, "MAJOR.MINOR",
     "the interface version the host passes (16.22 gives\nappversion 7.0, 16.9 gives 6.5; "
     "default 16.22)",
     [](Settings& s, const TqString& v, std::string& why) {
       why = "-host-version expects MAJOR.MINOR, got '" + v.str() + "'";
       return parseVersion(v, s.host.version);
     }},
    {nullptr, Option::kFlag, "", "What to render (without -comp the whole render queue)", nullptr},
    {"comp", kText, "NAME", "one composition, with NAME selected (empty: none selected)",
     [](Settings& s, const TqString& v, std::string&) {
       s.host.composition_mode = true;
       if (!v.empty()) s.host.selected = v;
       return true;
     }},
    {"output-file", kText, "TEXT", "Output File", field<WindowItem::kOutputFile>},
    {"output-module", kText, "TEXT", "Output Module", field<WindowItem::kOutputModule>},
    {"render-settings", kText, "TEXT", "Render Settings", field<WindowItem::kRenderSettings>},
    {"frame-range", kText, "TEXT", "Frame Range (\"1-10x2\")", field<WindowItem::kFrameRange>},
    {nullptr, Option::kFlag, "",
     "Queue settings, each taken as the window field's text (not given: an empty field; a\n"
     "number is read as the window reads it: leading digits, else 0, with a warning)",
     nullptr},
    {"name", kText, "TEXT", "Name", field<WindowItem::kName>},
    {"status", kText, "pending|blocked", "Status", field<WindowItem::kStatus>},
    {"cluster", kText, "TEXT", "Cluster", field<WindowItem::kCluster>},
    {"hosts", kText, "TEXT", "Hosts", field<WindowItem::kHosts>},
    {"priority", kText, "N", "Priority", field<WindowItem::kPriority>},
    {"groups", kText, "TEXT", "Groups", field<WindowItem::kGroups>},
    {"cpus", kText, "N", "Cpus", field<WindowItem::kCpus>},
    {"requirements", kText, "TEXT", "Requirements", field<WindowItem::kRequirements>},
    {"reservations", kText, "TEXT", "Reservations", field<WindowItem::kReservations>},
    {"restrictions", kText, "TEXT", "Restrictions", field<WindowItem::kRestrictions>},
    {"pid", kText, "N", "Pid (the parent job)", field<WindowItem::kPid>},
    {"pgrp", kText, "N", "Pgrp (the job group)", field<WindowItem::kPgrp>},
    {"user", kText, "TEXT", "User", field<WindowItem::kUser>},
    {"domain", kText, "TEXT", "Domain", field<WindowItem::kDomain>},
    {nullptr, Option::kFlag, "", "Submitting", nullptr},
    {"submit", Option::kFlag, "",
     "submit the job; print the accepted identifiers, one per line,\nas the results box shows "
     "them",
     [](Settings& s, const TqString&, std::string&) { return s.submit = true; }},
    {"supervisor", kText, "HOST", "the supervisor to use (default: as tq.conf finds one)",
     [](Settings& s, const TqString& v, std::string&) {
       s.supervisor = v;
       return true;
     }},
    {"timeout", Option::kIntegerParameter, "MS",
     "time-out in milliseconds (default: client_timeout of tq.conf)",
     [](Settings& s, const TqString& v, std::string&) {
       s.timeout = v.toInt();
       return true;
     }},
    {"offline", Option::kFlag, "", "complete the job but send nothing",
     [](Settings& s, const TqString&, std::string&) { return s.offline = true; }},
    {"dry-run", Option::kFlag, "", "complete the job as a submission would, send nothing",
     [](Settings& s, const TqString&, std::string&) { return s.dry_run = true; }},
    {nullptr, Option::kFlag, "",
     "Output (default without -submit: the text form on standard output)", nullptr},
    {"text", kText, "FILE",
     "the job in the text form (\"-\": standard output); with\n-submit or -dry-run, the job as "
     "completed for the supervisor",
     [](Settings& s, const TqString& v, std::string&) {
       s.text_path = v;
       return s.text = true;
     }},
    {"binary", kText, "FILE", "the job in the binary form (\"-\": standard output)",
     [](Settings& s, const TqString& v, std::string&) {
       s.binary_path = v;
       return s.binary = true;
     }},
};

constexpr const char* kAbout =
    "usage: tq-aesubmit [options]\n"
    "Builds the render job of the submission window and writes it as a job file, or submits it.\n"
    "\n";
constexpr const char* kEnd =
    "  -help                 this text\n"
    "  -version              the library's version\n"
    "Options may be shortened to any unambiguous prefix.\n";

// The window takes any text; say where it will not mean what the user may think (the job is
// built as the window would build it all the same).
void warnAboutFields(const tq::StaticHost& host) {
  const std::pair<const char*, WindowItem> kNumbers[] = {{"priority", WindowItem::kPriority},
                                                         {"cpus", WindowItem::kCpus},
                                                         {"pid", WindowItem::kPid},
                                                         {"pgrp", WindowItem::kPgrp}};
  for (const auto& [name, item] : kNumbers) {
    auto it = host.texts.find(item);
    if (it == host.texts.end() || it->second.empty()) continue;
    std::string text = it->second.str();
    size_t i = text.find_first_not_of(" \t");
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9')
      std::fprintf(stderr, "WARNING: -%s '%s' holds no digits: it is read as 0\n", name,
                   text.c_str());
  }
  auto status = host.texts.find(WindowItem::kStatus);
  if (status != host.texts.end() && !status->second.empty() && status->second.view() != "pending" &&
      status->second.view() != "blocked")
    std::fprintf(stderr,
                 "WARNING: -status '%s' is neither \"pending\" nor \"blocked\": the job gets no "
                 "status\n",
                 status->second.c_str());
}

// Writes the job to a file, or to standard output for "-". Returns the byte count, 0 on failure.
int32_t writeJob(tq::Job& job, const tq::TqString& path, int format) {
  if (path.view() != "-") return tq::saveRecordFile(job, path.c_str(), format);
  std::fflush(stdout);
  if (format != tq::kTextFormat && !tq::platform::setBinaryMode(stdout)) return 0;
  int32_t n = format == tq::kTextFormat ? job.encodeText() : job.encode();
  if (n == 0 ||
      std::fwrite(job.buffer(), 1, static_cast<size_t>(n), stdout) != static_cast<size_t>(n))
    return 0;
  if (format == tq::kTextFormat) std::fputc('\n', stdout);
  return std::fflush(stdout) == 0 ? n : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Standard output is the job or the identifiers; the library's diagnostics go to standard
  // error.
  tq::logSink().useStandardError(true);
  tq::OptionParser options;
  tq::declareOptions(options, kOptions);
  options.setHelpCallback([](tq::OptionParser&) {
    std::fputs((kAbout + tq::optionHelp(kOptions) + kEnd).c_str(), stdout);
  });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", tq::kVersionText); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-aesubmit -help\n", stderr);
    return 2;
  }
  if (options.positionalCount() > 0) {
    std::fprintf(stderr, "ERROR: unexpected argument '%s'\n", options.positional(0)->c_str());
    return 2;
  }
  Settings settings;
  std::string why;
  if (!tq::applyOptions(options, kOptions, settings, why)) {
    std::fprintf(stderr, "ERROR: %s\n", why.c_str());
    return 2;
  }
  if (settings.submit && settings.dry_run) {
    std::fputs("ERROR: give -submit or -dry-run, not both\n", stderr);
    return 2;
  }
  warnAboutFields(settings.host);

  tq::JobList jobs;
  jobs.append(tq::Submitter(settings.host).buildJob());
  tq::Job* job = jobs.at(0);

  if (!settings.supervisor.empty()) tq::setSupervisorHost(settings.supervisor);
  if (options.isSet("timeout")) tq::setTimeout(settings.timeout);
  if (settings.offline) tq::setOffline("offline");
  if (settings.dry_run) tq::prepareJob(*job, tq::submitSearchPath());

  tq::JobList accepted;
  bool submitted = settings.submit && tq::submit(jobs, accepted);

  if (!settings.text && !settings.binary && !settings.submit) {
    settings.text = true;
    settings.text_path = "-";
  }
  if (settings.text && writeJob(*job, settings.text_path, tq::kTextFormat) == 0) {
    std::fprintf(stderr, "ERROR: cannot write the job to '%s': %s\n", settings.text_path.c_str(),
                 tq::platform::lastFileError().c_str());
    return 1;
  }
  if (settings.binary && writeJob(*job, settings.binary_path, tq::kBinaryFormat) == 0) {
    std::fprintf(stderr, "ERROR: cannot write the job to '%s': %s\n", settings.binary_path.c_str(),
                 tq::platform::lastFileError().c_str());
    return 1;
  }
  if (!settings.submit) return 0;
  if (!submitted) {
    std::fprintf(stderr, "unable to submit job\n%s\n", tq::lastError().text().c_str());
    return 1;
  }
  if (!tq::offlineSetting().empty()) {
    std::fputs("offline: nothing was sent\n", stderr);
  } else if (accepted.count() == 0) {
    std::fprintf(stderr, "unable to submit job\n%s\n", tq::kNoneAcceptedText);
    return 1;
  }
  for (int32_t i = 0; i < accepted.count(); ++i) std::printf("%d\n", accepted[i].id);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
