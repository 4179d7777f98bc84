#include "client/job_output.h"

#include <cstdio>
#include <utility>

namespace tq {
namespace {

JobOutputFunction& installed() {
  static JobOutputFunction function;
  return function;
}

void writeLine(std::FILE* stream, std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
}

}  // namespace

void printJobLine(std::string_view line) {
  if (installed()) {
    installed()(line);
    return;
  }
  writeLine(stdout, line);
  writeLine(stderr, line);
}

void flushJobOutput() { std::fflush(nullptr); }

JobOutputFunction setJobOutput(JobOutputFunction function) {
  return std::exchange(installed(), std::move(function));
}

}  // namespace tq
