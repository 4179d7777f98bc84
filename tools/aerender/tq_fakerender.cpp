// tq-fakerender: a stand-in for the host's command-line renderer (aerender), for tests and for
// the farm on one machine. It takes the renderer's options (../shared/AERENDER.md), checks them
// as the renderer would, prints its kind of progress lines and writes one small text file per
// frame where the output path says (frames.h: framePath).
//
// Its compositions and render queue are three frames long (1 to 3) unless TQ_FAKERENDER says
// otherwise. TQ_FAKERENDER, a list of words separated by ',', makes it misbehave:
//   fail-at=N   print an error at frame N and exit with 1, writing neither it nor later frames
//   exit=N      render everything, then exit with N
//   nothing     exit with 0 at once, rendering nothing
//   skip=N      render everything but leave frame N's file unwritten, and exit with 0
//   hang        print the start lines, then hang without printing (at most 10 minutes)
//   hang-at=N   render up to frame N, then hang there
//   length=N    compositions and the queue are N frames long (1 to N)
//   delay=MS    wait MS milliseconds per frame
//   args=PATH   write the arguments it got into PATH, each followed by a NUL byte
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "frames.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/sleep.h"

namespace {

using tq::aerender::framePath;

constexpr int32_t kHangMs = 10 * 60 * 1000;

struct Misbehaviour {
  std::optional<int32_t> fail_at, hang_at, skip;
  int exit_status = 0;
  bool nothing = false, hang = false;
  int32_t length = 3;
  int32_t delay_ms = 0;
  std::string args_path;
};

int fail(const std::string& why, int status = 1) {
  std::printf("aerender ERROR: %s\n", why.c_str());
  std::fflush(stdout);
  return status;
}

bool readNumber(const std::string& text, int32_t& number) {
  if (text.empty()) return false;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < -2147483647L || value > 2147483647L) return false;
  number = static_cast<int32_t>(value);
  return true;
}

bool readMisbehaviour(Misbehaviour& m, std::string& why) {
  std::string text = tq::platform::environmentVariable("TQ_FAKERENDER");
  size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    size_t comma = text.find(',', start);
    std::string word =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t equals = word.find('=');
    std::string name = word.substr(0, equals);
    std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
    int32_t number = 0;
    bool numeric = readNumber(value, number);
    if (name == "nothing" && value.empty()) {
      m.nothing = true;
    } else if (name == "hang" && value.empty()) {
      m.hang = true;
    } else if (name == "fail-at" && numeric) {
      m.fail_at = number;
    } else if (name == "hang-at" && numeric) {
      m.hang_at = number;
    } else if (name == "skip" && numeric) {
      m.skip = number;
    } else if (name == "exit" && numeric) {
      m.exit_status = number;
    } else if (name == "length" && numeric && number > 0) {
      m.length = number;
    } else if (name == "delay" && numeric && number >= 0) {
      m.delay_ms = number;
    } else if (name == "args" && !value.empty()) {
      m.args_path = value;
    } else if (!word.empty()) {
      why = "TQ_FAKERENDER: cannot read '" + word + "'";
      return false;
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return true;
}

int hangThere() {
  std::fflush(stdout);
  tq::platform::realSleepMilliseconds(kHangMs);
  return 1;
}

// The renderer's time code of a frame, at 25 frames a second.
std::string timeCode(int32_t frame) {
  int32_t f = frame < 0 ? 0 : frame;
  char text[32];
  std::snprintf(text, sizeof(text), "%d:%02d:%02d:%02d", f / 90000, f / 1500 % 60, f / 25 % 60,
                f % 25);
  return text;
}

bool writeFrame(const std::string& path, int32_t frame, const std::string& comp) {
  std::FILE* file = tq::platform::openFile(path, "wb");
  if (!file) return false;
  std::fprintf(file, "tq-fakerender: frame %d of composition %s\n", frame, comp.c_str());
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Misbehaviour m;
  std::string why;
  if (!readMisbehaviour(m, why)) return fail(why, 2);
  if (!m.args_path.empty()) {
    std::FILE* file = tq::platform::openFile(m.args_path, "wb");
    if (!file) return fail("cannot write " + m.args_path, 2);
    for (int i = 1; i < argc; ++i) std::fwrite(argv[i], 1, std::string(argv[i]).size() + 1, file);
    std::fclose(file);
  }

  static const std::set<std::string> kValued = {
      "project", "comp", "rqindex", "RStemplate", "OMtemplate", "output",    "s",
      "e",       "i",    "log",     "v",          "sound",      "mem_usage", "close"};
  static const std::set<std::string> kFlags = {"mp", "continueOnMissingFootage", "version",
                                               "reuse"};
  std::map<std::string, std::string> given;
  for (int i = 1; i < argc; ++i) {
    std::string word = argv[i];
    std::string name = word.size() > 1 && word[0] == '-' ? word.substr(1) : "";
    if (kFlags.count(name)) {
      given[name] = "";
    } else if (kValued.count(name)) {
      if (i + 1 >= argc) return fail("option " + word + " needs a value");
      given[name] = argv[++i];
    } else {
      return fail("unknown option or argument '" + word + "'");
    }
  }
  std::printf("aerender version 7.0x (tq-fakerender)\n");
  if (given.count("version")) return 0;
  auto has = [&](const char* name) { return given.count(name) > 0; };
  if (!has("project")) return fail("no project given (-project)");
  std::FILE* project = tq::platform::openFile(given["project"], "rb");
  if (!project) return fail("the project " + given["project"] + " cannot be opened");
  std::fclose(project);
  if (has("comp") && has("rqindex")) return fail("-comp and -rqindex exclude each other");
  const bool comp = has("comp");
  if (comp && given["comp"].empty()) return fail("No comp was found with the given name.");
  for (const char* option : {"RStemplate", "OMtemplate", "output", "s", "e", "i"})
    if (has(option) && !comp) return fail(std::string("-") + option + " is given only with -comp");
  int32_t first = 1, last = m.length, step = 1;
  if ((has("s") && !readNumber(given["s"], first)) || (has("e") && !readNumber(given["e"], last)) ||
      (has("i") && (!readNumber(given["i"], step) || step < 1)))
    return fail("-s, -e and -i take whole numbers (-i 1 or more)");
  if (has("s") && !has("e")) last = first;
  if (last < first) return fail("the last frame (-e) comes before the first (-s)");
  const bool progress = !has("v") || given["v"] == "ERRORS_AND_PROGRESS";
  if (has("v") && !progress && given["v"] != "ERRORS")
    return fail("-v takes ERRORS or ERRORS_AND_PROGRESS");

  auto say = [&](const std::string& line) {
    if (progress) std::printf("PROGRESS:  %s\n", line.c_str());
    std::fflush(stdout);
  };
  say("Launching After Effects...");
  say("...project " + given["project"] + " opened");
  if (m.hang) return hangThere();
  if (m.nothing) return 0;
  const std::string what = comp ? "composition '" + given["comp"] + "'" : "the render queue";
  say("Starting " + what);
  for (int64_t frame = first; frame <= last; frame += step) {
    int32_t f = static_cast<int32_t>(frame);
    if (m.hang_at && *m.hang_at == f) return hangThere();
    if (m.fail_at && *m.fail_at == f)
      return fail("rendering frame " + std::to_string(f) + " failed (TQ_FAKERENDER)");
    if (m.delay_ms > 0) tq::platform::realSleepMilliseconds(m.delay_ms);
    if (comp && has("output") && !(m.skip && *m.skip == f)) {
      std::string path = framePath(given["output"], f);
      if (!writeFrame(path, f, given["comp"])) return fail("cannot write " + path);
    }
    say(timeCode(f) + " (" + std::to_string(f) + "): 0 Seconds");
  }
  say("Finished " + what);
  say("Total Time Elapsed: 0 Seconds");
  return m.exit_status;
}
