#include "support/log_capture.h"

#include <fstream>
#include <sstream>

#include "platform/log_sink.h"

namespace tq::test {

LogCapture::LogCapture()
    : path_(dir_.file("captured.log")),
      previous_name_(logSink().fileName()),
      previous_mode_(logSink().mode()) {
  logSink().resetForTest();
  logSink().setFile(path_, LogSink::kPlainFile);
}

LogCapture::~LogCapture() {
  logSink().resetForTest();
  logSink().setFile(previous_name_, previous_mode_);
}

std::string LogCapture::text() const {
  std::ifstream in(path_);  // text mode: CR LF written on Windows reads back as LF
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

}  // namespace tq::test
