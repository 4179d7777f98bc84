// Which renderer a job runs: the host installation's command-line renderer, aerender
// (aerender.exe on Windows).
//
// The first of these that is set:
//   1. the -renderer option of tq-aerender;
//   2. the environment variable TQ_AERENDER;
//   3. the job type's job.conf: "aerender_path_<appversion>" (aerender_path_7.0, say), then
//      "aerender_path"; a relative value is a path in the type's folder;
//   4. the default installation for the job's appversion: where the system names its program
//      folders (the environment variable ProgramFiles, as on Windows), the first of
//      defaultRendererCandidates() below ProgramFiles, ProgramFiles(x86), "C:\Program Files"
//      and "C:\Program Files (x86)" that exists (the first of them when none does, so that the
//      failure names it); elsewhere "aerender", searched for on PATH.
#pragma once

#include <string>
#include <vector>

namespace tq::aerender {

struct RendererChoice {
  std::string path;
  std::string source;  // where it came from, for the log ("-renderer", "TQ_AERENDER", ...)
};

RendererChoice chooseRenderer(const std::string& option, const std::string& job_type,
                              const std::string& appversion);

// The host's usual installation of the renderer for an appversion, below each of the program
// folders in turn: 6.5 "Adobe\After Effects 6.5\Support Files\aerender.exe", 7.0 "Adobe\Adobe
// After Effects 7.0\...", 8.0 "...CS3\...", 9.0 "...CS4\..."; any other appversion (or none)
// tries every version, newest first.
std::vector<std::string> defaultRendererCandidates(const std::string& appversion,
                                                   const std::vector<std::string>& program_folders);

}  // namespace tq::aerender
