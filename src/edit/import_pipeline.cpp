#include "edit/import_pipeline.h"

#include <cstring>
#include <system_error>

namespace sorvane {

namespace {

// Runs `work` on `thread`, or here when no thread can be had.
template <typename Work>
void RunAside(std::thread& thread, Work work) {
  try {
    thread = std::thread(work);
  } catch (const std::system_error&) {
    work();
  }
}

}  // namespace

struct ImportPipeline::Batch {
  static constexpr int kGroupBytes = kSoundGroups * kSoundGroupBytes;
  // Room for the frames of kBatchSectors stereo sectors, or half as many mono ones.
  static constexpr std::size_t kFrameValues =
      std::size_t{kBatchSectors} * 2 * kStereoFramesPerSector;

  int Count = 0;
  std::size_t Used = 0;  // frame values taken
  std::int32_t Index[kBatchSectors];
  std::size_t FrameAt[kBatchSectors];
  std::vector<std::int16_t> Frames = std::vector<std::int16_t>(kFrameValues);
  std::vector<std::uint8_t> Images = std::vector<std::uint8_t>(kBatchSectors * kSectorBytes);
  // The right sides of stereo sectors, ORed into the images once both sides are done.
  std::vector<std::uint8_t> RightGroups = std::vector<std::uint8_t>(kBatchSectors * kGroupBytes);
  SideHistories After[kBatchSectors][2];  // each side's histories after each sector
  std::thread Left;
  std::thread Right;

  std::int16_t* FramesOf(int i) { return &Frames[FrameAt[i]]; }
  std::uint8_t* ImageOf(int i) { return &Images[std::size_t(i) * kSectorBytes]; }
  std::uint8_t* RightOf(int i) { return &RightGroups[std::size_t(i) * kGroupBytes]; }
  bool Stereo(int i) { return (ImageOf(i)[3] & kCodingStereo) != 0; }
  // Full when no sector more fits, whether stereo or mono.
  bool Full() const {
    return Count == kBatchSectors || Used + 2 * kMonoFramesPerSector > kFrameValues;
  }

  // The left side of every stereo sector, into its image.
  void EncodeLeft(EncoderState& state) {
    for (int i = 0; i < Count; ++i) {
      if (Stereo(i)) EncodeStereoSide(state, Side::Left, FramesOf(i), ImageOf(i) + kGroupsOffset);
      After[i][0] = state.Left;
    }
  }

  // The right side of every stereo sector, into its own groups, and every mono sector.
  void EncodeRight(EncoderState& state) {
    for (int i = 0; i < Count; ++i) {
      if (Stereo(i)) {
        std::memset(RightOf(i), 0, kGroupBytes);
        EncodeStereoSide(state, Side::Right, FramesOf(i), RightOf(i));
      } else {
        EncodeMonoSector(state, FramesOf(i), ImageOf(i) + kGroupsOffset);
      }
      After[i][1] = state.Right;
    }
  }

  // Once both sides are done, each stereo sector's right side joins its left.
  void Join() {
    if (Left.joinable()) Left.join();
    if (Right.joinable()) Right.join();
    for (int i = 0; i < Count; ++i) {
      if (!Stereo(i)) continue;
      std::uint8_t* groups = ImageOf(i) + kGroupsOffset;
      const std::uint8_t* right = RightOf(i);
      for (int k = 0; k < kGroupBytes; ++k) groups[k] |= right[k];
    }
  }
};

ImportPipeline::ImportPipeline(XaFile& xa, EncoderState& encoder, bool threaded)
    : xa_(xa),
      encoder_(encoder),
      threaded_(threaded),
      filling_(std::make_unique<Batch>()),
      encoding_(std::make_unique<Batch>()) {}

ImportPipeline::~ImportPipeline() { encoding_->Join(); }

std::int16_t* ImportPipeline::Frames() { return &filling_->Frames[filling_->Used]; }

bool ImportPipeline::Queue(std::int32_t index, const std::uint8_t subheader[4]) {
  if (failed_) return false;
  Batch& b = *filling_;
  b.Index[b.Count] = index;
  b.FrameAt[b.Count] = b.Used;
  StartAudioSector(subheader, b.ImageOf(b.Count));
  b.Used += 2 * std::size_t(b.Stereo(b.Count) ? kStereoFramesPerSector : kMonoFramesPerSector);
  ++b.Count;
  return !b.Full() || Rotate();
}

bool ImportPipeline::Drain() {
  if (!Rotate()) return false;
  encoding_->Join();
  return Write(*encoding_);
}

// The batch being encoded is written; the full one takes its place.
bool ImportPipeline::Rotate() {
  encoding_->Join();
  if (!Write(*encoding_)) return false;
  std::swap(filling_, encoding_);
  Launch(*encoding_);
  return true;
}

void ImportPipeline::Launch(Batch& b) {
  if (b.Count == 0) return;
  if (!threaded_) {
    b.EncodeLeft(encoder_);
    b.EncodeRight(encoder_);
    return;
  }
  RunAside(b.Left, [&b, this] { b.EncodeLeft(encoder_); });
  RunAside(b.Right, [&b, this] { b.EncodeRight(encoder_); });
}

// On a failed write the encoder goes back to the state after that sector.
bool ImportPipeline::Write(Batch& b) {
  if (failed_) return false;
  for (int i = 0; i < b.Count; ++i) {
    if (WriteSector(xa_, b.Index[i], b.ImageOf(i)) == 0) continue;
    failed_ = true;
    failedSector_ = b.Index[i];
    encoder_.Left = b.After[i][0];
    encoder_.Right = b.After[i][1];
    break;
  }
  b.Count = 0;
  b.Used = 0;
  return !failed_;
}

}  // namespace sorvane
