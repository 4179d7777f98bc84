// The program the process tests start (tq_process_child): it shows what arguments it got and
// behaves as told.
//   args ARG...       prints "[ARG]" for each argument, one per line
//   exit N            prints "exiting N" and exits with N
//   both              prints "to stdout" on standard output and "to stderr" on standard error
//   partial           prints "no line end" without a line feed
//   tick N MS         prints "tick I" N times, MS milliseconds apart
//   hang              prints nothing and waits (at most 60 s, then exits 9)
//   talk-then-hang    prints "talking", then waits as hang does
//   close-and-hang    closes standard output and standard error, then waits as hang does
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

int hang() {
  std::this_thread::sleep_for(std::chrono::seconds(60));
  return 9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* mode = argv[1];
  if (std::strcmp(mode, "args") == 0) {
    for (int i = 2; i < argc; ++i) std::printf("[%s]\n", argv[i]);
    return 0;
  }
  if (std::strcmp(mode, "exit") == 0 && argc == 3) {
    std::printf("exiting %s\n", argv[2]);
    return std::atoi(argv[2]);
  }
  if (std::strcmp(mode, "both") == 0) {
    std::printf("to stdout\n");
    std::fflush(stdout);
    std::fprintf(stderr, "to stderr\n");
    return 0;
  }
  if (std::strcmp(mode, "partial") == 0) {
    std::printf("no line end");
    return 0;
  }
  if (std::strcmp(mode, "tick") == 0 && argc == 4) {
    for (int i = 0; i < std::atoi(argv[2]); ++i) {
      std::printf("tick %d\n", i);
      std::fflush(stdout);
      std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[3])));
    }
    return 0;
  }
  if (std::strcmp(mode, "hang") == 0) return hang();
  if (std::strcmp(mode, "talk-then-hang") == 0) {
    std::printf("talking\n");
    std::fflush(stdout);
    return hang();
  }
  if (std::strcmp(mode, "close-and-hang") == 0) {
    std::fclose(stdout);
    std::fclose(stderr);
    return hang();
  }
  return 2;
}
