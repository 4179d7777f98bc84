// tq-budget: runs the budget cases (budget.h).
//   tq-budget -list                       the case names
//   tq-budget -case NAME [-size BYTES]    one case in this process; exit 1 when over budget
//   tq-budget -all [-size BYTES]          every case, each in a process of its own
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "budget/budget.h"
#include "platform/memory_use.h"

namespace tq::budget {
namespace {

constexpr size_t kDefaultSize = size_t{4} << 20;
constexpr int64_t kMemoryFloor = int64_t{64} << 20;
constexpr int64_t kMemoryFactor = 16;

std::vector<Case>& cases() {
  static std::vector<Case> table;
  return table;
}

const Case* findCase(const std::string& name) {
  for (const Case& c : cases())
    if (name == c.name) return &c;
  return nullptr;
}

int runOne(const Case& c, size_t size) {
  std::string input = c.generate(size);
  platform::MemoryUse before = platform::memoryUse();
  auto start = std::chrono::steady_clock::now();
  c.run(input);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  platform::MemoryUse after = platform::memoryUse();
  int64_t n = static_cast<int64_t>(input.size());
  int64_t allowance = std::max(kMemoryFloor, kMemoryFactor * n);
  // The peak after the run, less what was resident before it, bounds what the reader built.
  int64_t used = after.peak_bytes - before.current_bytes;
  bool measured = after.peak_bytes > 0 && before.current_bytes > 0;
  bool over = measured && used > allowance;
  std::printf("%-40s %-28s input %9.2f MiB  peak +%8.2f MiB  allowance %8.2f MiB  %7.3f s  %s\n",
              c.name, c.reader, n / 1048576.0, measured ? used / 1048576.0 : 0.0,
              allowance / 1048576.0, seconds,
              !measured ? "(memory not measured)"
              : over    ? "OVER BUDGET"
                        : "ok");
  std::fflush(stdout);
  return over ? 1 : 0;
}

int runAll(const char* program, size_t size) {
  int failures = 0;
  std::vector<Case> sorted = cases();
  std::sort(sorted.begin(), sorted.end(),
            [](const Case& a, const Case& b) { return std::strcmp(a.name, b.name) < 0; });
  for (const Case& c : sorted) {
    std::string command =
        std::string("\"") + program + "\" -case " + c.name + " -size " + std::to_string(size);
    std::fflush(stdout);
    if (std::system(command.c_str()) != 0) {
      std::printf("FAILED: %s\n", c.name);
      ++failures;
    }
  }
  std::printf("%zu cases, %d over budget or failed\n", sorted.size(), failures);
  return failures == 0 ? 0 : 1;
}

}  // namespace

Registrar::Registrar(const Case& c) { cases().push_back(c); }

}  // namespace tq::budget

int main(int argc, char** argv) {
  using namespace tq::budget;
  size_t size = kDefaultSize;
  std::string mode, name;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-size" && i + 1 < argc) {
      size = static_cast<size_t>(std::strtoull(argv[++i], nullptr, 10));
    } else if (arg == "-case" && i + 1 < argc) {
      mode = "case";
      name = argv[++i];
    } else if (arg == "-all" || arg == "-list") {
      mode = arg.substr(1);
    } else {
      std::fprintf(stderr,
                   "usage: tq-budget -list | -case NAME [-size BYTES] | -all [-size BYTES]\n");
      return 2;
    }
  }
  if (mode == "list") {
    for (const Case& c : cases()) std::printf("%s\n", c.name);
    return 0;
  }
  if (mode == "case") {
    const Case* c = findCase(name);
    if (!c) {
      std::fprintf(stderr, "tq-budget: no case '%s'\n", name.c_str());
      return 2;
    }
    return runOne(*c, size);
  }
  if (mode == "all") return runAll(argv[0], size);
  std::fprintf(stderr, "usage: tq-budget -list | -case NAME [-size BYTES] | -all [-size BYTES]\n");
  return 2;
}
