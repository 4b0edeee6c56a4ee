#include "edit/waveform_job.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

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

// The histories after a sector, both sides.
struct SectorEndState {
  PredictorHistory Left;
  PredictorHistory Right;
  bool operator==(const SectorEndState& o) const {
    return Left.S1 == o.Left.S1 && Left.S2 == o.Left.S2 && Right.S1 == o.Right.S1 &&
           Right.S2 == o.Right.S2;
  }
};

// The pieces of both sides for kPieceSectors sectors from `first`.
struct PiecePair {
  WaveformPiece Side[2];
};

// Decodes channel sector k of both sides into its pairs in `pieces` (the piece holding k
// starts at pieces.Side[0].First), keeping the state at each 4th sector. False when the read
// failed.
bool DecodeIntoPieces(XaFile& reader, const ChannelRecord& record, std::int32_t k,
                      DecoderState& state, SectorValues& values, PiecePair& pieces) {
  std::uint8_t sector[kSectorBytes];
  SectorInfo info;
  const WalkStep step = ReadGridSector(reader, record, k, sector, info);
  if (step == WalkStep::Failed || step == WalkStep::End) return false;
  const std::size_t at = std::size_t(k - pieces.Side[0].First);
  for (int side = 0; side < 2; ++side) {
    WaveformPiece& piece = pieces.Side[side];
    if (piece.Pairs.size() < (at + 1) * kPairsPerSector)
      piece.Pairs.resize((at + 1) * kPairsPerSector);
    if (k % kCheckpointSectors == 0 && piece.Checkpoints.size() <= at / kCheckpointSectors)
      piece.Checkpoints.resize(at / kCheckpointSectors + 1);
    if (k % kCheckpointSectors == 0)
      piece.Checkpoints[at / kCheckpointSectors] = {state.Left, state.Right};
  }
  if (step != WalkStep::Decoded) return true;  // another sector: its pairs stay zero
  DecodeSectorValues(state, sector + kGroupsOffset, info.Stereo != 0, values);
  const int count = info.Stereo ? kStereoFramesPerSector : kMonoFramesPerSector;
  // A sector marked mono shows its one side in both lanes.
  SummarizeValues(values.Left, count, pieces.Side[0].Pairs.data() + at * kPairsPerSector);
  SummarizeValues(info.Stereo ? values.Right : values.Left, count,
                  pieces.Side[1].Pairs.data() + at * kPairsPerSector);
  return true;
}

// Decodes sectors [first, end) from `state` in pieces handed to `out`; with `after`, the
// state after each sector is kept there. False when a read failed or it was cancelled.
bool DecodeSegment(XaFile& reader, const ChannelRecord& record, std::int32_t first,
                   std::int32_t end, DecoderState& state, const std::atomic<bool>& cancelled,
                   std::vector<SectorEndState>* after,
                   const std::function<void(PiecePair&&)>& out) {
  const auto values = std::make_unique<SectorValues>();
  PiecePair pieces{{{0, first, {}, {}}, {1, first, {}, {}}}};
  for (std::int32_t k = first; k < end; ++k) {
    if (cancelled || !DecodeIntoPieces(reader, record, k, state, *values, pieces)) return false;
    if (after) after->push_back({state.Left, state.Right});
    if ((k + 1 - first) % kPieceSectors == 0 || k + 1 == end) {
      out(std::move(pieces));
      pieces = PiecePair{{{0, k + 1, {}, {}}, {1, k + 1, {}, {}}}};
    }
  }
  return true;
}

// The state where the first segment ends, handed from its thread to the second's.
class Handover {
 public:
  void Give(std::optional<DecoderState> state) {
    const std::lock_guard<std::mutex> hold(lock_);
    state_ = state;
    given_ = true;
    changed_.notify_all();
  }
  std::optional<DecoderState> Take() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return given_; });
    return state_;
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool given_ = false;
  std::optional<DecoderState> state_;
};

void Send(PiecePair&& pieces, int sides, const WaveformJob::PieceSink& sink) {
  for (int side = 0; side < sides; ++side) sink(std::move(pieces.Side[side]));
}

// The first half's thread: exact from a zero state, its pieces sent as they are made; its end
// state goes to the second half's thread (none when it failed or was cancelled).
void FirstHalf(const ReaderSource& source, const ChannelRecord& record, std::int32_t end,
               const std::atomic<bool>& cancelled, const WaveformJob::PieceSink& sink,
               Handover* handover) {
  const int sides = record.Stereo ? 2 : 1;
  XaFile reader;
  DecoderState state;
  const bool done =
      OpenReader(source, reader) &&
      DecodeSegment(reader, record, 0, end, state, cancelled, nullptr,
                    [&](PiecePair&& pieces) { Send(std::move(pieces), sides, sink); });
  if (handover != nullptr) handover->Give(done ? std::optional(state) : std::nullopt);
}

// Decodes the second half's sectors again from the exact state until the state after a
// sector is the one the first decoding reached there: from that sector on the two decodings
// are the same. Each sector decoded gets its exact pairs and kept state in `held`.
bool Resync(XaFile& reader, const ChannelRecord& record, std::int32_t first, std::int32_t end,
            DecoderState& state, const std::vector<SectorEndState>& after,
            std::vector<PiecePair>& held, const std::atomic<bool>& cancelled) {
  const auto values = std::make_unique<SectorValues>();
  for (std::int32_t k = first; k < end; ++k) {
    if (cancelled) return false;
    PiecePair& pieces = held[std::size_t(k - first) / kPieceSectors];
    if (!DecodeIntoPieces(reader, record, k, state, *values, pieces)) return false;
    if (SectorEndState{state.Left, state.Right} == after[std::size_t(k - first)]) return true;
  }
  return true;
}

// The second half's thread: decoded at once from a zero state while the first half is, its
// pieces held back until Resync has made them exact (the histories forget their start at the
// first unit whose filter ignores them, so few sectors are decoded twice).
void SecondHalf(const ReaderSource& source, const ChannelRecord& record, std::int32_t first,
                const std::atomic<bool>& cancelled, const WaveformJob::PieceSink& sink,
                Handover& handover) {
  const std::int32_t end = record.SectorCount;
  XaFile reader;
  DecoderState state;
  std::vector<SectorEndState> after;
  std::vector<PiecePair> held;
  const bool decoded =
      OpenReader(source, reader) &&
      DecodeSegment(reader, record, first, end, state, cancelled, &after,
                    [&](PiecePair&& pieces) { held.push_back(std::move(pieces)); });
  std::optional<DecoderState> exact = handover.Take();
  if (!decoded || !exact || !Resync(reader, record, first, end, *exact, after, held, cancelled))
    return;
  for (PiecePair& pieces : held) Send(std::move(pieces), record.Stereo ? 2 : 1, sink);
}

}  // namespace

WaveformJob::WaveformJob(const ReaderSource& source, const ChannelRecord& record, PieceSink sink) {
  const std::int32_t sectors = std::max(record.SectorCount, 0);
  // Two halves on two threads, each decoding both sides; a short channel in one piece.
  const std::int32_t middle =
      sectors >= 2 * kPieceSectors ? sectors / 2 / kPieceSectors * kPieceSectors : sectors;
  const auto handover = middle < sectors ? std::make_shared<Handover>() : nullptr;
  threads_.emplace_back([this, source, record, middle, sink, handover] {
    FirstHalf(source, record, middle, cancelled_, sink, handover.get());
  });
  if (handover == nullptr) return;
  threads_.emplace_back([this, source, record, middle, sink, handover] {
    SecondHalf(source, record, middle, cancelled_, sink, *handover);
  });
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
