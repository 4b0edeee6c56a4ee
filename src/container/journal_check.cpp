#include "container/journal_check.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <nmmintrin.h>
#endif

namespace sorvane::journal {
namespace {

// The reflected Castagnoli polynomial.
constexpr std::uint32_t kPolynomial = 0x82F63B78u;

// Eight tables for the portable path, eight bytes a step ("slicing by 8").
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeTables() {
  CrcTables t{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? (c >> 1) ^ kPolynomial : c >> 1;
    t[0][n] = c;
  }
  for (std::uint32_t n = 0; n < 256; ++n) {
    for (int k = 1; k < 8; ++k) t[k][n] = (t[k - 1][n] >> 8) ^ t[0][t[k - 1][n] & 0xFF];
  }
  return t;
}

constexpr CrcTables kTables = MakeTables();

std::uint32_t PortableCrc(std::uint32_t c, const std::uint8_t* p, std::size_t n) {
  for (; n >= 8; n -= 8, p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    word ^= c;
    c = kTables[7][word & 0xFF] ^ kTables[6][(word >> 8) & 0xFF] ^ kTables[5][(word >> 16) & 0xFF] ^
        kTables[4][(word >> 24) & 0xFF] ^ kTables[3][(word >> 32) & 0xFF] ^
        kTables[2][(word >> 40) & 0xFF] ^ kTables[1][(word >> 48) & 0xFF] ^ kTables[0][word >> 56];
  }
  for (; n > 0; --n) c = kTables[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return c;
}

#if defined(__x86_64__)
__attribute__((target("sse4.2"))) std::uint32_t HardwareCrc(std::uint32_t c, const std::uint8_t* p,
                                                            std::size_t n) {
  std::uint64_t c64 = c;
  for (; n >= 8; n -= 8, p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    c64 = _mm_crc32_u64(c64, word);
  }
  c = static_cast<std::uint32_t>(c64);
  for (; n > 0; --n) c = _mm_crc32_u8(c, *p++);
  return c;
}

bool HasCrcInstruction() {
  static const bool has = __builtin_cpu_supports("sse4.2");
  return has;
}
#endif

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  if (a.Inode != b.Inode) return false;
  if (a.HasGeneration && b.HasGeneration && a.Generation != b.Generation) return false;
  return a.BornNs == 0 || b.BornNs == 0 || a.BornNs == b.BornNs;
}

}  // namespace

std::uint32_t Crc32c(std::uint32_t crc, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  crc = ~crc;
#if defined(__x86_64__)
  if (HasCrcInstruction()) return ~HardwareCrc(crc, bytes, size);
#endif
  return ~PortableCrc(crc, bytes, size);
}

FileIdentity IdentityOf(const XaFileStat& st) {
  return {st.Length, st.ModifiedNs, st.ChangedNs,    st.BornNs,
          st.Inode,  st.Generation, st.HasGeneration};
}

Verdict CompareClosed(const FileIdentity& recorded, const FileIdentity& now) {
  if (!SameFile(recorded, now)) return Verdict::Foreign;
  if (recorded.Length != now.Length || recorded.ModifiedNs != now.ModifiedNs)
    return Verdict::Changed;
  return recorded.ChangedNs == now.ChangedNs ? Verdict::Same : Verdict::Digest;
}

Verdict CompareUnfinished(const FileIdentity& before, const FileIdentity& now) {
  // Whatever an edit wrote, the file keeps its inode, generation and birth time; its bytes
  // outside what the entry keeps then tell the rest.
  return SameFile(before, now) ? Verdict::Digest : Verdict::Foreign;
}

std::int64_t SampleBlockAt(std::int64_t begin, std::int64_t end, int k) {
  const std::int64_t room = std::max<std::int64_t>(0, end - begin - kSampleBlockBytes);
  return begin + room * k / (kSampleBlocks - 1);
}

}  // namespace sorvane::journal
