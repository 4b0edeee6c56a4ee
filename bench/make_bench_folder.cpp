// make_bench_folder DIR FILES MINUTES: a folder of XA files for timing export-all, each of
// that playing time with four channels of random sound, one of each quality.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_xa.h"

int main(int argc, char** argv) {
  if (argc != 4 || std::atoi(argv[2]) <= 0 || std::atoi(argv[3]) <= 0) {
    std::fprintf(stderr, "usage: make_bench_folder DIR FILES MINUTES\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const int files = std::atoi(argv[2]);
  const int sectors = std::atoi(argv[3]) * 60 * 75;  // 75 sectors a second
  for (int i = 0; i < files; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "disc%02d.xa", i + 1);
    const std::string path = (folder / name).string();
    if (!sorvane::bench::WriteMixedXa(path, sectors, static_cast<unsigned>(i + 1))) {
      std::perror(path.c_str());
      return 1;
    }
  }
  return 0;
}
