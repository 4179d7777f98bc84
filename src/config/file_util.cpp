#include "config/file_util.h"

#include <cstdio>
#include <memory>

#include "platform/file_access.h"
#include "platform/file_system.h"
#include "platform/log_sink.h"

namespace tq {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File open(const TqString& path, const char* mode) {
  return File(platform::openFile(path.str(), mode));
}

// Appends up to `limit` bytes (all when limit <= 0); answers how many were appended.
int64_t appendFrom(std::FILE* file, int64_t limit, TqString& out) {
  char chunk[1024];
  int64_t total = 0;
  while (limit <= 0 || total < limit) {
    size_t want = sizeof(chunk);
    if (limit > 0 && limit - total < static_cast<int64_t>(want)) {
      want = static_cast<size_t>(limit - total);
    }
    size_t got = std::fread(chunk, 1, want, file);
    if (got == 0) break;
    int32_t before = out.length();
    out.append(chunk, static_cast<int32_t>(got));
    if (out.length() != before + static_cast<int32_t>(got)) break;  // the string is full
    total += static_cast<int64_t>(got);
  }
  return total;
}

bool writeWith(const TqString& path, const TqString& data, const char* mode) {
  File file = open(path, mode);
  if (!file) return false;
  size_t length = static_cast<size_t>(data.length());
  bool written = std::fwrite(data.c_str(), 1, length, file.get()) == length;
  bool flushed = std::fflush(file.get()) == 0;
  return written && flushed && std::fclose(file.release()) == 0;
}

size_t lastSeparator(const TqString& path) { return path.view().find_last_of("/\\"); }

}  // namespace

bool exceedsMaxPath(const TqString& path) {
  if (path.length() < kMaxPath) return false;
  LogLock lock;
  logSink().write("WARNING: ").write(path.view()).write(" exceeds MAX_PATH.").write("\n");
  return true;
}

bool pathExists(const TqString& path) {
  return !exceedsMaxPath(path) && platform::fileAttributes(path.str()).exists;
}

bool isDirectory(const TqString& path) {
  return !exceedsMaxPath(path) && platform::fileAttributes(path.str()).directory;
}

bool isHidden(const TqString& path) {
  return !exceedsMaxPath(path) && platform::fileAttributes(path.str()).hidden;
}

bool clearHidden(const TqString& path) {
  return !exceedsMaxPath(path) && platform::clearHiddenAttribute(path.str());
}

bool everyoneHasFullAccess(const TqString& path) {
  return platform::everyoneHasFullAccess(path.str());
}

TqString readWholeFile(const TqString& path, ReadMode mode) {
  TqString contents;
  if (!pathExists(path)) return contents;
  File file = open(path, mode == ReadMode::kText ? "r" : "rb");
  if (file) appendFrom(file.get(), 0, contents);
  return contents;
}

bool writeFile(const TqString& path, const TqString& data) { return writeWith(path, data, "wb"); }

bool appendFile(const TqString& path, const TqString& data) { return writeWith(path, data, "ab"); }

int64_t readFileFrom(const TqString& path, int64_t offset, int64_t limit, TqString& out) {
  if (offset < 0 || !pathExists(path)) return -1;
  File file = open(path, "rb");
  if (!file || !platform::seekFile(file.get(), offset)) return -1;
  return offset + appendFrom(file.get(), limit, out);
}

int64_t readFileFrom(const TqString& path, int64_t offset, TqString& out) {
  return readFileFrom(path, offset, 0, out);
}

TqString baseName(const TqString& path) {
  size_t last = lastSeparator(path);
  if (last == std::string_view::npos) return path;
  return TqString(path.view().substr(last + 1));
}

TqString directoryName(const TqString& path) {
  size_t last = lastSeparator(path);
  if (last == std::string_view::npos) return TqString();
  return TqString(path.view().substr(0, last));
}

bool createIfMissing(const TqString& path) {
  if (exceedsMaxPath(path)) return false;
  if (!platform::fileAttributes(path.str()).exists) {
    open(path, "ab");  // append mode never truncates, should the file appear meanwhile
  }
  return platform::fileAttributes(path.str()).exists;
}

TqString temporaryName() {
  static int32_t counter = 0;
  TqString name("kervu");
  name.append(++counter);
  name.append(".tmp");
  return name;
}

}  // namespace tq
