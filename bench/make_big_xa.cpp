// make_big_xa FILE SECTORS [--raw]: writes a long XA file for timing the command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "big_xa_file.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_big_xa FILE SECTORS [--raw]\n");
    return 2;
  }
  const bool raw = argc > 3 && std::strcmp(argv[3], "--raw") == 0;
  return sorvane::bench::WriteBigXaFile(argv[1], std::atoi(argv[2]), raw) ? 0 : 1;
}
