// The worker threads that compute a channel's waveform summary: two, each a half of the
// channel's sectors with both sides (the second half made exact once the first half's end
// state is known), each reading the file through a reader of its own and decoding with a
// decoder state of its own (never the workspace's, which playback and export carry from one
// run to the next). Results go out
// through a callback called on the worker threads; the front end turns it into one queued
// signal. Also the on-demand decoding of a few sectors for a close zoom.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "container/xa_file.h"
#include "edit/reader_source.h"
#include "edit/waveform_summary.h"

namespace sorvane {

inline constexpr std::int32_t kPieceSectors = 512;  // channel sectors per delivered piece

class WaveformJob {
 public:
  using PieceSink = std::function<void(WaveformPiece&& piece)>;

  // Starts the summary of channel `record`: pieces of each side go to `sink` from the worker
  // threads, the first half's in the order of their sectors as they are made, the second
  // half's together at its end. Every piece is exact: the decoding from the channel's first
  // sector with a zero state. A file that cannot be opened or read gives
  // fewer pieces (the summary stays partly unknown), never an error.
  WaveformJob(const ReaderSource& source, const ChannelRecord& record, PieceSink sink);
  // Cancels and waits for the threads, which stop at their next sector.
  ~WaveformJob();
  WaveformJob(const WaveformJob&) = delete;
  WaveformJob& operator=(const WaveformJob&) = delete;

  // Asks the threads to stop at their next sector; returns at once.
  void Cancel() { cancelled_ = true; }
  // Waits until every side is done or cancelled.
  void Wait();

 private:
  std::atomic<bool> cancelled_{false};
  std::vector<std::thread> threads_;
};

// The decoded values of one side of channel sectors first..first+count-1, each sector's
// FramesPerSector of the record (4032 mono, 2016 stereo) values, decoded from the decoder
// state `start` kept at channel sector `startSector` (<= first). false when the file could
// not be opened or read, or `cancelled` became true.
bool DecodeSideValues(const ReaderSource& source, const ChannelRecord& record, int side,
                      const SideCheckpoint& start, std::int32_t startSector, std::int32_t first,
                      std::int32_t count, const std::atomic<bool>& cancelled,
                      std::vector<std::int16_t>& values);

}  // namespace sorvane
