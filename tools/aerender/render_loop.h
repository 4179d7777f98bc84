// The loop of tq-aerender, the job program of the "aftereffects" job type.
//
// It takes the assignment (initJob, or loadDevelopmentJob for a job file), reads the job's
// package (render_job.h) and chooses the renderer (renderer_path.h). Then:
//   - a job with an agenda: it takes the work items one at a time; an item's name is a frame or
//     a list of frames ("12", "1-10", "1-10x2"), rendered by one run of the renderer per run of
//     frames (frames.h); a whole-queue job renders the queue once, with the first item it
//     takes, and reports every later item as that run went;
//   - a job without one: it renders the composition's Frame_range in chunks of `chunk` frames,
//     one run each, and reports each chunk as a work item named by its frames ("1-10"); a
//     composition without a Frame_range is one run of its own frames ("all"), the whole render
//     queue one run ("queue").
// Each item or chunk is reported complete when its runs rendered (render_run.h), failed
// otherwise, with the reason in its `result` and the renderer's last lines printed. Progress: a
// line as each chunk starts and ends, and the renderer's own progress lines. A renderer that
// cannot be started fails the item at hand and ends the loop: the other items stay for hosts
// that have one. A stop request ends the run at hand (failed) and the loop. At the end the
// sub-job is reported: complete when everything taken rendered, pending when preempted, failed
// otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "records/tq_string.h"

namespace tq::aerender {

struct RenderLoopOptions {
  TqString development_file;  // empty: take the assignment from the worker
  std::string renderer;       // -renderer; empty: chosen as renderer_path.h says
  int32_t chunk = 10;         // frames per run of a job without an agenda
  int32_t silence_ms = 1800 * 1000;
  std::function<bool()> stop;  // asked between runs and while one runs
};

struct RenderLoopResult {
  int32_t rendered = 0;  // items or chunks rendered
  int32_t failed = 0;    // items or chunks that were not
  bool preempted = false;
  bool stopped = false;
  bool lost = false;      // no assignment, or the supervisor could not be reached
  bool unusable = false;  // the job's package or frames could not be read
  // 0 only when nothing failed and the loop was neither lost, stopped nor given an unusable job.
  int exitStatus() const { return failed > 0 || lost || stopped || unusable ? 1 : 0; }
};

RenderLoopResult runRenderLoop(const RenderLoopOptions& options);

}  // namespace tq::aerender
