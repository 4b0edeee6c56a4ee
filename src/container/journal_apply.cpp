// Taking an entry of the undo journal back: its inverse is recorded first, then the entry's
// bytes and length are put back, so an interrupted undo or redo can always be completed.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "container/journal_entry.h"
#include "container/undo_journal.h"
#include "format/little_endian.h"

namespace sorvane {
using namespace journal;
namespace {

// An open descriptor that closes itself.
struct Fd {
  explicit Fd(int value) : Value(value) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (Value >= 0) ::close(Value);
  }
  int Value;
};

// Writes the inverse of the entry `h` (what the file holds now where the entry will write,
// and what lies past the entry's length) as a partial entry at `path`.
bool WriteInverse(XaFile& xa, const std::string& path, const EntryHeader& h,
                  const std::vector<Record>& records, const XaFileStat& st) {
  Fd out(::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
  if (out.Value < 0) return false;
  EntryHeader inverse = h;
  inverse.State = EntryState::Open;
  inverse.OriginalLength = st.Length;
  inverse.Before = h.After;
  inverse.After = h.Before;
  inverse.BornNs = st.BornNs;
  inverse.BytesKept = 0;
  std::vector<ByteRange> ranges;
  for (const Record& r : records) {
    for (std::int64_t k = 0; k < r.Count; ++k) {
      const std::int64_t begin = r.Offset + k * r.Stride;
      const std::int64_t end = std::min(begin + r.Size, st.Length);
      if (begin < end) ranges.push_back({begin, end});
    }
  }
  // What the edit added past the entry's length, in pieces small enough to copy whole.
  for (std::int64_t at = h.OriginalLength; at < st.Length; at += kBatchBytes)
    ranges.push_back({at, std::min(at + kBatchBytes, st.Length)});
  std::int64_t end = kHeaderBytes;
  return AppendRanges(xa, out.Value, end, ranges, inverse.BytesKept) &&
         WriteHeader(*xa.Io, out.Value, inverse);
}

// Writes the entry's kept bytes back into the file and cuts it to the entry's length.
bool PutBack(XaFile& xa, int entry, const EntryHeader& h, const std::vector<Record>& records) {
  std::vector<std::uint8_t> piece;
  for (const Record& r : records) {
    piece.resize(std::size_t(r.Size));
    for (std::int64_t k = 0; k < r.Count; ++k) {
      if (ReadFull(entry, r.At + k * r.Size, piece.data(), r.Size) != r.Size ||
          !WriteBytesAt(xa, r.Offset + k * r.Stride, piece.data(), r.Size))
        return false;
    }
  }
  return TruncateXaFile(xa, h.OriginalLength) == 0 && SyncXaFile(xa) == 0;
}

// Closes the completed inverse with the file as it now is and gives it its final name.
bool CloseInverse(XaFile& xa, const std::string& folder, const EntryName& inverse) {
  const std::string partial = EntryPath(folder, inverse);
  Fd fd(::open(partial.c_str(), O_RDWR | O_CLOEXEC));
  EntryHeader h;
  XaFileStat st;
  if (fd.Value < 0 || !ReadHeader(fd.Value, h) || !StatXaFile(xa, st)) return false;
  h.State = EntryState::Closed;
  h.AfterLength = st.Length;
  h.AfterModifiedNs = st.ModifiedNs;
  EntryName final = inverse;
  final.Partial = false;
  return WriteHeader(*xa.Io, fd.Value, h) &&
         ::rename(partial.c_str(), EntryPath(folder, final).c_str()) == 0;
}

// The file is now as the next entry of `direction` left it: that entry's idea of the file
// follows, so that it can be taken back in turn.
void HandOn(const XaFile& xa, const std::string& folder, JournalDirection direction) {
  const std::vector<EntryName> entries = ListFolder(folder);
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    if (e->Partial || e->Direction != direction) continue;
    Fd fd(::open(EntryPath(folder, *e).c_str(), O_RDWR | O_CLOEXEC));
    EntryHeader h;
    XaFileStat st;
    if (fd.Value < 0 || !ReadHeader(fd.Value, h) || h.State != EntryState::Closed ||
        !StatXaFile(xa, st))
      return;
    h.AfterLength = st.Length;
    h.AfterModifiedNs = st.ModifiedNs;
    WriteHeader(*xa.Io, fd.Value, h);
    return;
  }
}

// The entry to take back in `direction`: an unfinished edit first, else the newest.
bool PickEntry(const std::string& folder, JournalDirection direction, EntryName& picked) {
  bool found = false;
  for (const EntryName& e : ListFolder(folder)) {
    if (e.Partial || e.Direction != direction) continue;
    EntryHeader h;
    if (!ReadHeaderAt(EntryPath(folder, e), h)) continue;
    if (h.State == EntryState::Open) {
      picked = e;
      return true;
    }
    picked = e;
    found = true;
  }
  return found;
}

}  // namespace

// Completes the entry at `name` (state Applying, or about to be): puts its bytes back,
// closes its inverse and removes it.
TakeBack UndoJournal::Complete(XaFile& xa, const EntryName& name, KeptSettings& settings) {
  const std::string path = EntryPath(folder_, name);
  Fd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
  EntryHeader h;
  if (fd.Value < 0 || !ReadHeader(fd.Value, h)) return TakeBack::JournalFailed;
  const EntryName inverse{h.Inverse, Other(name.Direction), true};
  EntryName done = inverse;
  done.Partial = false;
  if (::access(EntryPath(folder_, done).c_str(), F_OK) != 0) {
    if (!PutBack(xa, fd.Value, h, ReadRecords(fd.Value))) return TakeBack::WriteFailed;
    if (::access(EntryPath(folder_, inverse).c_str(), F_OK) == 0 &&
        !CloseInverse(xa, folder_, inverse))
      return TakeBack::JournalFailed;
  }
  ::unlink(path.c_str());
  SyncFolder(*xa.Io, folder_);
  HandOn(xa, folder_, name.Direction);
  settings = h.Before;
  return TakeBack::Done;
}

bool UndoJournal::ResumeInterrupted(XaFile& xa) {
  XaFileStat st;
  if (!OpenFolder(xa, st)) return false;
  for (const EntryName& e : ListFolder(folder_)) {
    EntryHeader h;
    KeptSettings settings;
    if (!e.Partial && ReadHeaderAt(EntryPath(folder_, e), h) && h.State == EntryState::Applying &&
        Complete(xa, e, settings) != TakeBack::Done)
      return false;
  }
  // Inverses that no interrupted entry waits for were never used.
  for (const EntryName& e : ListFolder(folder_)) {
    if (e.Partial) ::unlink(EntryPath(folder_, e).c_str());
  }
  return true;
}

TakeBack UndoJournal::Apply(XaFile& xa, JournalDirection direction, KeptSettings& settings) {
  Reset();
  XaFileStat st;
  if (!ResumeInterrupted(xa) || !OpenFolder(xa, st)) return TakeBack::JournalFailed;
  EntryName name;
  if (!PickEntry(folder_, direction, name)) return TakeBack::Nothing;
  const std::string path = EntryPath(folder_, name);
  Fd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
  EntryHeader h;
  if (fd.Value < 0 || !ReadHeader(fd.Value, h)) return TakeBack::JournalFailed;
  if (h.State == EntryState::Closed &&
      (st.Length != h.AfterLength || st.ModifiedNs != h.AfterModifiedNs))
    return TakeBack::Changed;
  const EntryName inverse{NextNumber(ListFolder(folder_)), Other(direction), true};
  if (!WriteInverse(xa, EntryPath(folder_, inverse), h, ReadRecords(fd.Value), st) ||
      !SyncFolder(*xa.Io, folder_)) {
    ::unlink(EntryPath(folder_, inverse).c_str());
    return TakeBack::JournalFailed;
  }
  h.State = EntryState::Applying;
  h.Inverse = inverse.Number;
  if (!WriteHeader(*xa.Io, fd.Value, h)) {
    ::unlink(EntryPath(folder_, inverse).c_str());
    return TakeBack::JournalFailed;
  }
  const TakeBack result = Complete(xa, name, settings);
  if (result == TakeBack::Done) Trim(folder_);
  return result;
}

}  // namespace sorvane
