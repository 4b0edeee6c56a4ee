#include "codec/playback.h"

#include "codec/adpcm_filters.h"
#include "common/fixed_texts.h"

namespace sorvane {
namespace {

void FreeBlocks(WaveOut& wave) {
  for (PlaybackBuffer& buffer : wave.Buffers) {
    if (buffer.Data != nullptr) wave.Output.FreeBlock(buffer.Data);
    buffer = PlaybackBuffer{};
  }
}

// The loop between Start and Finish; returns PlayChannel's result.
int FeedDevice(XaFile& xa, DecodeCursor& cursor, DecoderState& state, WaveOut& wave,
               ProgressMonitor& monitor) {
  for (;;) {
    monitor.SetPosition(ProgressPercent(cursor.Current, cursor.Record.FirstSector, cursor.End));
    if (monitor.PollCancel()) return 0;
    if (!WaitBufferDone(wave, wave.RingIndex)) continue;
    PlaybackBuffer& buffer = wave.Buffers[wave.RingIndex];
    switch (DecodeNextSector(xa, cursor, state, buffer.Data)) {
      case -1:
        return -1;
      case 1:
        break;  // nothing decoded: the same buffer is filled next time
      case 2:
        DrainWaveOut(wave);
        return 0;
      default:
        buffer.Done = false;
        wave.Output.Write(wave.RingIndex, buffer.Data, kPcmBlockBytes);
        wave.RingIndex = (wave.RingIndex + 1) % kPlaybackBufferCount;
        break;
    }
  }
}

}  // namespace

int OpenWaveOut(XaFile& xa, WaveOut& wave, const AudioFormat& format) {
  if (!wave.Output.Open(format)) {
    xa.LastErrorText = text::kWaveDeviceCannotOpen;
    return -1;
  }
  for (PlaybackBuffer& buffer : wave.Buffers) {
    buffer.Data = wave.Output.AllocateBlock(kPcmBlockBytes);
    if (buffer.Data == nullptr) {
      FreeBlocks(wave);
      wave.Output.Close();
      xa.LastErrorText = text::kPlaybackNoMemory;
      return -1;
    }
  }
  for (PlaybackBuffer& buffer : wave.Buffers) buffer.Done = true;
  wave.RingIndex = 0;
  return 0;
}

bool WaitBufferDone(WaveOut& wave, int index) {
  PlaybackBuffer& buffer = wave.Buffers[index];
  for (int test = 0; test < kDoneTests; ++test) {
    if (!buffer.Done) buffer.Done = wave.Output.IsDone(index);
    if (buffer.Done) return true;
    wave.Output.Sleep(kDoneTestMs);
  }
  return false;
}

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

void CloseWaveOut(WaveOut& wave) {
  wave.Output.Reset();
  FreeBlocks(wave);
  wave.Output.Close();
}

int PlayChannel(XaFile& xa, DecodeCursor& cursor, DecoderState& state, AudioOutput& output,
                ProgressMonitor& monitor) {
  WaveOut wave(output);
  if (OpenWaveOut(xa, wave, PlaybackFormat(cursor.Record)) != 0) return -1;
  monitor.Start();
  const int result = FeedDevice(xa, cursor, state, wave, monitor);
  monitor.Finish();
  CloseWaveOut(wave);
  return result;
}

}  // namespace sorvane
