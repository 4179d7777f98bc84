#include "records/file_bytes.h"

#include <cstdio>

#include "platform/file_system.h"

namespace tq {

bool readFileBytes(const char* path, std::string& out, bool text) {
  if (path == nullptr) {
    platform::setFileError("no path");
    return false;
  }
  std::FILE* f = platform::openFile(path, text ? "r" : "rb");
  if (f == nullptr) return false;
  out.clear();
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, got);
  bool ok = !std::ferror(f);
  if (!ok) platform::recordFileError();
  std::fclose(f);
  return ok;
}

bool writeFileBytes(const char* path, std::string_view bytes, bool text) {
  if (path == nullptr) {
    platform::setFileError("no path");
    return false;
  }
  std::FILE* f = platform::openFile(path, text ? "w" : "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (!ok) platform::recordFileError();
  if (std::fclose(f) != 0 && ok) {
    platform::recordFileError();
    ok = false;
  }
  return ok;
}

}  // namespace tq
