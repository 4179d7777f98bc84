#include "support/log_capture.h"

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

std::string LogCapture::text() const { return readTextFile(path_); }

SinkReset::SinkReset() : name_(logSink().fileName()), mode_(logSink().mode()) {
  logSink().resetForTest();
}

SinkReset::~SinkReset() {
  logSink().resetForTest();
  logSink().setFile(name_, mode_);
}

}  // namespace tq::test
