// The lines a job program prints.
//
// The work protocol writes every progress line to standard output and to standard error, so
// that whichever stream the worker keeps shows it. Lines go through one replaceable writer:
// tests install a recording one, programs keep the default. flushJobOutput() flushes every C
// stream, as the protocol does before it hands a work item back and before a command runs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "records/tq_string.h"

namespace tq {

// Receives one line without its line end.
using JobOutputFunction = std::function<void(std::string_view line)>;

// Writes `line` and a line feed to standard output, then to standard error (or hands `line`
// to the installed writer).
void printJobLine(std::string_view line);
void flushJobOutput();
// Installs `function` (an empty one restores the default) and returns the previous one.
JobOutputFunction setJobOutput(JobOutputFunction function);

class ScopedJobOutput {
 public:
  explicit ScopedJobOutput(JobOutputFunction function)
      : previous_(setJobOutput(std::move(function))) {}
  ~ScopedJobOutput() { setJobOutput(std::move(previous_)); }
  ScopedJobOutput(const ScopedJobOutput&) = delete;
  ScopedJobOutput& operator=(const ScopedJobOutput&) = delete;

 private:
  JobOutputFunction previous_;
};

// Builds a line from pieces: texts, library strings and integers.
class JobLine {
 public:
  JobLine& operator<<(std::string_view text) {
    text_.append(text);
    return *this;
  }
  JobLine& operator<<(const char* text) { return *this << std::string_view(text ? text : ""); }
  JobLine& operator<<(const TqString& text) { return *this << text.view(); }
  JobLine& operator<<(int32_t value) { return *this << std::string_view(std::to_string(value)); }
  JobLine& operator<<(uint32_t value) { return *this << std::string_view(std::to_string(value)); }
  const std::string& text() const { return text_; }
  void print() const { printJobLine(text_); }

 private:
  std::string text_;
};

}  // namespace tq
