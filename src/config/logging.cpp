#include "config/logging.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <vector>

#include "config/file_util.h"
#include "platform/file_system.h"
#include "platform/identity.h"
#include "platform/local_time.h"

namespace tq {

bool firstTimeFor(const std::string& cause) {
  static std::set<std::string> seen;
  constexpr size_t kMostCauses = 4096;
  if (seen.count(cause) != 0) return false;
  // A process that meets endless new causes forgets the old ones rather than grow for ever.
  if (seen.size() >= kMostCauses) seen.clear();
  seen.insert(cause);
  return true;
}

std::string formatTimeStamp(const std::tm& local, std::string_view host) {
  static const char* const kMonths[] = {"Jan ", "Feb ", "Mar ", "Apr ", "May ", "Jun ",
                                        "Jul ", "Aug ", "Sep ", "Oct ", "Nov ", "Dec "};
  if (local.tm_mon < 0 || local.tm_mon > 11) return std::string();
  char clock[96];
  std::snprintf(clock, sizeof(clock), "%d, %d %d:%02d:%02d] ", local.tm_mday, local.tm_year + 1900,
                local.tm_hour, local.tm_min, local.tm_sec);
  std::string stamp = "[";
  stamp += kMonths[local.tm_mon];
  stamp += clock;
  stamp += host.substr(0, 1023);
  stamp += " : ";
  return stamp;
}

LogSink& timeStamp() {
  std::tm local{};
  if (!platform::localTime(platform::currentTime(), local)) return logSink();
  return logSink().write(formatTimeStamp(local, platform::hostName()));
}

void LogService::setLogDestination(const TqString& name, int32_t keep) {
  if (name.empty()) return;
  if (name == TqString("stdout") || name == TqString("stderr")) {
    logLine("pipe output to STDOUT");
    return;
  }
  name_ = name;
  keep_ = keep;
  {
    LogLock lock;
    logSink() << "redirecting output to: '" << name << "'\n";
  }
  logSink().setFile(name.view(), LogSink::kWeeklyFile);
}

void LogService::removeOldLogs() const {
  if (name_.empty() || keep_ < 0) return;
  struct WeeklyFile {
    TqString path;
    int64_t modified;
  };
  std::vector<WeeklyFile> files;
  for (int week = 0; week <= 52; ++week) {
    TqString path(name_);
    path.append('.');
    path.append(week);
    if (!pathExists(path)) continue;  // logs the MAX_PATH warning for over-long names
    std::optional<int64_t> modified = platform::modificationTime(path.str());
    files.push_back({path, modified.value_or(0)});
  }
  std::stable_sort(files.begin(), files.end(), [](const WeeklyFile& a, const WeeklyFile& b) {
    return a.modified > b.modified;
  });
  for (size_t i = static_cast<size_t>(keep_); i < files.size(); ++i) {
    {
      LogLock lock;
      timeStamp() << "removing log file: " << files[i].path << "\n";
    }
    platform::removeFile(files[i].path.str());
  }
}

}  // namespace tq
