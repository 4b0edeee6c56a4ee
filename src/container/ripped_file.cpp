#include "container/ripped_file.h"

#include <algorithm>
#include <vector>

#include "common/fixed_texts.h"

namespace sorvane {
namespace {

constexpr std::int64_t kBlockBytes = 2048;
constexpr int kGroupsPerBlock = kBlockBytes / kSoundGroupBytes;
constexpr std::int64_t kBlocksPerRead = 64;
constexpr int kLastFilter = 3;  // XA sound has the filters 0..3

// The 16 header bytes of a sound group: each unit's parameter byte and its copy, no filter
// above the last.
bool IsGroupHeader(const std::uint8_t* group) {
  for (int unit = 0; unit < kUnitsPerGroup; ++unit) {
    const std::uint8_t parameter = group[ParameterByte(unit)];
    if (parameter != group[ParameterByte(unit) + kParameterCopyOffset]) return false;
    if (ParameterFilter(parameter) > kLastFilter) return false;
  }
  return true;
}

bool BeginsAsSoundGroups(const std::uint8_t* block) {
  for (int g = 0; g < kGroupsPerBlock; ++g) {
    if (!IsGroupHeader(block + g * kSoundGroupBytes)) return false;
  }
  return true;
}

bool AnyNonZero(const std::uint8_t* from, const std::uint8_t* to) {
  return std::any_of(from, to, [](std::uint8_t b) { return b != 0; });
}

// A group of sound that is not all zero: parameters and sample words. (In an XA file
// of empty sectors read as blocks, a subheader may stand where either lies, never both.)
bool HoldsSound(const std::uint8_t* block) {
  for (int g = 0; g < kGroupsPerBlock; ++g) {
    const std::uint8_t* group = block + g * kSoundGroupBytes;
    if (AnyNonZero(group, group + kSampleWordsOffset) &&
        AnyNonZero(group + kSampleWordsOffset, group + kSoundGroupBytes))
      return true;
  }
  return false;
}

// Blocks that begin as sound groups, and whether one of them holds sound.
struct BlockTally {
  std::int64_t Blocks = 0;
  std::int64_t Sound = 0;
  bool Heard = false;

  void Add(const std::uint8_t* block) {
    ++Blocks;
    if (!BeginsAsSoundGroups(block)) return;
    ++Sound;
    Heard = Heard || HoldsSound(block);
  }
  // More than a tenth of `total` blocks already fail.
  bool Refuted(std::int64_t total) const { return (Blocks - Sound) * 10 > total; }
};

}  // namespace

bool LooksRippedAt2048(XaFile& xa) {
  const std::int64_t length = XaFileLength(xa);
  if (length <= 0 || length % kBlockBytes != 0) return false;
  const std::int64_t total = length / kBlockBytes;
  std::vector<std::uint8_t> buffer(kBlocksPerRead * kBlockBytes);
  BlockTally tally;
  for (std::int64_t first = 0; first < total; first += kBlocksPerRead) {
    const std::int64_t count = std::min(kBlocksPerRead, total - first);
    if (!ReadBytesAt(xa, first * kBlockBytes, buffer.data(), count * kBlockBytes)) return false;
    for (std::int64_t k = 0; k < count; ++k) tally.Add(buffer.data() + k * kBlockBytes);
    if (tally.Refuted(total)) return false;
  }
  return tally.Heard && tally.Sound * 10 >= total * 9;
}

void ExplainRippedFile(XaFile& xa) {
  if (LooksRippedAt2048(xa)) xa.LastErrorText = text::kRippedAt2048;
}

}  // namespace sorvane
