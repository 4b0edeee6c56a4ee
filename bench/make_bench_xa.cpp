// make_bench_xa OUT.xa MINUTES: a raw XA file with one 37.8 kHz stereo channel of that
// playing time (random sound), for timing the export.
#include <cstdio>
#include <cstdlib>

#include "bench_xa.h"

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) <= 0) {
    std::fprintf(stderr, "usage: make_bench_xa OUT.xa MINUTES\n");
    return 2;
  }
  // The channel takes every 4th of the 75 sectors a second.
  const int sectors = std::atoi(argv[2]) * 60 * 75;
  if (!sorvane::bench::WriteBenchXa(argv[1], sectors)) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
