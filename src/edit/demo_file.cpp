#include "edit/demo_file.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "codec/wav_export.h"
#include "common/fixed_texts.h"
#include "common/progress_monitor.h"
#include "container/channel_scan.h"
#include "edit/channel_append.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

// Answers every question with OK: the demo makes a file of its own.
class AgreeingPrompter : public Prompter {
 public:
  void NotifyUser(const char*) override {}
  bool AskOkCancel(const char*) override { return true; }
  LengthChoice ChooseLength(const char*, const char*) override { return LengthChoice::SecondChoice; }
};

// Root notes of each channel's chord, in hertz.
constexpr double kRoots[3] = {220.0, 261.63, 196.0};

double Tone(double hz, double t) { return std::sin(2 * std::numbers::pi * hz * t); }

// A major chord, and a sine sweeping from 200 Hz to 2 kHz over the sound's length.
double SoundAt(int index, double t, int side) {
  const double root = kRoots[index] * (side == 0 ? 1.0 : 1.5);
  const double chord = 0.22 * Tone(root, t) + 0.18 * Tone(root * 1.26, t) + 0.14 * Tone(root * 1.5, t);
  const double sweepRate = (2000.0 - 200.0) / kDemoSeconds;
  const double sweep = std::sin(2 * std::numbers::pi * (200.0 * t + sweepRate * t * t / 2));
  return chord + 0.2 * sweep;
}

bool WriteWav(const std::string& path, int index) {
  const DemoChannel& spec = kDemoChannels[index];
  const std::vector<std::int16_t> samples = DemoSound(index);
  ChannelRecord format;
  format.HighRate = spec.Rate == kDecodedHighRate;
  format.Stereo = spec.Stereo;
  std::uint8_t header[kWavHeaderBytes];
  MakeWavHeader(format, kWavHeaderBytes + 2 * static_cast<std::int64_t>(samples.size()), header);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(header, 1, sizeof header, out) == sizeof header;
  for (std::int16_t s : samples) {
    std::uint8_t bytes[2];
    PutLe16(bytes, static_cast<std::uint16_t>(s));
    ok = ok && std::fwrite(bytes, 1, 2, out) == 2;
  }
  return std::fclose(out) == 0 && ok;
}

int AppendDemoChannel(Workspace& workspace, const std::string& wavPath, Prompter& prompter) {
  XaFile& xa = workspace.File;
  WavReader wave;
  if (wave.Open(wavPath) != 0) {
    xa.LastErrorText = wave.LastErrorText;
    return -1;
  }
  const ChannelRecord record = ProposeNewChannel(xa, wave);
  wave.Close();
  SilentProgress progress;
  return AppendChannel(xa, workspace.Import, record, wavPath, progress, prompter) == AppendResult::Done ? 0 : -1;
}

}  // namespace

std::vector<std::int16_t> DemoSound(int index) {
  const DemoChannel& spec = kDemoChannels[index];
  const int sides = spec.Stereo ? 2 : 1;
  const int frames = spec.Rate * kDemoSeconds;
  std::vector<std::int16_t> samples;
  samples.reserve(std::size_t(frames) * sides);
  for (int i = 0; i < frames; ++i) {
    for (int side = 0; side < sides; ++side)
      samples.push_back(static_cast<std::int16_t>(std::lround(32767 * SoundAt(index, double(i) / spec.Rate, side))));
  }
  return samples;
}

int WriteDemoFile(Workspace& workspace, const std::string& path) {
  XaFile& xa = workspace.File;
  SilentProgress quiet;
  if (CreateXaFile(xa, path) != 0 || OpenXaFile(xa, path) != 0 || ScanChannels(xa, kWalkLimitOpen, quiet) != 0)
    return -1;
  xa.ResizePermission = ResizeAllowed;
  AgreeingPrompter prompter;
  int result = 0;
  for (int index = 0; index < 3 && result == 0; ++index) {
    const std::string wavPath = path + ".demo" + std::to_string(index) + ".wav";
    if (!WriteWav(wavPath, index)) {
      xa.LastErrorText = text::kWavWriteFailed;
      result = -1;
    } else {
      result = AppendDemoChannel(workspace, wavPath, prompter);
    }
    std::remove(wavPath.c_str());
  }
  CloseXaFile(xa);
  return result;
}

}  // namespace sorvane
