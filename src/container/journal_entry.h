// The files of the undo journal: an entry's header and records, the entries of a file's
// folder and their names. Shared by the recording of edits and the taking back of entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/undo_journal.h"

namespace sorvane::journal {

// An entry file: a 128-byte header, then records of [offset 8][size 8][stride 8][count 8]
// and the bytes of their pieces.
inline constexpr std::int64_t kHeaderBytes = 128;
inline constexpr std::int64_t kRecordHead = 32;
// Bytes read and kept in one go when an edit's planned sectors are batched, or a cut kept.
inline constexpr std::int64_t kBatchBytes = std::int64_t{1} << 20;

enum class EntryState : std::uint32_t { Open = 0, Closed = 1, Applying = 2 };

struct EntryHeader {
  EntryState State = EntryState::Open;
  std::uint64_t Inverse = 0;  // while Applying: the number of the inverse being completed
  std::int64_t Time = 0;
  char Command[16] = {};
  std::int64_t OriginalLength = 0;  // the length the entry puts back
  std::int64_t AfterLength = 0;     // the file when the entry was closed
  std::int64_t AfterModifiedNs = 0;
  KeptSettings Before;  // the settings the entry puts back
  KeptSettings After;
  std::int64_t BornNs = 0;
  std::int64_t BytesKept = 0;
};

struct EntryName {
  std::uint64_t Number = 0;
  JournalDirection Direction = JournalDirection::Undo;
  bool Partial = false;  // an inverse not yet completed
};

// A whole record of an entry: Count pieces of Size bytes of the file, at Offset + k·Stride,
// kept one after another from At in the entry. A channel's sectors, one every interleave,
// make one record.
struct Record {
  std::int64_t Offset;
  std::int64_t Size;
  std::int64_t Stride;
  std::int64_t Count;
  std::int64_t At;
  std::int64_t Bytes() const { return Size * Count; }
};

// Appends at `end` of the entry `fd` records of the file's current bytes of `ranges`, pieces
// of equal size at equal steps in one record, and adds their bytes to `kept`. No sync.
bool AppendRanges(XaFile& xa, int fd, std::int64_t& end, const std::vector<ByteRange>& ranges,
                  std::int64_t& kept);

KeptSettings SettingsOf(const XaFile& xa);
JournalDirection Other(JournalDirection d);
std::int64_t ReadFull(int fd, std::int64_t offset, void* data, std::int64_t size);
// mkdir -p, private to the user.
bool MakeFolders(const std::string& path);
std::string EntryPath(const std::string& folder, const EntryName& e);
// Every entry of a folder, oldest first.
std::vector<EntryName> ListFolder(const std::string& folder);
std::uint64_t NextNumber(const std::vector<EntryName>& entries);
bool SyncFolder(FileIo& io, const std::string& folder);
bool ReadHeader(int fd, EntryHeader& h);
// Writes the header and makes the entry durable.
bool WriteHeader(FileIo& io, int fd, const EntryHeader& h);
bool ReadHeaderAt(const std::string& path, EntryHeader& h);
// The folder of the open file's journal below `root`.
std::string FolderOf(const std::string& root, const XaFileStat& st);
// A file created after the journal's entries were written has taken over the inode of one
// that is gone: its entries are not this file's and are dropped.
void DropForeignEntries(const std::string& folder, const XaFileStat& st);
// Whole records of an entry, in the order they were written; a record cut short by a crash
// is left out (its bytes were never overwritten: the file is written only after its
// record is durable).
std::vector<Record> ReadRecords(int fd);
// Drops the oldest entries while more than kMaxEntries edits can be undone or the entries
// hold more than kMaxBytes; never the newest.
void Trim(const std::string& folder);

}  // namespace sorvane::journal
