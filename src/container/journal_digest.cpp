#include "container/journal_digest.h"

#include <algorithm>
#include <cstring>

#include "format/little_endian.h"

namespace sorvane::journal {
namespace {

// Up to `size` bytes of the file at `at`; what lies past its end reads as zeros.
bool ReadPresent(XaFile& xa, std::int64_t at, std::uint8_t* out, std::int64_t size) {
  std::memset(out, 0, std::size_t(size));
  const std::int64_t present = std::clamp<std::int64_t>(XaFileLength(xa) - at, 0, size);
  return present == 0 || ReadBytesAt(xa, at, out, present);
}

std::uint32_t AddPosition(std::uint32_t digest, std::int64_t at) {
  std::uint8_t bytes[8];
  PutLe64(bytes, static_cast<std::uint64_t>(at));
  return Crc32c(digest, bytes, 8);
}

// The pieces of record `r` as the file holds them now, a span of close pieces at a time.
bool DigestRecord(XaFile& xa, const Record& r, std::uint32_t& digest,
                  std::vector<std::uint8_t>& span) {
  const bool dense = r.Stride > 0 && r.Stride <= 8 * r.Size;
  const std::int64_t batch =
      dense ? std::max<std::int64_t>(1, (kBatchBytes - r.Size) / r.Stride + 1) : 1;
  for (std::int64_t k = 0; k < r.Count; k += batch) {
    const std::int64_t n = std::min(batch, r.Count - k);
    const std::int64_t from = r.Offset + k * r.Stride;
    span.resize(std::size_t((n - 1) * r.Stride + r.Size));
    if (!ReadPresent(xa, from, span.data(), std::int64_t(span.size()))) return false;
    for (std::int64_t j = 0; j < n; ++j) {
      digest = AddPosition(digest, from + j * r.Stride);
      digest = Crc32c(digest, span.data() + j * r.Stride, std::size_t(r.Size));
    }
  }
  return true;
}

// Lays the bytes the records keep of [at, at + size) over `block`.
bool LayRecords(int entry, const std::vector<Record>& records, std::int64_t at, std::int64_t size,
                std::uint8_t* block) {
  for (const Record& r : records) {
    const std::int64_t step = r.Stride > 0 ? r.Stride : r.Size;
    std::int64_t k = std::max<std::int64_t>(0, (at - r.Offset - r.Size) / step);
    for (; k < r.Count; ++k) {
      const std::int64_t begin = r.Offset + k * step;
      if (begin >= at + size) break;
      const std::int64_t from = std::max(begin, at);
      const std::int64_t to = std::min(begin + r.Size, at + size);
      if (from >= to) continue;
      const std::int64_t bytes = to - from;
      if (ReadFull(entry, r.At + k * r.Size + (from - begin), block + (from - at), bytes) != bytes)
        return false;
    }
  }
  return true;
}

}  // namespace

bool WrittenDigest(XaFile& xa, const EntryHeader& h, const std::vector<Record>& records,
                   std::uint32_t& digest) {
  digest = 0;
  std::vector<std::uint8_t> span;
  for (const Record& r : records) {
    if (!DigestRecord(xa, r, digest, span)) return false;
  }
  const std::int64_t length = XaFileLength(xa);
  if (length < 0) return false;
  digest = AddPosition(digest, length);
  std::uint8_t block[kSampleBlockBytes];
  for (int k = 0; k < kSampleBlocks && h.OriginalLength < length; ++k) {
    const std::int64_t at = SampleBlockAt(h.OriginalLength, length, k);
    if (!ReadPresent(xa, at, block, kSampleBlockBytes)) return false;
    digest = Crc32c(AddPosition(digest, at), block, kSampleBlockBytes);
  }
  return true;
}

bool SampleDigest(XaFile& xa, int entry, std::int64_t length, const std::vector<Record>& records,
                  std::uint32_t& digest) {
  digest = AddPosition(0, length);
  std::uint8_t block[kSampleBlockBytes];
  for (int k = 0; k < kSampleBlocks && length > 0; ++k) {
    const std::int64_t at = SampleBlockAt(0, length, k);
    const std::int64_t size = std::min(kSampleBlockBytes, length - at);
    if (!ReadPresent(xa, at, block, size) || !LayRecords(entry, records, at, size, block))
      return false;
    digest = Crc32c(AddPosition(digest, at), block, std::size_t(size));
  }
  return true;
}

Verdict FitClosed(XaFile& xa, int fd, const EntryHeader& h, const std::vector<Record>& records,
                  const XaFileStat& st) {
  const Verdict verdict = CompareClosed(h.After, IdentityOf(st));
  if (verdict != Verdict::Digest) return verdict;
  std::uint32_t written = 0, sample = 0;
  return WrittenDigest(xa, h, records, written) && written == h.WrittenDigest &&
                 SampleDigest(xa, fd, h.OriginalLength, records, sample) && sample == h.SampleDigest
             ? Verdict::Same
             : Verdict::Changed;
}

Verdict FitUnfinished(XaFile& xa, int fd, const EntryHeader& h, const std::vector<Record>& records,
                      const XaFileStat& st) {
  if (CompareUnfinished(h.Before, IdentityOf(st)) == Verdict::Foreign) return Verdict::Foreign;
  std::uint32_t sample = 0;
  return SampleDigest(xa, fd, h.OriginalLength, records, sample) && sample == h.SampleDigest
             ? Verdict::Same
             : Verdict::Changed;
}

bool CloseEntry(XaFile& xa, int fd, std::int64_t content, const std::vector<Record>& records,
                const KeptSettings* settings) {
  EntryHeader h;
  XaFileStat st;
  if (SyncXaFile(xa) != 0 || !StatXaFile(xa, st) || CheckHeader(fd, h) != EntryCheck::Whole)
    return false;
  h.State = EntryState::Closed;
  h.After = IdentityOf(st);
  if (settings != nullptr) h.SettingsAfter = *settings;
  h.ContentEnd = h.DurableEnd = content;
  h.BytesKept = 0;
  for (const Record& r : records) h.BytesKept += r.Bytes();
  return WrittenDigest(xa, h, records, h.WrittenDigest) && xa.Io->Truncate(fd, content) == 0 &&
         WriteHeader(*xa.Io, fd, h);
}

}  // namespace sorvane::journal
