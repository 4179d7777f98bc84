#include "client/job_type.h"

#include <charconv>
#include <set>
#include <string>

#include "config/client_config.h"
#include "config/defaults.h"
#include "config/directory.h"
#include "config/file_util.h"
#include "config/sectioned_config.h"
#include "job/names.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "records/version.h"

namespace tq {
namespace {

constexpr char kJobConf[] = "job.conf";

bool endsWithSeparator(const TqString& path) {
  char last = path.at(path.length() - 1);
  return last == '/' || last == '\\';
}

// `directory` + this system's separator (unless it ends with one) + `name`.
TqString joinPath(const TqString& directory, const TqString& name) {
  TqString out(directory);
  if (!out.empty() && !endsWithSeparator(out)) out.append(platform::kNativeSeparator);
  out.append(name);
  return out;
}

bool isAbsolutePath(const TqString& value) {
  char first = value.at(0);
  if (first == '/' || first == '\\') return true;
  bool letter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
  return letter && value.at(1) == ':';
}

bool isDotName(const TqString& name) { return name.at(0) == '.'; }

}  // namespace

std::vector<TqString> splitSearchPath(const TqString& search_path) {
  std::vector<TqString> elements;
  std::string_view text = search_path.view();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) elements.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return elements;
}

bool JobType::versionNumber(const TqString& text, float& number) {
  if (!text.isNumber()) return false;
  std::string_view digits = text.view();
  // from_chars takes no '+' (and, unlike strtof, ignores the locale's decimal point).
  if (digits.front() == '+') digits.remove_prefix(1);
  float value = 0.0f;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return false;
  number = value;
  return true;
}

TqString JobType::searchPath() { return searchPath(ClientConfig()); }

TqString JobType::searchPath(const ClientConfig& config) {
  TqString path(std::string_view(platform::environmentVariable("TQPATH")));
  path.append(';');
  path.append(config.workerTemplatePath());
  path.append(';');
  path.append(defaultText(302));
  path.append(';');
  path.append(defaultText(112));
  return path;
}

JobType::JobType(const TqString& name) : JobType(name, searchPath()) {}

JobType::JobType(const TqString& name, const TqString& search_path)
    : name_(name), search_path_(search_path) {
  TqString directory = findDirectory(name, search_path);
  if (directory.empty()) {
    problem_ =
        TqString("no job type \"") + name + "\" along the search path \"" + search_path + "\"";
    return;
  }
  load(directory);
}

TqString JobType::findDirectory(const TqString& name, const TqString& search_path) {
  // "." and ".." are entries of every directory but never a type.
  if (name.empty() || name == TqString(".") || name == TqString("..")) return TqString();
  for (const TqString& element : splitSearchPath(search_path)) {
    Directory listing(element);
    for (int32_t i = 0; i < listing.entryCount(); ++i) {
      TqString entry = listing.entry(i);
      if (entry != name) continue;
      TqString candidate = joinPath(element, entry);
      if (isDirectory(candidate)) return candidate;
    }
  }
  return TqString();
}

void JobType::load(const TqString& directory) {
  directory_ = directory;
  TqString file = joinPath(directory, kJobConf);
  if (!pathExists(file) || !config_.load(file)) {
    problem_ = TqString("no readable ") + kJobConf + " in " + directory;
    return;
  }
  valid_ = true;
  read_ = true;
  checkVersions();
  readKeys();
}

void JobType::checkVersions() {
  float library = 0.0f;
  versionNumber(kVersionNumberText, library);
  minimum_version_ = config_.get("minimum_kerv_version");
  required_version_ = config_.get("required_kerv_version");
  float number = 0.0f;
  if (versionNumber(minimum_version_, number) && library < number) {
    valid_ = false;
    problem_ = TqString("job type \"") + name_ + "\" needs at least version " + minimum_version_ +
               " (this library is " + kVersionNumberText + ")";
  }
  if (versionNumber(required_version_, number) && library != number) {
    valid_ = false;
    problem_ = TqString("job type \"") + name_ + "\" needs version " + required_version_ +
               " (this library is " + kVersionNumberText + ")";
  }
}

void JobType::readKeys() {
  auto text = [this](const char* key) { return config_.get(key); };
  auto path = [this](const char* key) { return resolve(config_.get(key)); };

  callback_library_ = path("callback_library");
  gui_icon_ = path("gui_icon");
  TqString gui_binding = text("gui_binding_winnt");
  gui_job_display_binding_ = gui_binding;
  gui_job_display_library_ = path("gui_job_display_library_winnt");
  if (gui_job_display_binding_.empty()) {
    gui_job_display_binding_ = text("gui_job_display_binding");
    gui_job_display_library_ = path("gui_job_display_library");
  }
  gui_subjob_display_binding_ = gui_binding;
  gui_subjob_display_library_ = path("gui_subjob_display_library_winnt");
  if (gui_subjob_display_binding_.empty()) {
    gui_subjob_display_binding_ = text("gui_subjob_display_binding");
    gui_subjob_display_library_ = path("gui_subjob_display_library");
  }
  gui_submit_binding_ = gui_binding;
  gui_submit_library_ = path("gui_submit_library_winnt");
  if (gui_submit_binding_.empty()) {
    gui_submit_binding_ = text("gui_submit_binding");
    gui_submit_library_ = path("gui_submit_library");
  }
  submit_binding_ = text("submit_binding");
  submit_library_ = path("submit_library");
  execute_binding_ = text("execute_binding_winnt");
  execute_library_ = path("execute_library_winnt");
  if (execute_binding_.empty()) {
    execute_binding_ = text("execute_binding");
    execute_library_ = path("execute_library");
  }
  display_binding_ = text("display_binding");
  display_library_ = path("display_library");
  parent_type_ = text("parent_type");
  detail_ = text("detail");
  short_detail_ = text("short_detail");
  version_ = text("version");

  job_priority_ = text("job_priority");
  job_cluster_ = text("job_cluster");
  job_requirements_ = text("job_requirements");
  job_restrictions_ = text("job_restrictions");
  job_reservations_ = text("job_reservations");
  job_kind_ = text("job_kind");
  job_label_ = text("job_label");
  job_account_ = text("job_account");
  job_hosts_ = text("job_hosts");
  job_groups_ = text("job_groups");
  job_flags_ = text("job_flags");
  job_cpus_ = text("job_cpus");
  job_name_ = text("job_name");
  job_status_ = text("job_status");
}

TqString JobType::resolve(const TqString& value) const {
  if (value.empty() || isAbsolutePath(value) || directory_.empty()) return value;
  return joinPath(directory_, value);
}

TqString JobType::value(const TqString& key, bool resolved) const {
  return resolved ? resolve(config_.get(key)) : config_.get(key);
}

std::vector<JobType> JobType::available() { return available(searchPath()); }

std::vector<JobType> JobType::available(const TqString& search_path) {
  // Opening each name along the same path would find the directory listed here: earlier
  // elements hold no directory of that name (it would have been seen). So the directory is
  // read at once, which keeps the listing linear in the number of entries.
  std::vector<JobType> types;
  std::set<std::string> seen;
  for (const TqString& element : splitSearchPath(search_path)) {
    Directory listing(element);
    for (int32_t i = 0; i < listing.entryCount(); ++i) {
      TqString entry = listing.entry(i);
      if (isDotName(entry) || seen.count(entry.str()) != 0) continue;
      TqString candidate = joinPath(element, entry);
      if (!isDirectory(candidate)) continue;
      seen.insert(entry.str());
      JobType type;
      type.name_ = entry;
      type.search_path_ = search_path;
      type.load(candidate);
      if (type.isValid()) types.push_back(std::move(type));
    }
  }
  return types;
}

int32_t JobType::addCallbacks(const TqString& path, CallbackList& list) {
  if (path.empty()) return 0;
  Config library(path);
  StringList names;
  library.sectionNames(names);
  int32_t added = 0;
  for (int32_t i = 0; i < names.count(); ++i) {
    const ConfigRecord* section = library.section(names[i]);
    if (section == nullptr) continue;
    const TqString& language = section->get("language");
    const TqString& code = section->get("code");
    if (language.empty() || code.empty()) continue;
    Callback callback;
    callback.triggers = names[i];
    callback.code = code;
    callback.language = kCallbackLanguageNames.textToBits(language);
    const TqString& max = section->get("max");
    if (!max.empty()) callback.max = max.toInt();
    list.append(std::move(callback));
    ++added;
  }
  return added;
}

int32_t JobType::addCallbacks(CallbackList& list) const {
  return addCallbacks(callback_library_, list);
}

}  // namespace tq
