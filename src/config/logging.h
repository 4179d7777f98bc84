// Logging on library strings: the time-stamp prefix, a writer for TqString, and the service
// object that owns log redirection.
//
// The sink itself is platform/log_sink.h. Lines of several pieces are written under the log
// lock:
//   LogLock lock;
//   timeStamp() << "removing log file: " << name << "\n";
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/log_sink.h"
#include "records/tq_string.h"

namespace tq {

// Writers that chain: logSink() << "text" << 42 << name.
inline LogSink& operator<<(LogSink& sink, std::string_view text) { return sink.write(text); }
inline LogSink& operator<<(LogSink& sink, const char* text) { return sink.write(text); }
inline LogSink& operator<<(LogSink& sink, int32_t value) { return sink.write(value); }
inline LogSink& operator<<(LogSink& sink, uint32_t value) { return sink.write(value); }
inline LogSink& operator<<(LogSink& sink, const TqString& text) { return sink.write(text.view()); }
inline LogSink& write(LogSink& sink, const TqString& text) { return sink.write(text.view()); }

// "[Mar 7, 2007 9:05:03] render01 : " for the local time `local` and host `host`: the month's
// short name, the day and hour without padding, minutes and seconds in two digits. Empty when
// `local` holds no valid month.
std::string formatTimeStamp(const std::tm& local, std::string_view host);
// Writes the prefix for the current local time and this host to the log sink; writes nothing
// when the local time cannot be obtained.
LogSink& timeStamp();

// Whether `cause` is new in this process: true the first time, false after. A warning that many
// calls would repeat is written once per cause. At most a few thousand causes are remembered.
bool firstTimeFor(const std::string& cause);

// Log redirection for a long-running program. One object is enough; it remembers the log file
// name and how many weekly files to keep.
class LogService {
 public:
  // "" changes nothing. "stdout" or "stderr" keeps the output on standard output and logs
  // "pipe output to STDOUT". Any other name is remembered with `keep`, "redirecting output to:
  // '<name>'" is logged, and the sink is set to that name in weekly mode.
  void setLogDestination(const TqString& name, int32_t keep);
  // Lists the weekly files name.0 to name.52 that exist and deletes all but the `keep` newest
  // (by modification time), logging a time-stamped "removing log file: <file>" line for each.
  // Does nothing without a remembered name or with a negative keep count.
  void removeOldLogs() const;

  const TqString& logName() const { return name_; }
  int32_t keepCount() const { return keep_; }

 private:
  TqString name_;
  int32_t keep_ = 0;
};

}  // namespace tq
