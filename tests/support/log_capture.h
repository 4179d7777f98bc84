// Sends the process log sink to a fresh file for one scope, and reads back what was logged.
// The sink's previous file name and mode come back afterwards.
#pragma once

#include <string>

#include "support/temp_dir.h"

namespace tq::test {

class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Everything logged so far, line ends as "\n".
  std::string text() const;
  const std::string& path() const { return path_; }

 private:
  TempDir dir_;
  std::string path_;
  std::string previous_name_;
  int previous_mode_;
};

// Puts the sink back on standard output for one scope and restores its file name and mode.
class SinkReset {
 public:
  SinkReset();
  ~SinkReset();
  SinkReset(const SinkReset&) = delete;
  SinkReset& operator=(const SinkReset&) = delete;

 private:
  std::string name_;
  int mode_;
};

}  // namespace tq::test
