#include "edit/channel_play.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"
#include "edit/decode_walk.h"
#include "edit/sector_skip.h"

namespace sorvane {
namespace {

constexpr int kPlaybackBufferCount = 16;
constexpr int kDoneTests = 16;      // tests of a done flag per wait
constexpr int kDoneTestMs = 54;     // about one stereo 37.8 kHz buffer
constexpr int kDrainReadings = 50;  // position readings after the first
constexpr int kDrainReadingMs = 100;

// The format of the decoder's output for a channel: 44100 Hz for 37.8 kHz channels,
// 22050 Hz for 18.9 kHz ones, stereo as the record says.
AudioFormat PlaybackFormat(const ChannelRecord& record) {
  return AudioFormat{DecodedRate(QualityOf(record)), record.Stereo ? 2 : 1};
}

struct PlaybackBuffer {
  std::uint8_t* Data = nullptr;  // kPcmBlockBytes bytes from AudioOutput::AllocateBlock
  bool Done = false;             // free for filling; cleared while the device holds it
};

// The open device, its buffers and the next buffer to fill. Lives for one PlayChannel.
struct WaveOut {
  explicit WaveOut(AudioOutput& output) : Output(output) {}

  AudioOutput& Output;
  std::array<PlaybackBuffer, kPlaybackBufferCount> Buffers{};
  int RingIndex = 0;
};

void FreeBlocks(WaveOut& wave) {
  for (PlaybackBuffer& buffer : wave.Buffers) {
    if (buffer.Data != nullptr) wave.Output.FreeBlock(buffer.Data);
    buffer = PlaybackBuffer{};
  }
}

// Opens the device in `format` and allocates the 16 buffers, all free. false with
// LastErrorText "WAVデバイスがオープンできません" (nothing open) or
// "再生用メモリが確保できません。" (every block freed, device closed).
bool OpenWaveOut(XaFile& xa, WaveOut& wave, const AudioFormat& format) {
  if (!wave.Output.Open(format)) {
    xa.LastErrorText = text::kWaveDeviceCannotOpen;
    return false;
  }
  for (PlaybackBuffer& buffer : wave.Buffers) {
    buffer.Data = wave.Output.AllocateBlock(kPcmBlockBytes);
    if (buffer.Data == nullptr) {
      FreeBlocks(wave);
      wave.Output.Close();
      xa.LastErrorText = text::kPlaybackNoMemory;
      return false;
    }
  }
  for (PlaybackBuffer& buffer : wave.Buffers) buffer.Done = true;
  wave.RingIndex = 0;
  return true;
}

// Tests buffer `index`'s done flag up to kDoneTests times, sleeping kDoneTestMs after each
// failed test; true once it is done.
bool WaitBufferDone(WaveOut& wave, int index) {
  PlaybackBuffer& buffer = wave.Buffers[index];
  for (int test = 0; test < kDoneTests; ++test) {
    if (!buffer.Done) buffer.Done = wave.Output.IsDone(index);
    if (buffer.Done) return true;
    wave.Output.Sleep(kDoneTestMs);
  }
  return false;
}

// Lets the queued sound play out: waits for the last buffer handed over, then reads the
// position every kDrainReadingMs (at most kDrainReadings times) until it stands still or a
// reading fails.
void DrainWaveOut(WaveOut& wave) {
  WaitBufferDone(wave, (wave.RingIndex + kPlaybackBufferCount - 1) % kPlaybackBufferCount);
  std::int64_t previous = 0;
  // Without a first reading there is nothing to see standing still.
  if (!wave.Output.Position(previous)) return;
  for (int reading = 0; reading < kDrainReadings; ++reading) {
    wave.Output.Sleep(kDrainReadingMs);
    std::int64_t position = 0;
    if (!wave.Output.Position(position) || position == previous) return;
    previous = position;
  }
}

// Stops the device at once, frees the buffers and closes the device.
void CloseWaveOut(WaveOut& wave) {
  wave.Output.Reset();
  FreeBlocks(wave);
  wave.Output.Close();
}

// The loop between Start and Finish; the first block sent starts at byte `offset` of it.
Outcome FeedDevice(XaFile& xa, DecodeCursor& cursor, DecoderState& state, WaveOut& wave,
                   ProgressMonitor& monitor, int offset) {
  for (;;) {
    monitor.SetPosition(ProgressPercent(cursor.Current, cursor.Record.FirstSector, cursor.End));
    if (monitor.PollCancel()) return Outcome::Cancelled;
    if (!WaitBufferDone(wave, wave.RingIndex)) continue;
    PlaybackBuffer& buffer = wave.Buffers[wave.RingIndex];
    switch (DecodeNextSector(xa, cursor, state, buffer.Data)) {
      case WalkStep::Failed:
        return Outcome::Failed;
      case WalkStep::Searching:
        break;  // nothing decoded: the same buffer is filled next time
      case WalkStep::End:
        DrainWaveOut(wave);
        return Outcome::Done;
      case WalkStep::Decoded:
        buffer.Done = false;
        wave.Output.Write(wave.RingIndex, buffer.Data + offset, kPcmBlockBytes - offset);
        offset = 0;
        wave.RingIndex = (wave.RingIndex + 1) % kPlaybackBufferCount;
        break;
    }
  }
}

}  // namespace

Outcome PlayChannel(Workspace& workspace, const ChannelRecord& record, AudioOutput& output,
                    ProgressMonitor& monitor) {
  return PlayChannelFrom(workspace, record, 0, output, monitor);
}

Outcome PlayChannelFrom(Workspace& workspace, const ChannelRecord& record, std::int64_t frame,
                        AudioOutput& output, ProgressMonitor& monitor) {
  XaFile& xa = workspace.File;
  WaveOut wave(output);
  if (!OpenWaveOut(xa, wave, PlaybackFormat(record))) return Outcome::Failed;
  SelectDecodeChannel(workspace.Decoding, record);
  monitor.Start();
  // The sectors wholly before the frame are decoded (the state moves on as in a play through)
  // but not sent; the first block sent starts at the frame.
  const std::int64_t skip = std::max<std::int64_t>(frame, 0) * PlaybackFormat(record).BlockAlign();
  const SkipEnd skipped =
      SkipChannelSectors(xa, workspace.Decoding, workspace.Decoder, skip / kPcmBlockBytes, monitor);
  Outcome outcome = skipped == SkipEnd::Cancelled ? Outcome::Cancelled
                    : skipped == SkipEnd::End     ? Outcome::Done
                                                  : Outcome::Failed;
  if (skipped == SkipEnd::Done)
    outcome = FeedDevice(xa, workspace.Decoding, workspace.Decoder, wave, monitor,
                         static_cast<int>(skip % kPcmBlockBytes));
  monitor.Finish();
  CloseWaveOut(wave);
  return outcome;
}

}  // namespace sorvane
