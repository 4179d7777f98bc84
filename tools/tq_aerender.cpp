// tq-aerender: the job program of the "aftereffects" job type (see tools/aerender/render_loop.h).
#include <cstdio>
#include <string>

#include "config/logging.h"
#include "platform/stop_signal.h"
#include "records/options.h"
#include "records/version.h"
#include "render_loop.h"

namespace {

constexpr const char* kHelp =
    "usage: tq-aerender [-dev JOBFILE] [-renderer PATH] [-chunk N] [-item-timeout S]\n"
    "The job program of the \"aftereffects\" job type: renders the job's composition, or its\n"
    "whole render queue, with the host's command-line renderer (aerender), one run per work\n"
    "item or chunk of frames, and reports each item or chunk complete or failed, then its own\n"
    "status.\n"
    "\n"
    "  -renderer PATH    the renderer (default: TQ_AERENDER, else aerender_path in the job\n"
    "                    type's job.conf, else the host's installation for the job's\n"
    "                    appversion)\n"
    "  -chunk N          frames per run for a job without an agenda (default 10)\n"
    "  -item-timeout S   end a renderer that prints nothing for S seconds (default 1800;\n"
    "                    decimals allowed) and fail its item\n"
    "  -dev JOBFILE      development mode: the job of the job file (text or binary); its\n"
    "                    items are its agenda, and nothing is sent\n"
    "  -help, -version\n"
    "On the farm the assignment is that of TQJOBID and TQSUBID, asked of the worker\n"
    "(worker_address and worker_port of tq.conf); items come from the supervisor's sub port.\n"
    "Options may be shortened to any unambiguous prefix.\n"
    "Exit status: 0 when everything it took was rendered, 1 otherwise, 2 for a usage error.\n";

int usage(const char* why) {
  std::fprintf(stderr, "ERROR: %s\ntry: tq-aerender -help\n", why);
  return 2;
}

// Seconds with an optional fraction ("1800", "0.25") as milliseconds; false for anything else
// or more than 24 days (the longest wait in milliseconds a 32-bit count holds).
bool readSeconds(const std::string& text, int32_t& ms) {
  int64_t whole = 0, fraction = 0, scale = 1000;
  size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    whole = whole * 10 + (text[i] - '0');
    if (whole > 2000000) return false;
  }
  if (i == 0) return false;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (scale > 1) {
        scale /= 10;
        fraction += (text[i] - '0') * scale;
      }
    }
  }
  if (i != text.size()) return false;
  ms = static_cast<int32_t>(whole * 1000 + fraction);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Standard output is the program's own; the library's diagnostics go to standard error.
  tq::logSink().useStandardError(true);
  tq::OptionParser options;
  options.declareString("dev");
  options.declareString("renderer");
  options.declareInteger("chunk");
  options.declareString("item-timeout");
  options.setHelpCallback([](tq::OptionParser&) { std::fputs(kHelp, stdout); });
  options.setVersionCallback([](tq::OptionParser&) { std::printf("%s\n", tq::kVersionText); });
  if (!options.parse(argc, argv)) {
    std::fputs(options.errorText().c_str(), stderr);
    std::fputs("try: tq-aerender -help\n", stderr);
    return 2;
  }
  if (options.positionalCount() > 0) return usage("unexpected argument");
  tq::aerender::RenderLoopOptions settings;
  if (options.isSet("dev") &&
      (!options.stringValue("dev", settings.development_file) || settings.development_file.empty()))
    return usage("-dev expects a job file");
  tq::TqString text;
  if (options.stringValue("renderer", text)) {
    if (text.empty()) return usage("-renderer expects a path");
    settings.renderer = text.str();
  }
  if (options.isSet("chunk") &&
      (!options.integerValue("chunk", settings.chunk) || settings.chunk < 1))
    return usage("-chunk expects a number of frames, 1 or more");
  if (options.isSet("item-timeout")) {
    if (!options.stringValue("item-timeout", text) ||
        !readSeconds(text.str(), settings.silence_ms) || settings.silence_ms < 1)
      return usage("-item-timeout expects seconds above 0, such as 1800 or 0.5");
  }
  tq::platform::watchStopSignals();
  settings.stop = [] { return tq::platform::stopRequested(); };
  return tq::aerender::runRenderLoop(settings).exitStatus();
}
