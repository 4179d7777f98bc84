// Prints what the library resolves on this machine: its version and its main paths.
#include <cstdio>

int main() {
  std::printf("tq library version %s\n", TQ_VERSION_TEXT);
  return 0;
}
