#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "platform/private_file.h"

namespace tq::platform {
namespace {

std::string untrustedReason(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  if (st.st_uid != ::geteuid()) return "owned by another user";
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return "writable by other users";
  if (st.st_nlink != 1) return "has more than one link";
  return std::string();
}

}  // namespace

PrivateFile readPrivateFile(const std::string& path, size_t max_bytes) {
  PrivateFile file;
  if (!usablePath(path)) return file;
  std::string native = nativePath(path);
  struct stat link_info;
  if (::lstat(native.c_str(), &link_info) != 0) return file;  // missing
  file.state = PrivateFile::State::kUntrusted;
  if (S_ISLNK(link_info.st_mode)) {
    file.reason = "a symbolic link";
    return file;
  }
  int fd = ::open(native.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    file.reason = std::strerror(errno);
    return file;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    file.reason = std::strerror(errno);
  } else {
    file.reason = untrustedReason(st);
  }
  if (file.reason.empty()) {
    std::vector<char> buffer(max_bytes + 1);
    ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      file.reason = std::strerror(errno);
    } else {
      file.content.assign(buffer.data(), static_cast<size_t>(n));
      file.modified = static_cast<int64_t>(st.st_mtime);
      file.state = PrivateFile::State::kTrusted;
    }
  }
  ::close(fd);
  return file;
}

bool writePrivateFile(const std::string& path, std::string_view bytes, std::string& reason) {
  if (!usablePath(path)) {
    reason = "unusable path";
    return false;
  }
  std::string native = nativePath(path);
  std::string temporary = native + ".XXXXXX";
  std::vector<char> pattern(temporary.begin(), temporary.end());
  pattern.push_back('\0');
  int fd = ::mkstemp(pattern.data());  // mode 0600
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  if (!ok) reason = std::strerror(errno);
  if (::close(fd) != 0 && ok) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (ok && ::rename(pattern.data(), native.c_str()) != 0) {
    ok = false;
    reason = std::strerror(errno);
  }
  if (!ok) ::unlink(pattern.data());
  return ok;
}

}  // namespace tq::platform
