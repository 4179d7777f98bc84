#include "render_run.h"

#include <deque>
#include <set>

#include "client/job_output.h"
#include "platform/process.h"
#include "previous_frames.h"

namespace tq::aerender {
namespace {

// "1800 s", or "250 ms" below a second.
std::string duration(int32_t ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

bool mentionsError(const std::string& line) { return line.find("ERROR") != std::string::npos; }

}  // namespace

void LineSplitter::add(std::string_view output) {
  for (char c : output) {
    if (after_cr_ && c == '\n') {
      after_cr_ = false;
      continue;
    }
    after_cr_ = c == '\r';
    if (c == '\n' || c == '\r') {
      line_(pending_);
      pending_.clear();
      continue;
    }
    pending_ += c;
    if (pending_.size() >= kLongestLine) {
      line_(pending_);
      pending_.clear();
    }
  }
}

void LineSplitter::finish() {
  if (!pending_.empty()) line_(pending_);
  pending_.clear();
}

RenderOutcome renderRun(const RendererSetup& setup, const RenderSettings& settings,
                        const FrameRun* run) {
  RenderOutcome outcome;
  const std::vector<int32_t> asked = run ? run->frames() : std::vector<int32_t>();
  // The files before the run are moved aside (and put back where the run does not write them).
  const bool files = !settings.output.empty() && !settings.wholeQueue();
  PreviousFrames previous;
  if (files) {
    for (int32_t frame : asked) previous.moveAside(framePath(settings.output, frame));
    if (!hasFramePlaceholder(settings.output)) previous.moveAside(settings.output);
  }

  std::deque<std::string> kept;
  std::set<int32_t> reported;
  LineSplitter lines([&](const std::string& line) {
    if (std::optional<int32_t> frame = progressFrame(line)) reported.insert(*frame);
    if (line.compare(0, 9, "PROGRESS:") == 0 || mentionsError(line)) printJobLine(line);
    kept.push_back(line);
    if (kept.size() > kKeptLines) kept.pop_front();
  });
  platform::ProgramRun program;
  program.program = setup.renderer;
  program.arguments = rendererArguments(settings, run);
  program.output = [&](std::string_view text) { lines.add(text); };
  program.silence_ms = setup.silence_ms;
  program.stop = setup.stop;
  // What was printed so far comes before the renderer's lines.
  flushJobOutput();
  platform::ProcessOutcome ended = platform::runProgram(program);
  lines.finish();
  outcome.last_lines.assign(kept.begin(), kept.end());

  using State = platform::ProcessOutcome::State;
  switch (ended.state) {
    case State::kNotStarted:
      outcome.not_started = true;
      outcome.why = "cannot start the renderer '" + setup.renderer + "': " + ended.reason;
      return outcome;
    case State::kWaitFailed:
      outcome.why = "lost the renderer: " + ended.reason;
      return outcome;
    case State::kTimedOut:
      outcome.why =
          "the renderer printed nothing for " + duration(setup.silence_ms) + " and was ended";
      return outcome;
    case State::kStopped:
      outcome.stopped = true;
      outcome.why = "stopped; the renderer was ended";
      return outcome;
    case State::kExited:
      break;
  }
  if (ended.exit_code != 0) {
    outcome.why = "the renderer exited with status " + std::to_string(ended.exit_code);
    return outcome;
  }
  const std::vector<int32_t> frames =
      run ? asked : std::vector<int32_t>(reported.begin(), reported.end());
  if (frames.empty()) {
    outcome.why = "the renderer exited with 0 but reported no frame rendered";
    return outcome;
  }
  if (!files) {
    for (int32_t frame : frames) {
      if (!reported.count(frame)) {
        outcome.why = "the renderer exited with 0 but did not report frame " +
                      std::to_string(frame) + " rendered";
        return outcome;
      }
    }
    outcome.rendered = true;
    return outcome;
  }
  int32_t missing = 0;
  std::string first_missing;
  for (int32_t frame : frames) {
    std::string path = framePath(settings.output, frame);
    if (!previous.written(path) && missing++ == 0) first_missing = path;
  }
  const bool movie = !hasFramePlaceholder(settings.output) && previous.written(settings.output);
  if (missing > 0 && !movie) {
    outcome.why = "the renderer exited with 0 but did not write " + first_missing;
    if (missing > 1) outcome.why += " (and " + std::to_string(missing - 1) + " more)";
    return outcome;
  }
  outcome.rendered = true;
  return outcome;
}

}  // namespace tq::aerender
