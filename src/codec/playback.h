// Playing one channel through an AudioOutput: a ring of 16 buffers of one decoded sector
// each is kept queued while the progress display shows how far the channel has been read.
// The device is only polled (done flags, then the play position at the end); no callbacks.
#pragma once

#include <array>
#include <cstdint>

#include "audio/audio_output.h"
#include "edit/decode_walk.h"
#include "common/progress_monitor.h"
#include "container/xa_file.h"

namespace sorvane {

// The format of the decoder's output for a channel: 44100 Hz for 37.8 kHz channels,
// 22050 Hz for 18.9 kHz ones, stereo as the record says.
inline AudioFormat PlaybackFormat(const ChannelRecord& record) {
  return AudioFormat{DecodedRate(QualityOf(record)), record.Stereo ? 2 : 1};
}

inline constexpr int kPlaybackBufferCount = 16;
inline constexpr int kDoneTests = 16;      // tests of a done flag per wait
inline constexpr int kDoneTestMs = 54;     // about one stereo 37.8 kHz buffer
inline constexpr int kDrainReadings = 50;  // position readings after the first
inline constexpr int kDrainReadingMs = 100;

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

// Opens the device in `format` and allocates the 16 buffers, all free. -1 with
// LastErrorText "WAVデバイスがオープンできません" (nothing open) or
// "再生用メモリが確保できません。" (every block freed, device closed).
int OpenWaveOut(XaFile& xa, WaveOut& wave, const AudioFormat& format);

// Tests buffer `index`'s done flag up to kDoneTests times, sleeping kDoneTestMs after each
// failed test; true once it is done.
bool WaitBufferDone(WaveOut& wave, int index);

// Lets the queued sound play out: waits for the last buffer handed over, then reads the
// position every kDrainReadingMs (at most kDrainReadings times) until it stands still or a
// reading fails.
void DrainWaveOut(WaveOut& wave);

// Stops the device at once, frees the buffers and closes the device.
void CloseWaveOut(WaveOut& wave);

// Plays the channel selected in `cursor` (SelectDecodeChannel) to its end, with progress and
// cancel through `monitor`. 0: played to the end, or cancelled (the sound stops at once, no
// message); -1: the device could not be opened, buffers could not be had or a sector read
// failed, with xa.LastErrorText set. The progress display is shown only once the device is
// open, and removed on every way out.
int PlayChannel(XaFile& xa, DecodeCursor& cursor, DecoderState& state, AudioOutput& output,
                ProgressMonitor& monitor);

}  // namespace sorvane
