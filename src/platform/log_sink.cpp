#include "platform/log_sink.h"

#include <cstdio>
#include <mutex>
#include <new>

#include "platform/file_system.h"
#include "platform/local_time.h"

namespace tq {
namespace {

// Built on first use and never destroyed, so that code running during static destruction can
// still log.
template <typename T>
T& immortal() {
  alignas(T) static unsigned char storage[sizeof(T)];
  static T* object = new (storage) T();
  return *object;
}

// Recursive, like a Windows critical section: a thread that holds the lock may take it again.
std::recursive_mutex& logMutex() { return immortal<std::recursive_mutex>(); }

}  // namespace

LogSink& logSink() { return immortal<LogSink>(); }

int LogSink::weekOfYear(const std::tm& local) {
  int day = local.tm_yday;
  if (day < 0) day = 0;
  if (day > 365) day = 365;
  return day / 7;
}

std::string LogSink::targetAt(const std::tm& local) const {
  if (name_.empty() || mode_ != kWeeklyFile) return name_;
  return name_ + "." + std::to_string(weekOfYear(local));
}

std::string LogSink::currentTarget() const {
  if (name_.empty() || mode_ != kWeeklyFile) return name_;
  std::tm local{};
  if (!platform::localTime(platform::currentTime(), local)) return name_;
  return targetAt(local);
}

LogSink& LogSink::write(std::string_view text) {
  if (text.empty()) return *this;
  std::string target = currentTarget();
  if (target.empty()) {
    std::FILE* stream = standard_error_ ? stderr : stdout;
    std::fwrite(text.data(), 1, text.size(), stream);
    if (text.back() == '\n') std::fflush(stream);
    return *this;
  }
  // Opened per piece: another process may rotate or remove the file between pieces.
  if (std::FILE* file = platform::openFile(target, "a")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  return *this;
}

LogSink& LogSink::write(int32_t value) { return write(std::to_string(value)); }

LogSink& LogSink::write(uint32_t value) { return write(std::to_string(value)); }

void LogSink::setFile(std::string_view name, int mode) {
  mode_ = mode;
  if (name_.empty()) name_ = std::string(name);
}

void LogSink::resetForTest() {
  name_.clear();
  mode_ = kPlainFile;
}

void lockLog() { logMutex().lock(); }

bool tryLockLog() { return logMutex().try_lock(); }

void unlockLog() { logMutex().unlock(); }

void logLine(std::string_view text) {
  LogLock lock;
  logSink().write(text).write("\n");
}

}  // namespace tq
