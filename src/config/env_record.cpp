#include "config/env_record.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/file_system.h"

namespace tq {
namespace {

// Index of the first variable of that name, or -1.
int32_t findVariable(const StringList& keys, const TqString& name) {
  for (int32_t i = 0; i < keys.count(); ++i)
    if (keys[i].equals(name)) return i;
  return -1;
}

}  // namespace

void Env::capture() { capture(DriveProbe()); }

void Env::capture(const DriveProbe& drives) {
  clearVariables();
  for (const std::string& entry : platform::environmentEntries()) {
    size_t equals = entry.find('=');
    keys.append(TqString(std::string_view(entry).substr(0, equals)));
    values.append(equals == std::string::npos
                      ? TqString()
                      : TqString(std::string_view(entry).substr(equals + 1)));
  }
  std::string directory = platform::currentDirectory();
  if (!directory.empty()) cwd = TqString(directory);
  captureDriveMounts(drives, mounts);
}

TqString Env::variable(const TqString& name) const {
  int32_t i = findVariable(keys, name);
  const TqString* value = i < 0 ? nullptr : values.at(i);
  return value ? *value : TqString();
}

void Env::setVariable(const TqString& name, const TqString& value) {
  int32_t i = findVariable(keys, name);
  if (i < 0) {
    // Appended at the end of both lists, so the pair stays at one index even when a decoded
    // record held fewer values than names.
    i = keys.count();
    keys.append(name);
  }
  while (values.count() <= i) values.append(TqString());
  values[i] = value;
}

void Env::clearVariables() {
  keys.clear();
  values.clear();
}

void Env::setMountsFromText(const TqString& text) { addMountsFromText(text, mounts); }

TqString Env::mount(const TqString& drive) const {
  const TqString* target = mounts.find(drive);
  return target ? *target : TqString();
}

void Env::mountDrives(StringList& list) const {
  std::vector<TqString> drives;
  mounts.forEach([&](const TqString& drive, const TqString&) { drives.push_back(drive); });
  // Whole bytes compared: TqString's own order stops at a NUL byte.
  std::sort(drives.begin(), drives.end(),
            [](const TqString& a, const TqString& b) { return a.view() < b.view(); });
  for (TqString& drive : drives) list.append(std::move(drive));
}

bool Env::mountCredentials(const TqString& drive, TqString& user, TqString& password,
                           TqString& path) const {
  const TqString* target = mounts.find(drive);
  if (!target) return false;
  splitMountTarget(*target, user, password, path);
  return true;
}

TqString processVariable(const TqString& name) {
  return TqString(platform::environmentVariable(name.str()));
}

bool putVariable(const TqString& name, const TqString& value) {
  return platform::setEnvironmentVariable(name.str(), value.str());
}

}  // namespace tq
