#include "edit/waveform_job.h"

#include <algorithm>

#include "codec/adpcm_decoder.h"
#include "edit/decode_walk.h"
#include "format/quality.h"

namespace sorvane {
namespace {

// Reads channel sector k where the channel's sectors lie, one interleave apart: Decoded when
// it is one of the channel's audio sectors, Searching when another sector stands there (it is
// passed over, its pairs left at zero), Failed when the read failed. Only these sectors are
// read, not the whole span of the file as a walk does.
WalkStep ReadGridSector(XaFile& reader, const ChannelRecord& record, std::int32_t k,
                        std::uint8_t* sector, SectorInfo& info) {
  const std::int64_t index =
      std::int64_t{record.FirstSector} + std::int64_t{k} * std::max(record.Interleave, 1);
  if (index >= reader.SectorCount) return WalkStep::End;
  if (ReadSector(reader, static_cast<std::int32_t>(index), sector, info) != 0)
    return WalkStep::Failed;
  const bool ours = info.Kind == SectorAudio && info.Channel == record.Channel;
  return ours ? WalkStep::Decoded : WalkStep::Searching;
}

// One side's thread: the whole channel, in pieces of kPieceSectors sectors.
void SummarizeSide(const ReaderSource& source, const ChannelRecord& record, int side,
                   const std::atomic<bool>& cancelled, const WaveformJob::PieceSink& sink) {
  XaFile reader;
  if (!OpenReader(source, reader)) return;
  DecoderState state;
  std::uint8_t sector[kSectorBytes];
  std::int32_t values[kMonoFramesPerSector];
  SectorInfo info;
  WaveformPiece piece{side, 0, {}, {}};
  for (std::int32_t k = 0; k < record.SectorCount && !cancelled;) {
    const WalkStep step = ReadGridSector(reader, record, k, sector, info);
    if (step == WalkStep::Failed || step == WalkStep::End) break;
    if (k % kCheckpointSectors == 0) piece.Checkpoints.push_back({state.Left, state.Right});
    piece.Pairs.resize(piece.Pairs.size() + kPairsPerSector);
    if (step == WalkStep::Decoded) {
      const int count =
          DecodeSectorSide(state, sector + kGroupsOffset, info.Stereo != 0, side, values);
      SummarizeValues(values, count, piece.Pairs.data() + piece.Pairs.size() - kPairsPerSector);
    }
    if (++k % kPieceSectors == 0) {
      sink(std::move(piece));
      piece = WaveformPiece{side, k, {}, {}};
    }
  }
  if (!piece.Pairs.empty() && !cancelled) sink(std::move(piece));
}

}  // namespace

WaveformJob::WaveformJob(const ReaderSource& source, const ChannelRecord& record, PieceSink sink) {
  const int sides = record.Stereo ? 2 : 1;
  for (int side = 0; side < sides; ++side) {
    threads_.emplace_back([this, source, record, side, sink] {
      SummarizeSide(source, record, side, cancelled_, sink);
    });
  }
}

WaveformJob::~WaveformJob() {
  Cancel();
  Wait();
}

void WaveformJob::Wait() {
  for (std::thread& thread : threads_)
    if (thread.joinable()) thread.join();
}

bool DecodeSideValues(const ReaderSource& source, const ChannelRecord& record, int side,
                      const SideCheckpoint& start, std::int32_t startSector, std::int32_t first,
                      std::int32_t count, const std::atomic<bool>& cancelled,
                      std::vector<std::int16_t>& values) {
  XaFile reader;
  if (!OpenReader(source, reader) || startSector > first) return false;
  DecoderState state;
  state.Left = start.Left;
  state.Right = start.Right;
  const int perSector = FramesPerSector(QualityOf(record));
  std::uint8_t sector[kSectorBytes];
  std::int32_t decoded[kMonoFramesPerSector];
  SectorInfo info;
  values.clear();
  for (std::int32_t k = startSector; k < first + count; ++k) {
    if (cancelled) return false;
    const WalkStep step = ReadGridSector(reader, record, k, sector, info);
    if (step == WalkStep::Failed || step == WalkStep::End) return false;
    const int got = step == WalkStep::Decoded ? DecodeSectorSide(state, sector + kGroupsOffset,
                                                                 info.Stereo != 0, side, decoded)
                                              : 0;
    if (k < first) continue;
    // A sector whose own flag differs from the record's still gives perSector values.
    values.insert(values.end(), decoded, decoded + std::min(got, perSector));
    values.resize(values.size() + std::max(perSector - got, 0), 0);
  }
  return true;
}

}  // namespace sorvane
