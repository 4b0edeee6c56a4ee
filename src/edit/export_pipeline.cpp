#include "edit/export_pipeline.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/fixed_texts.h"

namespace sorvane {
namespace {

constexpr int kSectorsPerBatch = 64;  // handed over at once, to keep the locking rare
constexpr int kBatches = 4;           // in flight between the two threads

struct Batch {
  std::vector<SectorValues> Values = std::vector<SectorValues>(kSectorsPerBatch);
  int Count = 0;
};

// Batches passed from the decoding thread to the writing thread, in order, a ring of
// kBatches: the first `filled_` from `first_` on are the writer's, the rest the decoder's.
class BatchRing {
 public:
  // The decoder's next batch to fill, once the writer has emptied it; nullptr once the
  // writing failed.
  Batch* ToFill() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return filled_ < kBatches || failed_; });
    return failed_ ? nullptr : &batches_[(first_ + filled_) % kBatches];
  }
  // The batch from ToFill goes to the writer.
  void Hand() {
    const std::lock_guard<std::mutex> hold(lock_);
    ++filled_;
    changed_.notify_all();
  }
  // No batch follows.
  void Close() {
    const std::lock_guard<std::mutex> hold(lock_);
    closed_ = true;
    changed_.notify_all();
  }
  // The writer's next batch; nullptr when none follows.
  Batch* ToWrite() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return filled_ > 0 || closed_; });
    return filled_ > 0 ? &batches_[first_] : nullptr;
  }
  bool WriteFailed() {
    const std::lock_guard<std::mutex> hold(lock_);
    return failed_;
  }
  // The batch from ToWrite is free again; `failed` when writing it failed.
  void Written(bool failed) {
    const std::lock_guard<std::mutex> hold(lock_);
    batches_[first_].Count = 0;
    first_ = (first_ + 1) % kBatches;
    --filled_;
    failed_ = failed_ || failed;
    changed_.notify_all();
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<Batch> batches_ = std::vector<Batch>(kBatches);
  int first_ = 0;
  int filled_ = 0;
  bool closed_ = false;
  bool failed_ = false;
};

// The writing thread: resamples each sector's values into a block of `writer`. After a
// failed write the batches are only passed back, so that the decoder never waits for ever.
void ResampleAndWrite(BatchRing& ring, DecoderState& resampler, BlockWriter& writer) {
  bool failed = false;
  while (Batch* batch = ring.ToWrite()) {
    for (int i = 0; i < batch->Count && !failed; ++i) {
      std::uint8_t* block = writer.NextBlock();
      failed = block == nullptr;
      if (failed) break;
      ResampleSector(resampler, batch->Values[i], block);
      writer.Commit();
    }
    ring.Written(failed);
  }
}

// The decoding side of the loop: the steps of WriteBlocks with the block's making split off.
Outcome DecodeIntoRing(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                       ProgressMonitor& monitor, BatchRing& ring) {
  Batch* batch = ring.ToFill();
  for (;;) {
    if (batch == nullptr) {
      xa.LastErrorText = text::kWavWriteFailed;
      return Outcome::Failed;
    }
    monitor.SetPosition(ProgressPercent(cursor.Current, cursor.Record.FirstSector, cursor.End));
    if (monitor.PollCancel()) {
      xa.LastErrorText = text::kCancelled;
      ring.Hand();
      return Outcome::Cancelled;
    }
    switch (DecodeNextValues(xa, cursor, state, batch->Values[batch->Count])) {
      case WalkStep::Failed:
        ring.Hand();
        return Outcome::Failed;
      case WalkStep::Searching:
        break;
      case WalkStep::End:
        ring.Hand();
        return Outcome::Done;
      case WalkStep::Decoded:
        if (++batch->Count == kSectorsPerBatch) {
          ring.Hand();
          batch = ring.ToFill();
        }
        break;
    }
  }
}

}  // namespace

Outcome WriteBlocksOnTwoThreads(XaFile& xa, DecodeCursor& cursor, DecoderState& state,
                                ProgressMonitor& monitor, BlockWriter& writer) {
  auto ring = std::make_unique<BatchRing>();
  DecoderState resampler = state;
  std::thread writing([&] { ResampleAndWrite(*ring, resampler, writer); });
  Outcome outcome = DecodeIntoRing(xa, cursor, state, monitor, *ring);
  ring->Close();
  writing.join();
  // A write that failed on the last batches is seen only now.
  if (outcome == Outcome::Done && ring->WriteFailed()) {
    xa.LastErrorText = text::kWavWriteFailed;
    outcome = Outcome::Failed;
  }
  state.Phase = resampler.Phase;
  state.Previous = resampler.Previous;
  state.OutputPosition = resampler.OutputPosition;
  state.Step = resampler.Step;
  return outcome;
}

}  // namespace sorvane
