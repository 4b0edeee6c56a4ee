// What lets the undo journal trust what it reads back and whom it reads it for: the CRC-32C
// that covers every byte of an entry, and the comparison of a file with what an entry
// remembers of it, which needs no birth time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "container/xa_file.h"

namespace sorvane::journal {

// CRC-32C (Castagnoli) of `size` bytes, continuing from `crc` (0 to begin). Uses the
// processor's CRC32 instruction where it has one.
std::uint32_t Crc32c(std::uint32_t crc, const void* data, std::size_t size);

// What an entry remembers of its file at one moment.
struct FileIdentity {
  std::int64_t Length = 0;
  std::int64_t ModifiedNs = 0;
  std::int64_t ChangedNs = 0;
  std::int64_t BornNs = 0;  // 0: the file system keeps no birth time
  std::uint64_t Inode = 0;
  std::uint64_t Generation = 0;
  bool HasGeneration = false;
};

FileIdentity IdentityOf(const XaFileStat& st);

enum class Verdict {
  Same,     // the file is as the entry left it
  Changed,  // the same file, changed by another program since
  Foreign,  // another file, on the inode of one that is gone
  Digest,   // only the status change time moved: the bytes decide
};

// Whether `now` is the file another program has not touched since `recorded` (the file when
// the entry was closed). A new file on a reused inode differs in its generation or birth
// time where the file system keeps one; a rename, chmod or new link moves only the ctime.
Verdict CompareClosed(const FileIdentity& recorded, const FileIdentity& now);
// Whether `now` can still be the file `before` was, for an entry that a crash left open or
// an undo left half done: only what no write changes can tell.
Verdict CompareUnfinished(const FileIdentity& before, const FileIdentity& now);

// The byte ranges of a file a sample digest reads: up to kSampleBlocks blocks of
// kSampleBlockBytes spread evenly over [begin, end), the first and the last included.
inline constexpr int kSampleBlocks = 16;
inline constexpr std::int64_t kSampleBlockBytes = 4096;
std::int64_t SampleBlockAt(std::int64_t begin, std::int64_t end, int k);

}  // namespace sorvane::journal
