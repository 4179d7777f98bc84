// Records the lines the work protocol prints, for one scope.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "client/job_output.h"

namespace tq::test {

class JobOutputCapture {
 public:
  JobOutputCapture() : scope_([this](std::string_view line) { lines.emplace_back(line); }) {}

  // How many lines are exactly `line`.
  int count(const std::string& line) const {
    int n = 0;
    for (const std::string& l : lines) n += l == line ? 1 : 0;
    return n;
  }
  bool has(const std::string& line) const { return count(line) > 0; }
  // How many lines start with `prefix`.
  int countStarting(const std::string& prefix) const {
    int n = 0;
    for (const std::string& l : lines) n += l.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
  }
  std::string text() const {
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
  }

  std::vector<std::string> lines;

 private:
  ScopedJobOutput scope_;
};

}  // namespace tq::test
