#include "support/signals.h"

#include <cmath>
#include <limits>

namespace sorvane::testing {

std::vector<std::int16_t> ChordWithSweep(int rate, double seconds, int channels) {
  const double pi = 3.14159265358979323846;
  const double chord[] = {220.0, 277.18, 329.63};
  const int frames = static_cast<int>(seconds * rate);
  std::vector<std::int16_t> samples;
  samples.reserve(static_cast<std::size_t>(frames) * channels);
  double sweepPhase = 0;
  for (int i = 0; i < frames; ++i) {
    double t = double(i) / rate;
    sweepPhase += 2 * pi * 100.0 * std::pow(40.0, t / seconds) / rate;
    for (int c = 0; c < channels; ++c) {
      double v = 0.3 * std::sin(sweepPhase + c);
      for (double hz : chord) v += 0.18 * std::sin(2 * pi * hz * (1 + 0.003 * c) * t);
      samples.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
    }
  }
  return samples;
}

std::vector<std::int16_t> FadeToQuiet(int rate, double seconds, int channels) {
  const double pi = 3.14159265358979323846;
  std::vector<std::int16_t> samples = ChordWithSweep(rate, seconds, channels);
  const std::size_t frames = samples.size() / channels;
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = double(i) / frames;  // 0 .. 1 over the signal
    const double tone = std::sin(2 * pi * 440.0 * double(i) / rate);
    double quiet = 0;
    if (t >= 0.6 && t < 0.7) quiet = 3 * tone;
    if (t >= 0.8 && t < 0.9) quiet = tone;
    for (int c = 0; c < channels; ++c) {
      std::int16_t& v = samples[i * channels + c];
      v = t < 0.5 ? static_cast<std::int16_t>(std::lround(v * (1 - 2 * t)))
                  : static_cast<std::int16_t>(std::lround(quiet));
    }
  }
  return samples;
}

double SnrDb(const std::vector<std::int32_t>& reference, const std::vector<std::int32_t>& test) {
  double signal = 0;
  double noise = 0;
  for (std::size_t i = 0; i < reference.size() && i < test.size(); ++i) {
    signal += double(reference[i]) * reference[i];
    double d = double(reference[i]) - test[i];
    noise += d * d;
  }
  if (noise == 0) return std::numeric_limits<double>::infinity();
  return 10 * std::log10(signal / noise);
}

}  // namespace sorvane::testing
