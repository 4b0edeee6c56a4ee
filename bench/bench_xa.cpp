#include "bench_xa.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "codec/adpcm_filters.h"
#include "container/xa_file.h"

namespace sorvane::bench {
namespace {

constexpr int kParameterCopies[8][2] = {{0, 4},  {1, 5},  {2, 6},   {3, 7},
                                        {8, 12}, {9, 13}, {10, 14}, {11, 15}};
constexpr std::int32_t kFirstAddress = 150;  // 00:02:00, where a disc's data begins

std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>(value / 10 * 16 + value % 10); }

// Sync pattern, BCD address and mode 2: the 16 bytes before each subheader.
void WriteSectorHeader(std::uint8_t* raw, std::int32_t index) {
  std::memset(raw, 0xFF, 12);
  raw[0] = raw[11] = 0;
  const std::int32_t address = index + kFirstAddress;
  raw[12] = Bcd(address / (60 * 75));
  raw[13] = Bcd(address / 75 % 60);
  raw[14] = Bcd(address % 75);
  raw[15] = 2;
}

void WriteSubheader(std::uint8_t* at, std::uint8_t channel, std::uint8_t submode,
                    std::uint8_t coding) {
  const std::uint8_t bytes[4] = {1, channel, submode, coding};
  std::memcpy(at, bytes, 4);
  std::memcpy(at + 4, bytes, 4);
}

}  // namespace

void FillRandomGroups(std::mt19937& random, std::uint8_t* groups) {
  std::uniform_int_distribution<int> byte(0, 255), filter(0, 3), range(0, 12);
  for (int g = 0; g < kSoundGroups; ++g) {
    std::uint8_t* group = groups + g * kSoundGroupBytes;
    for (int unit = 0; unit < kUnitsPerGroup; ++unit) {
      const auto parameter = static_cast<std::uint8_t>(filter(random) * 16 + range(random));
      for (int at : kParameterCopies[unit]) group[at] = parameter;
    }
    for (int i = kSampleWordsOffset; i < kSoundGroupBytes; ++i)
      group[i] = static_cast<std::uint8_t>(byte(random));
  }
}

bool WriteBenchXa(const std::string& path, std::int32_t sectors) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  std::mt19937 random(1);
  std::vector<std::uint8_t> raw(kRawSectorBytes);
  for (std::int32_t i = 0; i < sectors; ++i) {
    std::fill(raw.begin(), raw.end(), 0);
    WriteSectorHeader(raw.data(), i);
    std::uint8_t* sector = raw.data() + (kRawSectorBytes - kSectorBytes);
    if (i % 4 == 0) {
      WriteSubheader(sector, 1, kSubmodeAudioSector, kCodingStereo);
      FillRandomGroups(random, sector + kGroupsOffset);
    } else {
      WriteSubheader(sector, 0, 0, 0);
    }
    if (std::fwrite(raw.data(), 1, raw.size(), file.get()) != raw.size()) return false;
  }
  return true;
}

namespace {

// The channel a sector of WriteMixedXa's file belongs to, with its coding byte; false for an
// empty sector.
bool MixedSlot(std::int32_t index, std::uint8_t& channel, std::uint8_t& coding) {
  struct Slot {
    int period, offset;
    std::uint8_t coding;
  };
  static constexpr Slot kSlots[] = {{4, 0, kCodingStereo},
                                    {8, 1, 0},
                                    {8, 2, kCodingStereo | kCodingLowRate},
                                    {16, 3, kCodingLowRate}};
  for (std::uint8_t c = 0; c < 4; ++c) {
    if (index % kSlots[c].period != kSlots[c].offset) continue;
    channel = c;
    coding = kSlots[c].coding;
    return true;
  }
  return false;
}

}  // namespace

bool WriteMixedXa(const std::string& path, std::int32_t sectors, unsigned seed) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!file) return false;
  std::mt19937 random(seed);
  std::vector<std::uint8_t> raw(kRawSectorBytes);
  for (std::int32_t i = 0; i < sectors; ++i) {
    std::fill(raw.begin(), raw.end(), 0);
    WriteSectorHeader(raw.data(), i);
    std::uint8_t* sector = raw.data() + (kRawSectorBytes - kSectorBytes);
    std::uint8_t channel = 0;
    std::uint8_t coding = 0;
    // The last 16 sectors are empty, so that every channel ends on a whole interleave step.
    if (i < sectors - 16 && MixedSlot(i, channel, coding)) {
      WriteSubheader(sector, channel, kSubmodeAudioSector, coding);
      FillRandomGroups(random, sector + kGroupsOffset);
    } else {
      WriteSubheader(sector, 0, 0, 0);
    }
    if (std::fwrite(raw.data(), 1, raw.size(), file.get()) != raw.size()) return false;
  }
  return true;
}

bool WriteBigXaFile(const std::string& path, int sectors, bool raw) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::vector<std::uint8_t> sector(raw ? 2352 : 2336, 0);
  std::uint8_t* sub = sector.data() + (raw ? 16 : 0);
  if (raw) {
    for (int i = 1; i < 11; ++i) sector[i] = 0xFF;
    sector[15] = 2;
  }
  bool ok = true;
  for (int i = 0; i < sectors && ok; ++i) {
    // The last 16 sectors are empty, so that every channel ends on a whole interleave step.
    const int slot = i % 8;
    const bool tail = i >= sectors - 16;
    const std::uint8_t submode = tail ? 0 : slot == 7 ? 0x08 : 0x64;
    const std::uint8_t head[4] = {1, static_cast<std::uint8_t>(tail ? 0 : slot), submode, 0};
    for (int k = 0; k < 8; ++k) sub[k] = head[k % 4];
    if (i == sectors - 1) sub[2] = sub[6] = 0x80;
    sub[8] = static_cast<std::uint8_t>(i);  // some payload that changes
    ok = std::fwrite(sector.data(), 1, sector.size(), out) == sector.size();
  }
  return std::fclose(out) == 0 && ok;
}

}  // namespace sorvane::bench
