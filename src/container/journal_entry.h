// The files of the undo journal: an entry's header and records, the entries of a file's
// folder and their names. Shared by the recording of edits and the taking back of entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/journal_check.h"
#include "container/undo_journal.h"

namespace sorvane::journal {

// An entry file: a 256-byte header, the file's path and its CRC-32C, then records of a
// 48-byte head and the bytes of their pieces. The header and every record head carry a
// CRC-32C of their own, every record one of its bytes: a closed entry has no byte that no
// checksum covers, and its length is what its header says.
inline constexpr std::int64_t kHeaderBytes = 256;
inline constexpr std::int64_t kRecordHead = 48;
// Bytes read and kept in one go when an edit's planned sectors are batched, or a cut kept.
inline constexpr std::int64_t kBatchBytes = std::int64_t{1} << 20;

enum class EntryState : std::uint32_t { Open = 0, Closed = 1, Applying = 2 };

struct EntryHeader {
  EntryState State = EntryState::Open;
  std::uint64_t Inverse = 0;  // while Applying: the number of the inverse being completed
  std::int64_t Time = 0;
  char Command[16] = {};
  std::int64_t OriginalLength = 0;  // the length the entry puts back
  FileIdentity Before;              // the file when the entry began
  FileIdentity After;               // the file when the entry was closed
  KeptSettings SettingsBefore;      // the settings the entry puts back
  KeptSettings SettingsAfter;
  std::int64_t BytesKept = 0;
  // While open: every record that ends at or before this was durable before the file was
  // written, so a bad record there is damage, not a tear.
  std::int64_t DurableEnd = 0;
  std::int64_t ContentEnd = 0;      // once closed: the entry's length
  std::uint32_t WrittenDigest = 0;  // once closed: see WrittenDigest()
  std::uint32_t SampleDigest = 0;   // the file's bytes when the entry began: SampleDigest()
  std::string Path;                 // the file's path when the entry began
  std::int64_t RecordsStart() const { return kHeaderBytes + std::int64_t(Path.size()) + 4; }
};

struct EntryName {
  std::uint64_t Number = 0;
  JournalDirection Direction = JournalDirection::Undo;
  bool Partial = false;  // not complete yet: a new entry or an inverse being written
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

enum class EntryCheck {
  Whole,       // header and records agree with their checksums and lengths
  Damaged,     // a checksum or a length disagrees
  Unreadable,  // the entry could not be read
};

// Reads and checks an entry whole: its header, path and every record's head and bytes. A
// closed entry must end exactly where its last record does. Of an open entry (a crash left
// it), a record torn by the crash is left out with all after it, `content` being where the
// whole records end; a bad record before what was durable is damage. Without `bytes` the
// records' bytes are not read, only their heads and lengths.
EntryCheck CheckEntry(int fd, EntryHeader& h, std::vector<Record>& records, std::int64_t& content,
                      bool bytes = true);
// An entry file opened, with what CheckEntry found in it.
struct OpenEntry {
  explicit OpenEntry(const std::string& path, bool writable = true);
  OpenEntry(const OpenEntry&) = delete;
  OpenEntry& operator=(const OpenEntry&) = delete;
  ~OpenEntry();
  EntryCheck Check(bool bytes = true);

  int Fd;
  EntryHeader Header;
  std::vector<Record> Records;
  std::int64_t Content = 0;
};

// Only the header and the path, checked.
EntryCheck CheckHeader(int fd, EntryHeader& h);
EntryCheck CheckHeaderAt(const std::string& path, EntryHeader& h);

// Appends at `end` of the entry `fd` records of the file's current bytes of `ranges`, pieces
// of equal size at equal steps in one record, and adds their bytes to `kept` and the records
// to `written`. No sync.
bool AppendRanges(XaFile& xa, int fd, std::int64_t& end, const std::vector<ByteRange>& ranges,
                  std::int64_t& kept, std::vector<Record>& written);

// Writes the header (and with `withPath` the path block after it); with `sync` makes the
// entry durable.
bool WriteHeader(FileIo& io, int fd, const EntryHeader& h, bool sync = true, bool withPath = false);

KeptSettings SettingsOf(const XaFile& xa);
JournalDirection Other(JournalDirection d);
std::int64_t ReadFull(int fd, std::int64_t offset, void* data, std::int64_t size);
// mkdir -p, private to the user; `created` tells whether the last folder is new.
bool MakeFolders(const std::string& path, bool* created = nullptr);
std::string EntryPath(const std::string& folder, const EntryName& e);
// Every entry of a folder, oldest first.
std::vector<EntryName> ListFolder(const std::string& folder);
std::uint64_t NextNumber(const std::vector<EntryName>& entries);
bool SyncFolder(FileIo& io, const std::string& folder);
// Drops the oldest entries while more than kMaxEntries edits can be undone or the entries
// hold more than kMaxBytes; never the newest, never one that is not closed.
void Trim(const std::string& folder);

}  // namespace sorvane::journal
