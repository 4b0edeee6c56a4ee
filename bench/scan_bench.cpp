// The whole-file channel scan of a 74-minute file (333,000 sectors).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench_xa.h"
#include "common/progress_monitor.h"
#include "container/channel_scan.h"

namespace {

constexpr int kSectors = 333000;

void BM_FullScan(benchmark::State& state) {
  const std::string path = "/tmp/sorvane-bench-scan.xa";
  if (!sorvane::bench::WriteBigXaFile(path, kSectors, state.range(0) != 0)) {
    state.SkipWithError("cannot write the benchmark file");
    return;
  }
  sorvane::XaFile xa;
  sorvane::SilentProgress progress;
  for (auto _ : state) {
    if (sorvane::OpenXaFile(xa, path) != 0 ||
        sorvane::ScanChannels(xa, sorvane::kWalkLimitFull, progress) != 0) {
      state.SkipWithError(xa.LastErrorText);
      break;
    }
    benchmark::DoNotOptimize(xa.AudioChannelTable.Count);
  }
  state.counters["sectors/s"] =
      benchmark::Counter(double(kSectors) * state.iterations(), benchmark::Counter::kIsRate);
  std::remove(path.c_str());
}

BENCHMARK(BM_FullScan)->Arg(0)->Arg(1)->ArgName("raw")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
