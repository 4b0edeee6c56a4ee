// make_bench_disc FOLDER MINUTES SECTORS: a disc image FOLDER/IMAGE.BIN (+ IMAGE.CUE) of
// SECTORS raw sectors (333000 is a full 74-minute disc) holding /XA/VOICE.XA, a raw XA
// file with one 37.8 kHz stereo channel of MINUTES (random sound), three small audio files
// beside it, and /BIG.DAT, a data file whose extent fills the rest of the disc (its sectors
// are left as zeros: nothing reads them).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "bench_xa.h"
#include "support/disc_image_builder.h"

namespace {

using namespace sorvane::testing;

std::vector<std::vector<std::uint8_t>> RawFileSectors(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::vector<std::uint8_t>> sectors;
  for (std::size_t at = 0; at + 2352 <= raw.size(); at += 2352)
    sectors.emplace_back(raw.begin() + at + 16, raw.begin() + at + 2352);
  return sectors;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || std::atoi(argv[2]) <= 0 || std::atoi(argv[3]) <= 0) {
    std::fprintf(stderr, "usage: make_bench_disc FOLDER MINUTES SECTORS\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string scratch = folder + "/voice.tmp";
  DiscImageBuilder builder;
  if (!sorvane::bench::WriteBenchXa(scratch, std::atoi(argv[2]) * 60 * 75)) return 1;
  builder.Add({"XA/VOICE.XA", RawFileSectors(scratch), kXaInterleavedForm2, 1});
  for (int k = 0; k < 3; ++k) {
    if (!sorvane::bench::WriteMixedXa(scratch, 1600, k)) return 1;
    builder.Add(
        {"XA/MUSIC" + std::to_string(k) + ".XA", RawFileSectors(scratch), kXaInterleavedForm2, 1});
  }
  ::unlink(scratch.c_str());
  const DiscImage probe = builder.Build();
  const long long used = probe.dataTrackSectors + 1;
  const long long total = std::atoll(argv[3]);
  if (total <= used) return 2;
  builder.Add({"BIG.DAT", DataSectors(1, 9), kXaData, 0, std::uint32_t((total - used) * 2048)});
  const DiscImage image = builder.Build();
  std::printf("%s\n", image.Write(folder).c_str());
  // The data file's extent runs to the disc's end; its sectors stay zeros.
  return ::truncate((folder + "/" + image.binName).c_str(), total * 2352) == 0 ? 0 : 1;
}
