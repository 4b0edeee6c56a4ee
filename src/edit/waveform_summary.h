// The waveform's summary of one channel: for each side, at most kPairsPerSector min/max pairs
// per channel sector, so that its memory follows the file's sectors, never the samples. It is
// filled piece by piece as the worker threads (waveform_job.h) deliver, and asked for the
// envelope of any span of the channel.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "codec/adpcm_decoder.h"
#include "container/xa_file.h"

namespace sorvane {

inline constexpr int kPairsPerSector = 8;
inline constexpr int kCheckpointSectors = 4;  // a decoder state kept every 4th sector

// The smallest and largest decoded value (16-bit scale) of an eighth of a sector.
struct EnvelopePair {
  std::int16_t Min = 0;
  std::int16_t Max = 0;
};

// The histories of one side's decoder at the start of a channel sector.
struct SideCheckpoint {
  PredictorHistory Left;
  PredictorHistory Right;
};

// What a worker hands over: the pairs of channel sectors First..First+count-1 of one side
// (kPairsPerSector each), and the decoder state at the start of each kCheckpointSectors-th.
struct WaveformPiece {
  int Side = 0;            // 0 left (or mono), 1 right
  std::int32_t First = 0;  // the channel sector index (0 = the record's first sector)
  std::vector<EnvelopePair> Pairs;
  std::vector<SideCheckpoint> Checkpoints;  // for sectors First, First+4, ... (First % 4 == 0)
};

class WaveformSummary {
 public:
  // Empty, for `record`: one side for mono, two for stereo, SectorCount sectors unknown.
  void Reset(const ChannelRecord& record);
  // Takes a piece, in any order; a piece for sectors already known replaces them.
  void Add(const WaveformPiece& piece);

  const ChannelRecord& Record() const { return record_; }
  int Sides() const { return record_.Stereo ? 2 : 1; }
  std::int32_t Sectors() const { return record_.SectorCount; }
  // Channel sectors of `side` known so far.
  std::int32_t Received(int side) const { return received_[side]; }
  bool Complete() const;

  // The envelope of pairs [firstPair, endPair) of `side` (pair p lies in channel sector
  // p / kPairsPerSector), over those of known sectors only; false when none is known.
  bool Envelope(int side, std::int64_t firstPair, std::int64_t endPair, EnvelopePair& out) const;
  // The decoder state of `side` at the start of the kept sector at or before `sector`, and
  // that sector; false when it is not known yet.
  bool CheckpointBefore(int side, std::int32_t sector, SideCheckpoint& state,
                        std::int32_t& at) const;
  // Bytes held.
  std::size_t MemoryBytes() const;

 private:
  ChannelRecord record_{};
  std::array<std::vector<EnvelopePair>, 2> pairs_;
  std::array<std::vector<SideCheckpoint>, 2> checkpoints_;
  std::array<std::vector<bool>, 2> known_;  // per channel sector
  std::array<std::int32_t, 2> received_{};
};

// The pairs of one decoded side of a sector: `count` values cut into kPairsPerSector equal
// parts.
void SummarizeValues(const std::int32_t* values, int count, EnvelopePair* pairs);

}  // namespace sorvane
