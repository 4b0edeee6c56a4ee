#include "edit/demo_file.h"

#include <cmath>
#include <numbers>

#include "common/progress_monitor.h"
#include "container/channel_scan.h"
#include "edit/channel_append.h"
#include "input/frame_source.h"

namespace sorvane {
namespace {

// Answers every question with OK: the demo makes a file of its own.
class AgreeingPrompter : public Prompter {
 public:
  void NotifyUser(const char*) override {}
  bool AskOkCancel(const char*) override { return true; }
  LengthChoice ChooseLength(const char*, const char*) override {
    return LengthChoice::SecondChoice;
  }
};

// Root notes of each channel's chord, in hertz.
constexpr double kRoots[3] = {220.0, 261.63, 196.0};

double Tone(double hz, double t) { return std::sin(2 * std::numbers::pi * hz * t); }

// A major chord, and a sine sweeping from 200 Hz to 2 kHz over the sound's length.
double SoundAt(int index, double t, int side) {
  const double root = kRoots[index] * (side == 0 ? 1.0 : 1.5);
  const double chord =
      0.22 * Tone(root, t) + 0.18 * Tone(root * 1.26, t) + 0.14 * Tone(root * 1.5, t);
  const double sweepRate = (2000.0 - 200.0) / kDemoSeconds;
  const double sweep = std::sin(2 * std::numbers::pi * (200.0 * t + sweepRate * t * t / 2));
  return chord + 0.2 * sweep;
}

Outcome AppendDemoChannel(Workspace& workspace, int index, Prompter& prompter) {
  const DemoChannel& demo = kDemoChannels[index];
  MemoryFrames sound(DemoSound(index), demo.Stereo ? 2 : 1, demo.Rate);
  const ChannelRecord record = ProposeNewChannel(workspace.File, sound);
  SilentProgress progress;
  return AppendSound(workspace, record, sound, progress, prompter);
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
      samples.push_back(static_cast<std::int16_t>(
          std::lround(32767 * SoundAt(index, double(i) / spec.Rate, side))));
  }
  return samples;
}

Outcome WriteDemoFile(Workspace& workspace, const std::string& path) {
  XaFile& xa = workspace.File;
  SilentProgress quiet;
  if (CreateXaFile(xa, path) != 0 || OpenXaFile(xa, path) != 0 ||
      ScanChannels(xa, kWalkLimitOpen, quiet) != 0)
    return Outcome::Failed;
  xa.ResizePermission = ResizeAllowed;
  AgreeingPrompter prompter;
  Outcome outcome = Outcome::Done;
  for (int index = 0; index < 3 && outcome == Outcome::Done; ++index)
    outcome = AppendDemoChannel(workspace, index, prompter);
  CloseXaFile(xa);
  return outcome == Outcome::Done ? Outcome::Done : Outcome::Failed;
}

}  // namespace sorvane
