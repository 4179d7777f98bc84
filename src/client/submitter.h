// tq::Submitter: the action behind the "Submit Job" button.
//
// Each press builds one render job of prototype "aftereffects" from the window and the host's
// project. The render choices travel as the job's package (its data field) under the keys
// "Project_path", "appversion", "Frame_range", "Render_settings_template",
// "Output_module_template", "Output_file_path" and "Comp_name"; the farm's render job type
// reads them.
#pragma once

#include <memory>

#include "client/render_host.h"
#include "job/job.h"

namespace tq {

// What the results box shows after a press that got no job accepted, on the line before the
// reason: the submission's last error, or kNoneAcceptedText for an answer without jobs.
inline constexpr const char* kSubmitFailedText = "unable to submit job\r\n";
inline constexpr const char* kNoneAcceptedText = "the supervisor accepted none of the jobs";

class Submitter {
 public:
  explicit Submitter(RenderHost& host) : host_(host) {}

  // A new job built from the window's current values; the caller owns it.
  std::unique_ptr<Job> buildJob();

  // One press of "Submit Job": builds the job, submits it and writes the outcome into the
  // results box. Accepted identifiers go on top, one per line ending in CR LF, in the reply's
  // order, above the box's old text; when none was accepted the box holds only
  // kSubmitFailedText and the reason, on a line of its own ending in CR LF.
  void submit();

  // The "appversion" package value for a host interface version: "7.0" for 16.21 and 16.22,
  // "6.5" for 16.9, empty otherwise.
  static const char* appVersion(HostVersion version);

 private:
  void copyQueueSettings(Job& job);
  std::unique_ptr<Package> buildPackage();

  RenderHost& host_;
};

}  // namespace tq
