#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <vector>

#include "platform/file_system.h"

namespace tq::platform {
namespace {

bool hiddenName(const std::string& native) {
  std::string_view path(native);
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  size_t slash = path.rfind('/');
  std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return base.size() > 1 && base[0] == '.' && base != "..";
}

}  // namespace

std::string nativePath(std::string_view path) {
  std::string native(path);
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

FileAttributes fileAttributes(const std::string& path) {
  FileAttributes attributes;
  if (!usablePath(path)) return attributes;
  std::string native = nativePath(path);
  struct stat link_info;
  if (::lstat(native.c_str(), &link_info) != 0) return attributes;
  attributes.exists = true;
  attributes.link = S_ISLNK(link_info.st_mode);
  struct stat info;
  attributes.directory = ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  attributes.hidden = hiddenName(native);
  return attributes;
}

std::optional<int64_t> modificationTime(const std::string& path) {
  struct stat info;
  if (!usablePath(path) || ::stat(nativePath(path).c_str(), &info) != 0) return std::nullopt;
  return static_cast<int64_t>(info.st_mtime);
}

bool setModificationTime(const std::string& path, int64_t seconds) {
  if (!usablePath(path)) return false;
  timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
  return ::utimensat(AT_FDCWD, nativePath(path).c_str(), times, 0) == 0;
}

bool listDirectory(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  if (!usablePath(path)) return false;
  DIR* directory = ::opendir(nativePath(path).c_str());
  if (!directory) return false;
  while (const dirent* entry = ::readdir(directory)) names.emplace_back(entry->d_name);
  ::closedir(directory);
  return true;
}

bool removeFile(const std::string& path) {
  return usablePath(path) && ::unlink(nativePath(path).c_str()) == 0;
}

bool removeDirectory(const std::string& path) {
  return usablePath(path) && ::rmdir(nativePath(path).c_str()) == 0;
}

bool removeLink(const std::string& path) { return removeFile(path); }

bool makeDirectory(const std::string& path) {
  if (!usablePath(path)) return false;
  std::string native = nativePath(path);
  if (::mkdir(native.c_str(), 0700) != 0) return false;
  ::chmod(native.c_str(), 0700);  // the umask may have taken bits away
  return true;
}

bool changeDirectory(const std::string& path) {
  return usablePath(path) && ::chdir(nativePath(path).c_str()) == 0;
}

std::string currentDirectory() {
  std::vector<char> buffer(10240);
  if (!::getcwd(buffer.data(), buffer.size())) return std::string();
  return std::string(buffer.data());
}

bool clearHiddenAttribute(const std::string& path) {
  FileAttributes attributes = fileAttributes(path);
  return attributes.exists && !attributes.hidden;
}

bool setBinaryMode(std::FILE* stream) { return stream != nullptr; }

std::FILE* openFile(const std::string& path, const char* mode) {
  if (!usablePath(path)) {
    setFileError(path.empty() ? "empty path" : "path holds a NUL byte");
    return nullptr;
  }
  std::FILE* file = std::fopen(nativePath(path).c_str(), mode);
  if (!file) recordFileError();
  return file;
}

bool seekFile(std::FILE* file, int64_t offset) {
  return offset >= 0 && ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t tellFile(std::FILE* file) { return static_cast<int64_t>(::ftello(file)); }

}  // namespace tq::platform
