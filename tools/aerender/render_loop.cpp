#include "render_loop.h"

#include <optional>
#include <vector>

#include "client/job_output.h"
#include "client/work_protocol.h"
#include "job/status.h"
#include "render_run.h"
#include "renderer_path.h"

namespace tq::aerender {
namespace {

class RenderLoop {
 public:
  RenderLoop(const RenderSettings& settings, RendererSetup setup)
      : settings_(settings), setup_(std::move(setup)) {}

  RenderLoopResult& result() { return result_; }
  bool ended() const { return ended_; }

  // One item or chunk: its runs, then its report.
  void renderAndReport(Work& work, const std::vector<FrameRun>& runs, const std::string& label) {
    printJobLine("tq-aerender: rendering " + label);
    std::string why;
    bool rendered = !runs.empty();
    for (const FrameRun& run : runs) {
      if (!renderOne(&run, why)) {
        rendered = false;
        break;
      }
    }
    finish(work, label, rendered, why);
  }
  // One run without frames: the render queue, or a composition's own frames.
  void renderWholeAndReport(Work& work, const std::string& label) {
    printJobLine("tq-aerender: rendering " + label);
    std::string why;
    bool rendered = renderOne(nullptr, why);
    finish(work, label, rendered, why);
  }
  void finish(Work& work, const std::string& label, bool rendered, const std::string& why) {
    work.status.value = rendered ? kStatusComplete : kStatusFailed;
    work.result = TqString(rendered ? "rendered" : why);
    if (rendered) {
      work.percent = 100;
      ++result_.rendered;
      printJobLine("tq-aerender: rendered " + label);
    } else {
      ++result_.failed;
      printJobLine("ERROR: " + label + " not rendered: " + why);
    }
    if (!reportWork(work)) {
      result_.lost = true;
      ended_ = true;
    }
  }

 private:
  bool renderOne(const FrameRun* run, std::string& why) {
    RenderOutcome outcome = renderRun(setup_, settings_, run);
    if (outcome.rendered) return true;
    why = outcome.why;
    if (!outcome.last_lines.empty()) {
      printJobLine("the renderer's last lines:");
      for (const std::string& line : outcome.last_lines) printJobLine("  " + line);
    }
    if (outcome.not_started) ended_ = true;
    if (outcome.stopped) {
      result_.stopped = true;
      ended_ = true;
    }
    return false;
  }

  const RenderSettings& settings_;
  RendererSetup setup_;
  RenderLoopResult result_;
  bool ended_ = false;
};

bool stopAsked(const RenderLoopOptions& options) { return options.stop && options.stop(); }

std::string framesLabel(const std::vector<FrameRun>& runs) {
  std::string label;
  for (const FrameRun& run : runs) label += (label.empty() ? "" : ",") + run.text();
  return "frames " + label;
}

// A job with an agenda: the items one at a time.
void renderAgenda(RenderLoop& loop, const RenderLoopOptions& options,
                  const RenderSettings& settings) {
  RenderLoopResult& result = loop.result();
  std::optional<Work> queue_run;  // the item that rendered the whole queue
  while (!loop.ended()) {
    if (stopAsked(options)) {
      result.stopped = true;
      break;
    }
    Work work;
    NextWork next = nextWork(work);
    if (next == NextWork::kLost) result.lost = true;
    if (next == NextWork::kPreempted) result.preempted = true;
    if (next != NextWork::kWork) break;
    const std::string name = work.name.str();
    if (settings.wholeQueue()) {
      if (!queue_run) {
        loop.renderWholeAndReport(work, "the render queue (item " + name + ")");
        queue_run = work;
      } else {
        loop.finish(work, "item " + name + " (with item " + queue_run->name.str() + ")",
                    isComplete(queue_run->status), queue_run->result.str());
      }
      continue;
    }
    std::vector<int32_t> frames;
    std::string why;
    if (!readFrames(name, frames, why)) {
      loop.finish(work, "item " + name, false, "work item " + why);
      continue;
    }
    std::vector<FrameRun> runs = cutIntoRuns(frames, INT32_MAX);
    loop.renderAndReport(work, runs, framesLabel(runs) + " (item " + name + ")");
  }
}

// A job without an agenda: chunks of its own, each reported as an item.
void renderChunks(RenderLoop& loop, const RenderLoopOptions& options,
                  const RenderSettings& settings) {
  auto item = [](const std::string& name) {
    Work work;
    work.name = TqString(name);
    work.pid = jobId();
    work.sub_id = subjobId();
    return work;
  };
  if (settings.wholeQueue() || settings.frame_range.empty()) {
    Work work = item(settings.wholeQueue() ? "queue" : "all");
    loop.renderWholeAndReport(
        work, settings.wholeQueue() ? "the render queue" : "the composition's own frames");
    return;
  }
  std::vector<int32_t> frames;
  std::string why;
  if (!readFrames(settings.frame_range, frames, why)) {
    printJobLine("ERROR: Frame_range " + why);
    loop.result().unusable = true;
    return;
  }
  std::vector<FrameRun> runs = cutIntoRuns(frames, options.chunk);
  for (size_t i = 0; i < runs.size() && !loop.ended(); ++i) {
    if (stopAsked(options)) {
      loop.result().stopped = true;
      break;
    }
    Work work = item(runs[i].text());
    loop.renderAndReport(work, {runs[i]},
                         "frames " + runs[i].text() + " (chunk " + std::to_string(i + 1) + " of " +
                             std::to_string(runs.size()) + ")");
  }
}

void reportOwnStatus(const RenderLoopResult& result) {
  Subjob own;
  own.id = subjobId();
  own.pid = jobId();
  own.status.value = result.preempted && result.exitStatus() == 0 ? kStatusPending
                     : result.exitStatus() != 0                   ? kStatusFailed
                                                                  : kStatusComplete;
  reportJob(own);
}

}  // namespace

RenderLoopResult runRenderLoop(const RenderLoopOptions& options) {
  bool assigned =
      options.development_file.empty() ? initJob() : loadDevelopmentJob(options.development_file);
  if (!assigned) {
    RenderLoopResult lost;
    lost.lost = true;
    return lost;
  }
  const Job& job = *assignedJob();
  RenderSettings settings;
  std::string why;
  if (!readRenderSettings(job.data.view(), settings, why)) {
    printJobLine("ERROR: " + why);
    RenderLoopResult unusable;
    unusable.unusable = true;
    reportOwnStatus(unusable);
    return unusable;
  }
  const std::string type = job.prototype.empty() ? "aftereffects" : job.prototype.str();
  RendererChoice renderer = chooseRenderer(options.renderer, type, settings.appversion);
  printJobLine("tq-aerender: " +
               (settings.wholeQueue()
                    ? "the render queue of " + settings.project
                    : "composition '" + settings.comp + "' of " + settings.project) +
               "; renderer " + renderer.path + " (" + renderer.source + ")");
  RendererSetup setup;
  setup.renderer = renderer.path;
  setup.silence_ms = options.silence_ms;
  setup.stop = options.stop;
  RenderLoop loop(settings, setup);
  if (job.agenda.count() > 0) {
    renderAgenda(loop, options, settings);
  } else {
    renderChunks(loop, options, settings);
  }
  RenderLoopResult result = loop.result();
  reportOwnStatus(result);
  JobLine summary;
  summary << "tq-aerender: " << result.rendered << " rendered, " << result.failed << " failed"
          << (result.preempted ? ", preempted" : "") << (result.stopped ? ", stopped" : "")
          << (result.lost ? ", supervisor lost" : "") << (result.unusable ? ", unusable job" : "");
  summary.print();
  flushJobOutput();
  return result;
}

}  // namespace tq::aerender
