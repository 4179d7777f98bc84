// The supervisor cache: the dotted quad of the last supervisor that discovery found, in the
// temporary directory, trusted for 600 seconds and only while it is newer than tq.conf.
#include <ctime>
#include <string>

#include "config/defaults.h"
#include "config/identity.h"
#include "config/logging.h"
#include "platform/file_system.h"
#include "platform/private_file.h"
#include "transport/client.h"

namespace tq {
namespace {

constexpr int64_t kCacheLifetimeSeconds = 600;
// "255.255.255.255" is the longest text the cache may hold.
constexpr size_t kLongestAddressText = 15;

// Once per file and reason, not at every request; the path as the system spells it.
void warnOnce(const TqString& path, const std::string& reason) {
  std::string native = platform::nativePath(path.view());
  if (!firstTimeFor("supervisor cache " + native + ": " + reason)) return;
  LogLock lock;
  logSink() << "WARNING: ignoring supervisor cache file " << native << ": " << reason << ".\n";
}

}  // namespace

TqString supervisorCachePath() {
  TqString path = defaultText(32);
  path.append("\\supervisor_");
  path.append(userName());
  path.append(".tmp");
  return path;
}

bool cacheIsFresh(int64_t cache_modified, int64_t config_modified, int64_t now) {
  return cache_modified > config_modified && now - cache_modified < kCacheLifetimeSeconds;
}

TqString readSupervisorCache() {
  TqString path = supervisorCachePath();
  platform::PrivateFile file = platform::readPrivateFile(path.str(), kLongestAddressText);
  if (file.state == platform::PrivateFile::State::kMissing) return TqString();
  if (file.state == platform::PrivateFile::State::kUntrusted) {
    warnOnce(path, file.reason);
    return TqString();
  }
  int64_t config_modified = platform::modificationTime(defaultText(301).str()).value_or(0);
  if (!cacheIsFresh(file.modified, config_modified, static_cast<int64_t>(std::time(nullptr))))
    return TqString();
  TqString text(file.content);
  if (file.content.size() > kLongestAddressText || !Address::isDottedQuad(text)) {
    warnOnce(path, "it does not hold a dotted quad");
    return TqString();
  }
  return text;
}

bool writeSupervisorCache(const TqString& address_text) {
  TqString path = supervisorCachePath();
  std::string reason;
  if (platform::writePrivateFile(path.str(), address_text.view(), reason)) return true;
  LogLock lock;
  logSink() << "WARNING: unable to write supervisor cache file "
            << platform::nativePath(path.view()) << ": " << reason << ".\n";
  return false;
}

}  // namespace tq
