#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "platform/private_file.h"

namespace tq::platform {

PrivateFile readPrivateFile(const std::string& path, size_t max_bytes) {
  PrivateFile file;
  std::FILE* in = openFile(path, "rb");
  if (!in) return file;
  std::vector<char> buffer(max_bytes + 1);
  size_t n = std::fread(buffer.data(), 1, buffer.size(), in);
  std::fclose(in);
  file.content.assign(buffer.data(), n);
  file.modified = modificationTime(path).value_or(0);
  file.state = PrivateFile::State::kTrusted;
  return file;
}

bool writePrivateFile(const std::string& path, std::string_view bytes, std::string& reason) {
  std::FILE* out = openFile(path, "wb");
  if (!out) {
    reason = std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0) ok = false;
  if (!ok) reason = std::strerror(errno);
  return ok;
}

}  // namespace tq::platform
