#include <windows.h>
// windows.h first: the headers below build on its types.
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <vector>

#include "platform/file_system.h"

namespace tq::platform {

std::string nativePath(std::string_view path) { return std::string(path); }

FileAttributes fileAttributes(const std::string& path) {
  FileAttributes attributes;
  if (!usablePath(path)) return attributes;
  DWORD bits = GetFileAttributesA(path.c_str());
  if (bits == INVALID_FILE_ATTRIBUTES) return attributes;
  attributes.exists = true;
  attributes.directory = (bits & FILE_ATTRIBUTE_DIRECTORY) != 0;
  attributes.hidden = (bits & FILE_ATTRIBUTE_HIDDEN) != 0;
  attributes.link = (bits & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  return attributes;
}

std::optional<int64_t> modificationTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!usablePath(path) || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    return std::nullopt;
  }
  // FILETIME counts 100 ns steps since 1601-01-01.
  uint64_t ticks = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                   data.ftLastWriteTime.dwLowDateTime;
  constexpr int64_t kTicksPerSecond = 10000000;
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;
  return static_cast<int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
}

bool setModificationTime(const std::string& path, int64_t seconds) {
  if (!usablePath(path)) return false;
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  uint64_t ticks = static_cast<uint64_t>(seconds + 11644473600LL) * 10000000ULL;
  FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  BOOL ok = SetFileTime(file, nullptr, nullptr, &time);
  CloseHandle(file);
  return ok != 0;
}

bool listDirectory(const std::string& path, std::vector<std::string>& names) {
  names.clear();
  if (!usablePath(path)) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(listPattern(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

bool removeFile(const std::string& path) { return usablePath(path) && _unlink(path.c_str()) == 0; }

bool removeDirectory(const std::string& path) {
  return usablePath(path) && _rmdir(path.c_str()) == 0;
}

bool removeLink(const std::string& path) {
  // A directory link or junction goes with RemoveDirectory, which leaves its target alone.
  FileAttributes attributes = fileAttributes(path);
  if (!attributes.exists) return false;
  return attributes.directory ? RemoveDirectoryA(path.c_str()) != 0
                              : DeleteFileA(path.c_str()) != 0;
}

bool makeDirectory(const std::string& path) {
  if (!usablePath(path) || _mkdir(path.c_str()) != 0) return false;
  _chmod(path.c_str(), _S_IREAD | _S_IWRITE);
  return true;
}

bool changeDirectory(const std::string& path) {
  return usablePath(path) && _chdir(path.c_str()) == 0;
}

std::string currentDirectory() {
  std::vector<char> buffer(10240);
  if (!_getcwd(buffer.data(), static_cast<int>(buffer.size()))) return std::string();
  return std::string(buffer.data());
}

bool clearHiddenAttribute(const std::string& path) {
  if (!usablePath(path)) return false;
  DWORD bits = GetFileAttributesA(path.c_str());
  if (bits == INVALID_FILE_ATTRIBUTES) return false;
  if ((bits & FILE_ATTRIBUTE_HIDDEN) == 0) return true;
  bits &= ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN);
  return SetFileAttributesA(path.c_str(), bits ? bits : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool setBinaryMode(std::FILE* stream) {
  return stream != nullptr && _setmode(_fileno(stream), _O_BINARY) != -1;
}

std::FILE* openFile(const std::string& path, const char* mode) {
  if (!usablePath(path)) {
    setFileError(path.empty() ? "empty path" : "path holds a NUL byte");
    return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (!file) recordFileError();
  return file;
}

bool seekFile(std::FILE* file, int64_t offset) {
  return offset >= 0 && _fseeki64(file, offset, SEEK_SET) == 0;
}

int64_t tellFile(std::FILE* file) { return _ftelli64(file); }

}  // namespace tq::platform
