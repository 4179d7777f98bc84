#include "render_job.h"

#include <memory>

#include "records/package.h"

namespace tq::aerender {

bool readRenderSettings(std::string_view package, RenderSettings& settings, std::string& why) {
  settings = RenderSettings();
  why.clear();
  std::unique_ptr<Package> root = Package::parseParenthesised(package);
  const struct {
    const char* key;
    std::string RenderSettings::*value;
  } keys[] = {
      {"Project_path", &RenderSettings::project},
      {"appversion", &RenderSettings::appversion},
      {"Comp_name", &RenderSettings::comp},
      {"Frame_range", &RenderSettings::frame_range},
      {"Output_file_path", &RenderSettings::output},
      {"Output_module_template", &RenderSettings::output_module},
      {"Render_settings_template", &RenderSettings::render_settings},
  };
  for (int32_t i = 0; root && i < root->childCount(); ++i) {
    const Package& entry = *root->child(i);
    for (const auto& key : keys)
      if (entry.name() == TqString(key.key)) settings.*key.value = entry.value().str();
  }
  if (settings.project.empty()) {
    why = "the job's package names no project (Project_path)";
    return false;
  }
  return true;
}

std::vector<std::string> rendererArguments(const RenderSettings& settings, const FrameRun* run) {
  std::vector<std::string> arguments = {"-project", settings.project};
  if (!settings.wholeQueue()) {
    arguments.insert(arguments.end(), {"-comp", settings.comp});
    if (run) {
      arguments.insert(arguments.end(),
                       {"-s", std::to_string(run->first), "-e", std::to_string(run->last)});
      if (run->step > 1) arguments.insert(arguments.end(), {"-i", std::to_string(run->step)});
    }
    if (!settings.render_settings.empty())
      arguments.insert(arguments.end(), {"-RStemplate", settings.render_settings});
    if (!settings.output_module.empty())
      arguments.insert(arguments.end(), {"-OMtemplate", settings.output_module});
    if (!settings.output.empty()) arguments.insert(arguments.end(), {"-output", settings.output});
  }
  arguments.insert(arguments.end(), {"-v", "ERRORS_AND_PROGRESS"});
  return arguments;
}

}  // namespace tq::aerender
