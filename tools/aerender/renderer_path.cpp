#include "renderer_path.h"

#include "client/job_type.h"
#include "platform/environment.h"
#include "platform/file_system.h"

namespace tq::aerender {
namespace {

struct Installation {
  const char* appversion;
  const char* folder;  // below a program folder
};

// Newest first.
constexpr Installation kInstallations[] = {
    {"9.0", "Adobe\\Adobe After Effects CS4\\Support Files\\aerender.exe"},
    {"8.0", "Adobe\\Adobe After Effects CS3\\Support Files\\aerender.exe"},
    {"7.0", "Adobe\\Adobe After Effects 7.0\\Support Files\\aerender.exe"},
    {"6.5", "Adobe\\After Effects 6.5\\Support Files\\aerender.exe"},
};

std::string fromJobType(const std::string& job_type, const std::string& appversion,
                        std::string& key) {
  JobType type{TqString(job_type)};
  if (!type.isValid()) return std::string();
  for (const std::string& candidate :
       {"aerender_path_" + appversion, std::string("aerender_path")}) {
    if (candidate == "aerender_path_") continue;
    TqString value = type.value(TqString(candidate), true);
    if (!value.empty()) {
      key = candidate;
      return value.str();
    }
  }
  return std::string();
}

// Where the system names its program folders (ProgramFiles, as Windows does), the first
// installation that exists, else the first candidate; elsewhere the renderer is searched for on
// PATH.
std::string defaultRenderer(const std::string& appversion) {
  const std::string program_files = platform::environmentVariable("ProgramFiles");
  if (program_files.empty()) return "aerender";
  std::vector<std::string> folders;
  for (const std::string& folder :
       {program_files, platform::environmentVariable("ProgramFiles(x86)"),
        std::string("C:\\Program Files"), std::string("C:\\Program Files (x86)")}) {
    bool seen = folder.empty();
    for (const std::string& known : folders) seen = seen || known == folder;
    if (!seen) folders.push_back(folder);
  }
  std::vector<std::string> candidates = defaultRendererCandidates(appversion, folders);
  for (const std::string& candidate : candidates)
    if (platform::fileAttributes(candidate).exists) return candidate;
  return candidates.front();
}

}  // namespace

std::vector<std::string> defaultRendererCandidates(
    const std::string& appversion, const std::vector<std::string>& program_folders) {
  bool known = false;
  for (const Installation& installation : kInstallations)
    known = known || appversion == installation.appversion;
  std::vector<std::string> candidates;
  for (const std::string& folder : program_folders) {
    for (const Installation& installation : kInstallations) {
      if (known && appversion != installation.appversion) continue;
      std::string path = folder;
      if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
      candidates.push_back(path + installation.folder);
    }
  }
  return candidates;
}

RendererChoice chooseRenderer(const std::string& option, const std::string& job_type,
                              const std::string& appversion) {
  if (!option.empty()) return {option, "-renderer"};
  std::string variable = platform::environmentVariable("TQ_AERENDER");
  if (!variable.empty()) return {variable, "TQ_AERENDER"};
  std::string key;
  std::string configured = fromJobType(job_type, appversion, key);
  if (!configured.empty()) return {configured, "job.conf " + key};
  return {defaultRenderer(appversion), "the default for appversion '" + appversion + "'"};
}

}  // namespace tq::aerender
