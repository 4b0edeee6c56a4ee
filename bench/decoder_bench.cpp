// Decoding speed in sectors per second: the sector decoders alone, and the channel walk
// over a file as export and playback do it.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "bench_xa.h"
#include "codec/adpcm_decoder.h"
#include "codec/adpcm_filters.h"
#include "common/progress_monitor.h"
#include "container/channel_scan.h"
#include "container/xa_file.h"
#include "edit/decode_walk.h"

namespace sorvane {
namespace {

constexpr int kDistinctSectors = 64;
constexpr int kGroupBytes = kSoundGroups * kSoundGroupBytes;

std::vector<std::uint8_t> RandomSectors() {
  std::vector<std::uint8_t> groups(kDistinctSectors * kGroupBytes);
  std::mt19937 random(5);
  for (int s = 0; s < kDistinctSectors; ++s)
    bench::FillRandomGroups(random, &groups[s * kGroupBytes]);
  return groups;
}

template <void (*Decode)(DecoderState&, const std::uint8_t*, std::uint8_t*)>
void BM_DecodeSector(benchmark::State& state) {
  const std::vector<std::uint8_t> groups = RandomSectors();
  DecoderState decoder;
  std::array<std::uint8_t, kPcmBlockBytes> out;
  int s = 0;
  for (auto _ : state) {
    Decode(decoder, &groups[s * kGroupBytes], out.data());
    benchmark::DoNotOptimize(out.data());
    s = (s + 1) % kDistinctSectors;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * kPcmBlockBytes);
}
BENCHMARK(BM_DecodeSector<DecodeStereoSector>)->Name("BM_DecodeStereoSector");
BENCHMARK(BM_DecodeSector<DecodeMonoSector>)->Name("BM_DecodeMonoSector");

// DecodeNextSector over a raw file whose channel fills every 4th sector.
void BM_DecodeNextSectorWalk(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "sorvane_decoder_bench.xa").string();
  const std::int32_t sectors = 4 * 2048;
  if (!bench::WriteBenchXa(path, sectors)) {
    state.SkipWithError("cannot write the bench file");
    return;
  }
  XaFile xa;
  SilentProgress silent;
  if (OpenXaFile(xa, path) != 0 || ScanChannels(xa, kWalkLimitOpen, silent) != 0 ||
      xa.AudioChannelTable.Count != 1) {
    state.SkipWithError("cannot open the bench file");
    return;
  }
  DecoderState decoder;
  DecodeCursor cursor;
  std::array<std::uint8_t, kPcmBlockBytes> out;
  std::int64_t decoded = 0;
  for (auto _ : state) {
    SelectDecodeChannel(cursor, xa.AudioChannelTable.Records[0]);
    WalkStep step;
    while ((step = DecodeNextSector(xa, cursor, decoder, out.data())) != WalkStep::End)
      decoded += step == WalkStep::Decoded;
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(decoded);
  CloseXaFile(xa);
  std::filesystem::remove(path);
}
BENCHMARK(BM_DecodeNextSectorWalk)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorvane
