// Speed of the error codes that every sector written inside a disc image gets: the EDC of a
// Form 2 sector, and EDC plus P/Q parity of a Form 1 sector. Reported: bytes per second of
// sectors (2336 bytes each) and sectors per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "format/sector.h"
#include "format/sector_codes.h"

namespace sorvane {
namespace {

constexpr int kSectors = 256;

std::vector<std::uint8_t> NoiseSectors(std::uint8_t submode) {
  std::vector<std::uint8_t> bytes(std::size_t{kSectors} * kSectorBytes);
  std::mt19937 random(11);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  for (int s = 0; s < kSectors; ++s) {
    bytes[std::size_t(s) * kSectorBytes + 2] = submode;
    bytes[std::size_t(s) * kSectorBytes + 6] = submode;
  }
  return bytes;
}

void Codes(benchmark::State& state, std::uint8_t submode) {
  std::vector<std::uint8_t> bytes = NoiseSectors(submode);
  for (auto _ : state) {
    for (int s = 0; s < kSectors; ++s) SetSectorCodes(bytes.data() + std::size_t(s) * kSectorBytes);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * kSectors * kSectorBytes);
  state.counters["sectors/s"] =
      benchmark::Counter(double(state.iterations()) * kSectors, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(Codes, Form2Edc, kSubmodeAudioSector);
BENCHMARK_CAPTURE(Codes, Form1EdcAndParity, std::uint8_t{0});

}  // namespace
}  // namespace sorvane

BENCHMARK_MAIN();
