// The text form of the "env" record (see env_record.h).
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "config/config_limits.h"
#include "config/env_record.h"

namespace tq {
namespace {

constexpr std::string_view kUmask = "umask";
constexpr std::string_view kCwd = "cwd";
constexpr std::string_view kDriveMap = "drivemap";

bool hasLineEnd(std::string_view s) { return s.find('\n') != std::string_view::npos; }

// A variable the reader would get back as the same variable.
bool writableVariable(std::string_view name, std::string_view value) {
  return !name.empty() && name.find('=') == std::string_view::npos && name != kDriveMap &&
         !hasLineEnd(name) && !hasLineEnd(value);
}

bool writableMount(std::string_view drive, std::string_view target) {
  return !drive.empty() && drive.find_first_of("|\n") == std::string_view::npos &&
         target.find_first_of("|\n") == std::string_view::npos;
}

}  // namespace

TqString Env::toText() const {
  TqString text("umask=");
  text.append(static_cast<int>(umask));
  text.append("\ncwd=");
  if (!hasLineEnd(cwd.view())) text.append(cwd);

  std::vector<std::pair<TqString, TqString>> sorted;
  mounts.forEach([&](const TqString& drive, const TqString& target) {
    if (writableMount(drive.view(), target.view())) sorted.emplace_back(drive, target);
  });
  // Whole bytes compared: TqString's own order stops at a NUL byte.
  std::sort(sorted.begin(), sorted.end(),
            [](const auto& a, const auto& b) { return a.first.view() < b.first.view(); });
  for (const auto& [drive, target] : sorted) {
    text.append("\ndrivemap=");
    text.append(drive);
    text.append('|');
    text.append(target);
  }

  for (int32_t i = 0; i < keys.count(); ++i) {
    const TqString* value = values.at(i);
    std::string_view value_text = value ? value->view() : std::string_view();
    if (!writableVariable(keys[i].view(), value_text)) continue;
    text.append('\n');
    text.append(keys[i]);
    text.append('=');
    text.append(value_text);
  }
  return text;
}

void Env::fromText(const TqString& text) {
  clearVariables();
  clearMounts();
  umask = 0;
  cwd.clear();
  bool have_umask = false;
  bool have_cwd = false;

  std::string_view rest = text.view();
  bool more = !rest.empty();
  while (more) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    more = end != std::string_view::npos;
    if (more) rest.remove_prefix(end + 1);

    size_t equals = line.find('=');
    std::string_view name = line.substr(0, equals);
    std::string_view value =
        equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
    if (name.empty()) break;

    if (name == kUmask && !have_umask) {
      umask = TqString(value).toInt();
      have_umask = true;
    } else if (name == kCwd && !have_cwd) {
      cwd = TqString(value);
      have_cwd = true;
    } else if (name == kDriveMap) {
      size_t bar = value.find('|');
      if (bar == 0 || bar == std::string_view::npos) continue;
      std::string_view target = value.substr(bar + 1);
      TqString drive(value.substr(0, bar));
      if (mounts.count() >= kMaxMounts && !mounts.contains(drive)) break;
      mounts.insert(drive, TqString(target.substr(0, target.find('|'))));
    } else {
      if (keys.count() >= kMaxEnvVariables) break;
      keys.append(TqString(name));
      values.append(TqString(value));
    }
  }
}

}  // namespace tq
