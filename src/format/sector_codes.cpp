#include "format/sector_codes.h"

#include <array>
#include <cstring>

#include "format/little_endian.h"
#include "format/sector.h"

namespace sorvane {
namespace {

// The EDC runs over every sector an edit writes inside an image, so it reads 8 bytes a step
// (slice-by-8): table k holds the remainder of a byte followed by k zero bytes.
using EdcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr EdcTables MakeEdcTables() {
  EdcTables tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t crc = i;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ ((crc & 1) ? 0xD8018001u : 0u);
    tables[0][i] = crc;
  }
  for (int k = 1; k < 8; ++k) {
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t prev = tables[k - 1][i];
      tables[k][i] = (prev >> 8) ^ tables[0][prev & 0xFF];
    }
  }
  return tables;
}

constexpr EdcTables kEdcTables = MakeEdcTables();

// GF(2^8) with the polynomial x^8 + x^4 + x^3 + x^2 + 1: timesAlpha multiplies by the
// primitive element alpha, overOnePlusAlpha divides by 1 + alpha (the backward table).
struct GfTables {
  std::array<std::uint8_t, 256> timesAlpha{};
  std::array<std::uint8_t, 256> overOnePlusAlpha{};
};

constexpr GfTables MakeGfTables() {
  GfTables t;
  for (int i = 0; i < 256; ++i) {
    const int product = ((i << 1) ^ ((i & 0x80) ? 0x11D : 0)) & 0xFF;
    t.timesAlpha[i] = static_cast<std::uint8_t>(product);
    t.overOnePlusAlpha[i ^ product] = static_cast<std::uint8_t>(i);
  }
  return t;
}

constexpr GfTables kGf = MakeGfTables();

// The ECC covers the 4 header bytes and the 2060 bytes from the subheader to the EDC (P),
// then those and the P parity (Q): 2340 bytes in all, header first.
constexpr int kHeaderBytes = 4;
constexpr int kPColumns = 86, kPRows = 24;             // 86 columns of 24 bytes
constexpr int kQDiagonals = 52, kQBytes = 43;          // 52 diagonals of 43 bytes
constexpr int kPCovered = kPColumns * kPRows;          // 2064
constexpr int kQCovered = kQDiagonals * kQBytes;       // 2236: the P area and the P parity
constexpr int kEccArea = kQCovered + 2 * kQDiagonals;  // 2340

// One RS(n, n-2) code word per vector: `count` vectors of `length` bytes, vector v starting
// at (v / 2) * vectorStep + (v & 1) and advancing by `step` bytes modulo the covered area.
// Its two parity bytes go to parity[v] and parity[v + count].
void ComputeParity(const std::uint8_t* area, int count, int length, int vectorStep, int step,
                   std::uint8_t* parity) {
  const int covered = count * length;
  for (int v = 0; v < count; ++v) {
    int at = (v >> 1) * vectorStep + (v & 1);
    std::uint8_t weighted = 0, sum = 0;
    for (int i = 0; i < length; ++i) {
      const std::uint8_t byte = area[at];
      at += step;
      if (at >= covered) at -= covered;
      weighted = kGf.timesAlpha[weighted ^ byte];
      sum ^= byte;
    }
    const std::uint8_t first = kGf.overOnePlusAlpha[kGf.timesAlpha[weighted] ^ sum];
    parity[v] = first;
    parity[v + count] = first ^ sum;
  }
}

void StoreEdc(std::uint8_t* sector2336, int edcOffset) {
  PutLe32(sector2336 + edcOffset, SectorEdc(sector2336, static_cast<std::size_t>(edcOffset)));
}

}  // namespace

std::uint32_t SectorEdc(const std::uint8_t* data, std::size_t size) {
  const auto& t = kEdcTables;
  std::uint32_t crc = 0;
  for (; size >= 8; size -= 8, data += 8) {
    const std::uint32_t low = crc ^ GetLe32(data);
    const std::uint32_t high = GetLe32(data + 4);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^
          t[0][high >> 24];
  }
  for (; size > 0; --size, ++data) crc = (crc >> 8) ^ t[0][(crc ^ *data) & 0xFF];
  return crc;
}

void SetForm1Codes(std::uint8_t* sector2336) {
  StoreEdc(sector2336, kForm1EdcOffset);
  // The header is taken as zero: the area starts with 4 zero bytes in its place.
  std::array<std::uint8_t, kEccArea> area{};
  std::memcpy(area.data() + kHeaderBytes, sector2336, kPCovered - kHeaderBytes);
  ComputeParity(area.data(), kPColumns, kPRows, 2, kPColumns, area.data() + kPCovered);
  ComputeParity(area.data(), kQDiagonals, kQBytes, kPColumns, kPColumns + 2,
                area.data() + kQCovered);
  std::memcpy(sector2336 + kForm1EccOffset, area.data() + kPCovered, kEccArea - kPCovered);
}

void SetForm2Edc(std::uint8_t* sector2336) { StoreEdc(sector2336, kForm2EdcOffset); }

void SetSectorCodes(std::uint8_t* sector2336) {
  if (sector2336[2] & kSubmodeForm2) {
    SetForm2Edc(sector2336);
  } else {
    SetForm1Codes(sector2336);
  }
}

}  // namespace sorvane
