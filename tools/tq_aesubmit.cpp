// tq-aesubmit: builds the render job that the "Submit Job" button would build, from options
// that stand in for the submission window and the host's project, and writes it as a job file
// or submits it to the supervisor.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "client/static_host.h"
#include "client/submit.h"
#include "client/submitter.h"
#include "platform/file_system.h"
#include "records/options.h"
#include "records/record_file.h"
#include "records/version.h"
#include "transport/error.h"

namespace {

constexpr const char* kHelp =
    "usage: tq-aesubmit [options]\n"
    "Builds the render job of the submission window and writes it as a job file, or submits it.\n"
    "\n"
    "The project and the host:\n"
    "  -project PATH            the project file (Project_path)\n"
    "  -host-version MAJOR.MINOR  the interface version the host passes (16.22 gives\n"
    "                           appversion 7.0, 16.9 gives 6.5; default 16.22)\n"
    "What to render (without -comp the whole render queue):\n"
    "  -comp NAME               one composition, with NAME selected (empty: none selected)\n"
    "  -output-file TEXT  -output-module TEXT  -render-settings TEXT  -frame-range TEXT\n"
    "Queue settings, each taken as the window field's text (not given: an empty field):\n"
    "  -name TEXT  -status pending|blocked  -cluster TEXT  -hosts TEXT  -priority N\n"
    "  -groups TEXT  -cpus N  -requirements TEXT  -reservations TEXT  -restrictions TEXT\n"
    "  -pid N  -pgrp N  -user TEXT  -domain TEXT\n"
    "  (a number is read as the window reads it: leading digits, else 0, with a warning)\n"
    "Submitting:\n"
    "  -submit                  submit the job; print the accepted identifiers, one per line,\n"
    "                           as the results box shows them\n"
    "  -supervisor HOST         the supervisor to use (default: as tq.conf finds one)\n"
    "  -timeout MS              time-out in milliseconds (default: client_timeout of tq.conf)\n"
    "  -offline                 complete the job but send nothing\n"
    "  -dry-run                 complete the job as a submission would, send nothing\n"
    "Output (default without -submit: the text form on standard output):\n"
    "  -text FILE               the job in the text form (\"-\": standard output); with\n"
    "                           -submit or -dry-run, the job as completed for the supervisor\n"
    "  -binary FILE             the job in the binary form (\"-\": standard output)\n"
    "  -help                    this text\n"
    "  -version                 the library's version\n"
    "Options may be shortened to any unambiguous prefix.\n";

struct QueueOption {
  const char* name;
  tq::WindowItem item;
};

constexpr QueueOption kWindowOptions[] = {
    {"name", tq::WindowItem::kName},
    {"status", tq::WindowItem::kStatus},
    {"cluster", tq::WindowItem::kCluster},
    {"hosts", tq::WindowItem::kHosts},
    {"priority", tq::WindowItem::kPriority},
    {"groups", tq::WindowItem::kGroups},
    {"cpus", tq::WindowItem::kCpus},
    {"requirements", tq::WindowItem::kRequirements},
    {"reservations", tq::WindowItem::kReservations},
    {"restrictions", tq::WindowItem::kRestrictions},
    {"pid", tq::WindowItem::kPid},
    {"pgrp", tq::WindowItem::kPgrp},
    {"user", tq::WindowItem::kUser},
    {"domain", tq::WindowItem::kDomain},
    {"output-file", tq::WindowItem::kOutputFile},
    {"output-module", tq::WindowItem::kOutputModule},
    {"render-settings", tq::WindowItem::kRenderSettings},
    {"frame-range", tq::WindowItem::kFrameRange},
};

bool parseVersion(const tq::TqString& text, tq::HostVersion& version) {
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

// The window takes any text; say where it will not mean what the user may think (the job is
// built as the window would build it all the same).
void warnAboutFields(const tq::StaticHost& host) {
  for (const char* name : {"priority", "cpus", "pid", "pgrp"}) {
    for (const QueueOption& o : kWindowOptions) {
      if (std::string(o.name) != name) continue;
      auto it = host.texts.find(o.item);
      if (it == host.texts.end() || it->second.empty()) continue;
      std::string text = it->second.str();
      size_t i = text.find_first_not_of(" \t");
      if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
      if (i >= text.size() || text[i] < '0' || text[i] > '9')
        std::fprintf(stderr, "WARNING: -%s '%s' holds no digits: it is read as 0\n", name,
                     text.c_str());
    }
  }
  auto status = host.texts.find(tq::WindowItem::kStatus);
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
  tq::OptionParser options;
  options.declareString("project");
  options.declareString("host-version");
  options.declareString("comp");
  for (const QueueOption& o : kWindowOptions) options.declareString(o.name);
  options.declareString("text");
  options.declareString("binary");
  options.declareFlag("submit");
  options.declareString("supervisor");
  options.declareInteger("timeout");
  options.declareFlag("offline");
  options.declareFlag("dry-run");
  options.setHelpCallback([](tq::OptionParser&) { std::fputs(kHelp, stdout); });
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

  tq::StaticHost host;
  options.stringValue("project", host.project);
  tq::TqString version;
  if (options.stringValue("host-version", version) && !parseVersion(version, host.version)) {
    std::fprintf(stderr, "ERROR: -host-version expects MAJOR.MINOR, got '%s'\n", version.c_str());
    return 2;
  }
  tq::TqString comp;
  if (options.stringValue("comp", comp)) {
    host.composition_mode = true;
    if (!comp.empty()) host.selected = comp;
  }
  for (const QueueOption& o : kWindowOptions) {
    tq::TqString value;
    if (options.stringValue(o.name, value)) host.texts[o.item] = value;
  }
  warnAboutFields(host);

  tq::JobList jobs;
  jobs.append(tq::Submitter(host).buildJob());
  tq::Job* job = jobs.at(0);

  bool submitting = options.isSet("submit");
  if (submitting && options.isSet("dry-run")) {
    std::fputs("ERROR: give -submit or -dry-run, not both\n", stderr);
    return 2;
  }
  tq::TqString supervisor;
  if (options.stringValue("supervisor", supervisor)) tq::setSupervisorHost(supervisor);
  int32_t timeout = 0;
  if (options.integerValue("timeout", timeout)) tq::setTimeout(timeout);
  if (options.isSet("offline")) tq::setOffline("offline");
  if (options.isSet("dry-run")) tq::prepareJob(*job, tq::submitSearchPath());

  tq::JobList accepted;
  bool submitted = submitting && tq::submit(jobs, accepted);

  tq::TqString text_path, binary_path;
  bool text = options.stringValue("text", text_path);
  bool binary = options.stringValue("binary", binary_path);
  if (!text && !binary && !submitting) {
    text = true;
    text_path = "-";
  }
  if (text && writeJob(*job, text_path, tq::kTextFormat) == 0) {
    std::fprintf(stderr, "ERROR: cannot write the job to '%s': %s\n", text_path.c_str(),
                 tq::platform::lastFileError().c_str());
    return 1;
  }
  if (binary && writeJob(*job, binary_path, tq::kBinaryFormat) == 0) {
    std::fprintf(stderr, "ERROR: cannot write the job to '%s': %s\n", binary_path.c_str(),
                 tq::platform::lastFileError().c_str());
    return 1;
  }
  if (!submitting) return 0;
  if (!submitted) {
    std::fprintf(stderr, "unable to submit job\n%s\n", tq::lastError().text().c_str());
    return 1;
  }
  if (!tq::offlineSetting().empty()) std::fputs("offline: nothing was sent\n", stderr);
  for (int32_t i = 0; i < accepted.count(); ++i) std::printf("%d\n", accepted[i].id);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
