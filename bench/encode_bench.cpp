// Speed of the XA ADPCM encoder, WAV reading and rate conversion included: a generated
// 44.1 kHz stereo WAV (a chord over a slow sweep) is encoded whole at each of the four
// qualities. Reported: sectors per second and the real-time factor, i.e. seconds of sound
// encoded per second of work. One sector holds 2016 frames (stereo) or 4032 (mono) at the
// channel's rate: 53.3 ms or 106.7 ms of sound at 37.8 kHz, twice that at 18.9 kHz. Rates are
// per second of CPU time, which on an idle machine is the wall-clock time of this one thread.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "codec/adpcm_encoder.h"
#include "container/xa_file.h"
#include "input/wav_reader.h"

namespace {

constexpr int kSourceRate = 44100;
constexpr int kSeconds = 20;

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A major chord on 220 Hz over a sine sweeping from 100 Hz to 8 kHz, each side a little
// different, at a level that leaves headroom.
std::vector<std::uint8_t> ChordWithSweep(int seconds) {
  const int frames = seconds * kSourceRate;
  std::vector<std::uint8_t> wav;
  wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
  Put(wav, 36 + frames * 4, 4);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put(wav, 16, 4), Put(wav, 1, 2), Put(wav, 2, 2), Put(wav, kSourceRate, 4);
  Put(wav, kSourceRate * 4, 4), Put(wav, 4, 2), Put(wav, 16, 2);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  Put(wav, frames * 4, 4);
  const double pi = 3.14159265358979323846;
  const double chord[] = {220.0, 277.18, 329.63};
  double sweepPhase = 0;
  for (int i = 0; i < frames; ++i) {
    double t = double(i) / kSourceRate;
    double sweepHz = 100.0 * std::pow(80.0, t / seconds);
    sweepPhase += 2 * pi * sweepHz / kSourceRate;
    for (int side = 0; side < 2; ++side) {
      double v = 0.3 * std::sin(sweepPhase + side);
      for (double hz : chord) v += 0.18 * std::sin(2 * pi * hz * t * (1 + 0.002 * side));
      Put(wav, static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767)), 2);
    }
  }
  return wav;
}

class TempWav {
 public:
  TempWav() {
    path_ = (std::filesystem::temp_directory_path() /
             ("sorvane-encode-bench-" + std::to_string(::getpid()) + ".wav"))
                .string();
    std::vector<std::uint8_t> bytes = ChordWithSweep(kSeconds);
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (f != nullptr) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
  }
  ~TempWav() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Encodes the whole WAV as one channel of the given quality, sector by sector.
void EncodeChannel(benchmark::State& state, const std::string& path, int rate, bool stereo) {
  const sorvane::Quality quality = sorvane::QualityOf(rate == sorvane::kXaHighRate, stereo);
  const int framesPerSector = sorvane::FramesPerSector(quality);
  const std::uint8_t subheader[4] = {1, 1, sorvane::kSubmodeAudioSector,
                                     sorvane::CodingInfo(quality)};
  sorvane::EncoderState encoder;
  sorvane::WavReader reader;
  std::uint8_t image[sorvane::kSectorBytes];
  std::vector<std::int16_t> frames(2 * static_cast<std::size_t>(framesPerSector));
  std::int64_t sectors = 0;
  for (auto _ : state) {
    if (reader.Open(path) != 0) {
      state.SkipWithError(reader.LastErrorText);
      break;
    }
    reader.TargetRate = rate;
    int need = sorvane::SectorsNeeded(quality, reader.TargetLength());
    for (int i = 0; i < need; ++i) {
      // Reading the frames is part of what an import spends per sector.
      for (int k = 0; k < framesPerSector; ++k) reader.ReadFrame(&frames[2 * std::size_t(k)]);
      sorvane::EncodeAudioSector(encoder, frames.data(), subheader, image);
      benchmark::DoNotOptimize(image);
    }
    reader.Close();
    sectors += need;
  }
  double soundSeconds = double(sectors) * framesPerSector / rate;
  state.counters["sectors"] = benchmark::Counter(double(sectors), benchmark::Counter::kIsRate);
  state.counters["x_realtime"] = benchmark::Counter(soundSeconds, benchmark::Counter::kIsRate);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TempWav wav;
  struct Quality {
    const char* Name;
    int Rate;
    bool Stereo;
  };
  const Quality qualities[] = {{"Encode/37.8k_stereo", 37800, true},
                               {"Encode/37.8k_mono", 37800, false},
                               {"Encode/18.9k_stereo", 18900, true},
                               {"Encode/18.9k_mono", 18900, false}};
  for (const Quality& q : qualities) {
    benchmark::RegisterBenchmark(q.Name, EncodeChannel, wav.Path(), q.Rate, q.Stereo)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
