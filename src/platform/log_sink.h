// The process-wide log sink: every diagnostic line of the library goes through it.
//
// With no file name set, pieces go to standard output (or standard error, for programs whose
// standard output is their result). With a name, each piece opens the file
// for appending, writes and closes it again, so another process may rotate or remove the file
// at any time. Mode 1 appends ".<week>" (day of the year / 7, 0..52) to the name, computed from
// the local time when the piece is written.
//
// The sink does not lock: a caller writing a line of several pieces holds LogLock around them.
// This header takes plain text so that every layer may log without reaching up.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tq {

class LogSink {
 public:
  static constexpr int kPlainFile = 0;
  static constexpr int kWeeklyFile = 1;

  LogSink& write(std::string_view text);
  LogSink& write(const char* text) { return write(std::string_view(text ? text : "")); }
  LogSink& write(int32_t value);
  LogSink& write(uint32_t value);

  // Sets the mode and, when no name is set yet, the name.
  void setFile(std::string_view name, int mode);
  // The file the next piece goes to: empty for standard output.
  std::string currentTarget() const;
  // The file a piece written at local time `local` goes to: empty for standard output.
  std::string targetAt(const std::tm& local) const;
  // Weekly files are numbered by the day of the year divided by 7: 0 to 52.
  static int weekOfYear(const std::tm& local);
  const std::string& fileName() const { return name_; }
  int mode() const { return mode_; }

  // Without a file, pieces go to standard error instead of standard output.
  void useStandardError(bool on) { standard_error_ = on; }
  bool usesStandardError() const { return standard_error_; }

  // For tests: forget the file name so that output goes to standard output again.
  void resetForTest();

 private:
  std::string name_;
  int mode_ = kPlainFile;
  bool standard_error_ = false;
};

// The one sink of the process.
LogSink& logSink();

// logSink().setFile(name, mode): sets the mode and, when no name is set yet, the name.
inline void setLogFile(std::string_view name, int mode) { logSink().setFile(name, mode); }

// The log lock (a process-wide mutex).
void lockLog();
bool tryLockLog();
void unlockLog();

// Holds the log lock for one scope.
class LogLock {
 public:
  LogLock() { lockLog(); }
  ~LogLock() { unlockLog(); }
  LogLock(const LogLock&) = delete;
  LogLock& operator=(const LogLock&) = delete;
};

// Writes one whole line (text and a line feed) under the log lock.
void logLine(std::string_view text);

}  // namespace tq
