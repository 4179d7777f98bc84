// What every test of a client operation stands in: its own Windows directory (tq.conf),
// temporary directory (the supervisor cache) and home, a recording sleep, a fixed random source
// and a captured log. Nothing outside the temporary directory is read or written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/random.h"
#include "platform/sleep.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace tq::test {

class ClientEnvironment {
 public:
  ClientEnvironment();
  // Writes tq.conf in the Windows directory, dated an hour ago.
  void writeConfig(const std::string& text);
  std::string configPath() const { return dir.file("tq.conf"); }
  std::string log() const { return capture.text(); }

  TempDir dir;
  std::vector<int32_t> sleeps;  // every pause asked for, in milliseconds
  int32_t random_value = 0;     // what the random source answers

 private:
  platform::ScopedEnvironmentVariable windows_;
  platform::ScopedEnvironmentVariable temporary_;
  platform::ScopedEnvironmentVariable home_;
  platform::ScopedEnvironmentVariable broadcast_;
  platform::ScopedSleepFunction sleep_;
  platform::ScopedRandomSource random_;
  LogCapture capture;
};

}  // namespace tq::test
