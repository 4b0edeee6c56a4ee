// Speed of the high-quality unit search alone (no reading, no rate conversion): units of a
// tone, of noise and of a chord with noise, searched one after another as one side of an
// import would. Reported: units per second and the real-time factor of one 37.8 kHz side.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "codec/adpcm_search.h"

namespace sorvane {
namespace {

constexpr int kUnits = 4096;
constexpr double kRate = 37800;

enum class Signal { Tone, Noise, ChordAndNoise };

std::vector<std::int16_t> MakeSignal(Signal signal) {
  std::vector<std::int16_t> x(kUnits * kSamplesPerUnit);
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double t = double(i) / kRate;
    double v = 0;
    if (signal != Signal::Noise) {
      v = 0.3 * std::sin(2 * M_PI * 220 * t) + 0.2 * std::sin(2 * M_PI * 330 * t) +
          0.1 * std::sin(2 * M_PI * 1870 * t);
    }
    if (signal != Signal::Tone) v += (signal == Signal::Noise ? 0.25 : 0.02) * noise(random);
    x[i] = static_cast<std::int16_t>(std::clamp(std::lround(v * 32767), -32768L, 32767L));
  }
  return x;
}

void Search(benchmark::State& state, Signal signal) {
  const std::vector<std::int16_t> x = MakeSignal(signal);
  std::int64_t units = 0;
  for (auto _ : state) {
    SearchHistory history;
    for (int u = 0; u < kUnits; ++u) {
      benchmark::DoNotOptimize(SearchUnit(&x[u * kSamplesPerUnit], 1, history));
    }
    units += kUnits;
  }
  state.counters["units"] = benchmark::Counter(double(units), benchmark::Counter::kIsRate);
  state.counters["x_realtime"] =
      benchmark::Counter(double(units) * kSamplesPerUnit / kRate, benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(Search, Tone, Signal::Tone)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, Noise, Signal::Noise)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Search, ChordAndNoise, Signal::ChordAndNoise)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorvane

BENCHMARK_MAIN();
