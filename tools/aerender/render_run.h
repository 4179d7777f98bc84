// One run of the renderer, and whether it rendered what it was asked to.
//
// The renderer's output is read line by line: lines that start with "PROGRESS:" or mention
// "ERROR" are printed as they come (client/job_output.h), and the last kKeptLines lines are
// kept for the log of a failure. A run has rendered when the renderer exited with 0 and
//   - with an output path: wrote every frame's file (frames.h, framePath). The files there
//     before the run are moved aside first (previous_frames.h), so that a frame left from an
//     earlier render does not count, and put back where the run did not write them; an output
//     path without a placeholder also counts as written when that one file was (a movie);
//   - without one (the render queue, or a composition's own output module): reported every
//     frame of the run in its progress lines.
// The frames are those of the run; without a run (a composition's own frames) those its
// progress lines report, at least one (their files must exist).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "frames.h"
#include "render_job.h"

namespace tq::aerender {

constexpr size_t kKeptLines = 10;
// A longer line is cut into pieces of this length.
constexpr size_t kLongestLine = 4096;

struct RendererSetup {
  std::string renderer;    // the program
  int32_t silence_ms = 0;  // a renderer silent this long is ended; 0 or less: no limit
  std::function<bool()> stop;
};

struct RenderOutcome {
  bool rendered = false;
  bool not_started = false;  // the renderer could not be started at all
  bool stopped = false;      // the stop request ended it
  std::string why;           // one line, for a run that did not render
  std::vector<std::string> last_lines;
};

RenderOutcome renderRun(const RendererSetup& setup, const RenderSettings& settings,
                        const FrameRun* run);

// Cuts output arriving in pieces into lines (LF, CR LF or a lone CR end one).
class LineSplitter {
 public:
  explicit LineSplitter(std::function<void(const std::string&)> line) : line_(std::move(line)) {}
  void add(std::string_view output);
  // Hands on a last line that has no line end.
  void finish();

 private:
  std::function<void(const std::string&)> line_;
  std::string pending_;
  bool after_cr_ = false;
};

}  // namespace tq::aerender
