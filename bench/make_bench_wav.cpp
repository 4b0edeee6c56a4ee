// make_bench_wav OUT.wav SECONDS: a 44.1 kHz stereo 16-bit WAV of a chord over a sweep,
// for timing the import.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

void Put32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::int16_t Sample(double t, int side) {
  const double root = side ? 330.0 : 220.0;
  const double sweep = std::sin(2 * std::numbers::pi * (100.0 * t + 5.0 * t * t));
  const double v = 0.3 * std::sin(2 * std::numbers::pi * root * t) +
                   0.2 * std::sin(2 * std::numbers::pi * root * 1.5 * t) + 0.2 * sweep;
  return static_cast<std::int16_t>(std::lround(32767 * v));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::atoi(argv[2]) <= 0) {
    std::fprintf(stderr, "usage: make_bench_wav OUT.wav SECONDS\n");
    return 2;
  }
  const std::uint32_t frames = static_cast<std::uint32_t>(std::atoi(argv[2])) * 44100;
  std::uint8_t header[44] = {'R', 'I', 'F', 'F', 0,  0, 0, 0, 'W', 'A', 'V', 'E',
                             'f', 'm', 't', ' ', 16, 0, 0, 0, 1,   0,   2,   0};
  Put32(header + 4, 36 + frames * 4);
  Put32(header + 24, 44100);
  Put32(header + 28, 44100 * 4);
  header[32] = 4;
  header[34] = 16;
  header[36] = 'd', header[37] = 'a', header[38] = 't', header[39] = 'a';
  Put32(header + 40, frames * 4);
  FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  std::fwrite(header, 1, sizeof header, out);
  std::vector<std::uint8_t> block;
  for (std::uint32_t i = 0; i < frames; ++i) {
    for (int side = 0; side < 2; ++side) {
      const auto s = static_cast<std::uint16_t>(Sample(double(i) / 44100, side));
      block.push_back(static_cast<std::uint8_t>(s & 0xFF));
      block.push_back(static_cast<std::uint8_t>(s >> 8));
    }
    if (block.size() >= 1 << 16) {
      std::fwrite(block.data(), 1, block.size(), out);
      block.clear();
    }
  }
  std::fwrite(block.data(), 1, block.size(), out);
  return std::fclose(out) == 0 ? 0 : 1;
}
