// What an "aftereffects" job asks for: the render keys of its package, as the plug-in writes them,
// and the renderer's arguments for one run.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frames.h"

namespace tq::aerender {

// The package keys, as the plug-in and tq-aesubmit write them; a key that is absent is empty.
struct RenderSettings {
  std::string project;          // Project_path
  std::string appversion;       // appversion: "7.0", "6.5" or empty
  std::string comp;             // Comp_name; empty: the whole render queue
  std::string frame_range;      // Frame_range, as the user typed it
  std::string output;           // Output_file_path
  std::string output_module;    // Output_module_template
  std::string render_settings;  // Render_settings_template

  bool wholeQueue() const { return comp.empty(); }
};

// Reads the package text of a job's `data`. False, with the reason in `why`, when it has no
// Project_path.
bool readRenderSettings(std::string_view package, RenderSettings& settings, std::string& why);

// The renderer's arguments for one run, each one argument whatever it holds:
//   -project P -comp C [-s F -e L [-i S]] [-RStemplate R] [-OMtemplate O] [-output O]
//   -v ERRORS_AND_PROGRESS
// for a composition (without `run`, the composition's own frames), and
//   -project P -v ERRORS_AND_PROGRESS
// for the whole render queue. -i is given only for a step above 1.
std::vector<std::string> rendererArguments(const RenderSettings& settings, const FrameRun* run);

}  // namespace tq::aerender
