#include "config/drive_mounts.h"

#include <cctype>
#include <string_view>

#include "config/config_limits.h"
#include "platform/drives.h"

namespace tq {
namespace {

constexpr int kDriveCount = 26;
// A device name \??\target: the prefix that is dropped, and the shortest answer that counts.
constexpr size_t kDevicePrefixLength = 4;
constexpr size_t kShortestDeviceAnswer = 7;

bool isSeparator(char c) { return c == '\\' || c == '/'; }
bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::string_view trimBlanks(std::string_view s) {
  const char* kBlanks = " \t\r";
  size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::string_view();
  size_t last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

bool startsAsPath(std::string_view t) {
  if (t.size() >= 2 && t[0] == '\\' && t[1] == '\\') return true;
  if (!t.empty() && t[0] == '/') return true;
  return t.size() >= 3 && isLetter(t[0]) && t[1] == ':' && isSeparator(t[2]);
}

// Keeps the destination's secure flag, unlike assigning another string.
void assignView(TqString& out, std::string_view text) {
  out.assign(text.data(), static_cast<int32_t>(text.size()));
}

}  // namespace

uint32_t DriveProbe::logicalDriveMask() const { return platform::logicalDriveMask(); }

TqString DriveProbe::networkTarget(const TqString& drive) const {
  return TqString(platform::networkDriveTarget(drive.str()));
}

TqString DriveProbe::deviceName(const TqString& drive) const {
  return TqString(platform::driveDeviceName(drive.str()));
}

void captureDriveMounts(const DriveProbe& probe, StringHash& mounts) {
  uint32_t mask = probe.logicalDriveMask();
  for (int i = 0; i < kDriveCount; ++i) {
    if ((mask & (uint32_t{1} << i)) == 0) continue;
    TqString drive(platform::driveName(i));
    TqString remote = probe.networkTarget(drive);
    if (!remote.empty()) {
      mounts.insert(drive, remote);
      continue;
    }
    TqString device = probe.deviceName(drive);
    std::string_view answer = device.view();
    if (answer.size() >= kShortestDeviceAnswer && answer[1] == '?' && answer[2] == '?') {
      mounts.insert(drive, TqString(answer.substr(kDevicePrefixLength)));
    }
  }
}

void addMountsFromText(const TqString& text, StringHash& mounts) {
  std::string_view rest = text.view();
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

    size_t bar = line.find('|');
    if (bar == std::string_view::npos) continue;
    std::string_view drive = trimBlanks(line.substr(0, bar));
    std::string_view target = line.substr(bar + 1);
    target = trimBlanks(target.substr(0, target.find('|')));
    if (drive.empty()) continue;
    TqString key(drive);
    if (drive.size() == 2 && drive[1] == ':' && isLetter(drive[0])) {
      key = TqString(
          std::string{static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0]))), ':'});
    }
    if (mounts.count() >= kMaxMounts && !mounts.contains(key)) continue;
    mounts.insert(key, TqString(target));
  }
}

void splitMountTarget(const TqString& target, TqString& user, TqString& password, TqString& path) {
  // Copied first: the target may be one of the outputs.
  const TqString whole(target);
  std::string_view t = whole.view();
  user.clear();
  password.setSecure(true);
  password.clear();
  size_t at = t.find('@');
  if (at == std::string_view::npos || startsAsPath(t)) {
    assignView(path, t);
    return;
  }
  size_t user_end = t.find_first_of(":@");
  assignView(user, t.substr(0, user_end));
  if (t[user_end] == ':') {
    at = t.find('@', user_end + 1);
    assignView(password, t.substr(user_end + 1, at - user_end - 1));
  }
  assignView(path, t.substr(at + 1));
}

}  // namespace tq
