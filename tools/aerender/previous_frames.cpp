#include "previous_frames.h"

#include <cstdio>

#include "platform/file_system.h"

namespace tq::aerender {
namespace {

bool isFile(const std::string& path) {
  platform::FileAttributes attributes = platform::fileAttributes(path);
  return attributes.exists && !attributes.directory;
}

bool renameFile(const std::string& from, const std::string& to) {
  return std::rename(platform::nativePath(from).c_str(), platform::nativePath(to).c_str()) == 0;
}

int64_t sizeOf(const std::string& path) {
  std::FILE* file = platform::openFile(path, "rb");
  if (!file) return -1;
  int64_t size = std::fseek(file, 0, SEEK_END) == 0 ? platform::tellFile(file) : -1;
  std::fclose(file);
  return size;
}

}  // namespace

PreviousFrames::~PreviousFrames() { settle(); }

void PreviousFrames::moveAside(const std::string& path) {
  if (previous_.count(path) || !isFile(path)) return;
  const std::string aside = path + kPreviousSuffix;
  if (isFile(aside)) platform::removeFile(aside);
  Previous previous;
  previous.moved = renameFile(path, aside);
  if (!previous.moved) {
    previous.time = platform::modificationTime(path).value_or(-1);
    previous.size = sizeOf(path);
  }
  previous_[path] = previous;
}

bool PreviousFrames::written(const std::string& path) const {
  if (!isFile(path)) return false;
  auto found = previous_.find(path);
  if (found == previous_.end() || found->second.moved) return true;
  return platform::modificationTime(path).value_or(-1) != found->second.time ||
         sizeOf(path) != found->second.size;
}

void PreviousFrames::settle() {
  for (const auto& [path, previous] : previous_) {
    if (!previous.moved) continue;
    const std::string aside = path + kPreviousSuffix;
    if (isFile(path)) {
      platform::removeFile(aside);
    } else {
      renameFile(aside, path);
    }
  }
  previous_.clear();
}

}  // namespace tq::aerender
