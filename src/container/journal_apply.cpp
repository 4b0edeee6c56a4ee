// Taking an entry of the undo journal back. The entry is checked whole and its file known
// again first; then its inverse is recorded, the entry marked as being applied, its bytes
// and length put back, the inverse closed, the next entry told of the file's new state,
// and only then the mark removed, with no sync after it: a kill at any point leaves either
// nothing done or the mark, and the mark's completion is the undo (or redo) asked for.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "container/journal_digest.h"
#include "container/journal_entry.h"
#include "container/undo_journal.h"

namespace sorvane {
using namespace journal;
namespace {

// The ranges the inverse of an entry keeps: what the file holds now where the entry will
// write, and what lies past the entry's length.
std::vector<ByteRange> InverseRanges(const EntryHeader& h, const std::vector<Record>& records,
                                     std::int64_t length) {
  std::vector<ByteRange> ranges;
  for (const Record& r : records) {
    for (std::int64_t k = 0; k < r.Count; ++k) {
      const std::int64_t begin = r.Offset + k * r.Stride;
      const std::int64_t end = std::min(begin + r.Size, length);
      if (begin < end) ranges.push_back({begin, end});
    }
  }
  // In pieces small enough to copy whole.
  for (std::int64_t at = h.OriginalLength; at < length; at += kBatchBytes)
    ranges.push_back({at, std::min(at + kBatchBytes, length)});
  return ranges;
}

// Writes the inverse of the entry `h` as an open entry to `fd`, made durable.
bool WriteInverseTo(XaFile& xa, int fd, const EntryHeader& h, const std::vector<Record>& records,
                    const XaFileStat& st) {
  EntryHeader inverse = h;
  inverse.State = EntryState::Open;
  inverse.Inverse = 0;
  inverse.OriginalLength = st.Length;
  inverse.Before = IdentityOf(st);
  inverse.SettingsBefore = h.SettingsAfter;
  inverse.SettingsAfter = h.SettingsBefore;
  inverse.Path = xa.Path;
  inverse.BytesKept = 0;
  const std::vector<ByteRange> ranges = InverseRanges(h, records, st.Length);
  std::int64_t room = 0;
  for (const ByteRange& r : ranges) room += r.End - r.Begin + kRecordHead;
  std::int64_t end = inverse.RecordsStart();
  std::vector<Record> written;
  if (!SampleDigest(xa, -1, st.Length, {}, inverse.SampleDigest) ||
      xa.Io->Reserve(fd, end, std::max<std::int64_t>(room, 1)) != 0 ||
      !WriteHeader(*xa.Io, fd, inverse, false, true) ||
      !AppendRanges(xa, fd, end, ranges, inverse.BytesKept, written))
    return false;
  inverse.DurableEnd = end;
  return WriteHeader(*xa.Io, fd, inverse);
}

bool WriteInverse(XaFile& xa, const std::string& path, const EntryHeader& h,
                  const std::vector<Record>& records, const XaFileStat& st) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = WriteInverseTo(xa, fd, h, records, st);
  ::close(fd);
  return written;
}

// Puts back `n` pieces of record `r` from `kept`, beginning with piece `k`, with one read and
// one write of the span they lie in: the bytes between them are written back as they are
// (zero past the end of the file, which other records or the final cut then settle).
bool PutBackSpan(XaFile& xa, const Record& r, std::int64_t k, std::int64_t n,
                 const std::uint8_t* kept, std::vector<std::uint8_t>& span) {
  const std::int64_t from = r.Offset + k * r.Stride;
  const std::int64_t size = (n - 1) * r.Stride + r.Size;
  span.assign(std::size_t(size), 0);
  const std::int64_t present = std::clamp<std::int64_t>(XaFileLength(xa) - from, 0, size);
  if (present > 0 && !ReadBytesAt(xa, from, span.data(), present)) return false;
  for (std::int64_t j = 0; j < n; ++j)
    std::copy(kept + j * r.Size, kept + (j + 1) * r.Size, span.begin() + j * r.Stride);
  return WriteBytesAt(xa, from, span.data(), size);
}

// Writes the entry's kept bytes back into the file and cuts it to the entry's length.
bool PutBack(XaFile& xa, int entry, const EntryHeader& h, const std::vector<Record>& records) {
  std::vector<std::uint8_t> pieces, span;
  for (const Record& r : records) {
    // Interleaved sectors go back a span at a time rather than one system call each.
    const bool dense = r.Stride > 0 && r.Stride <= 8 * r.Size;
    const std::int64_t batch =
        dense ? std::max<std::int64_t>(1, (kBatchBytes - r.Size) / r.Stride + 1)
              : std::max<std::int64_t>(1, kBatchBytes / r.Size);
    for (std::int64_t k = 0; k < r.Count; k += batch) {
      const std::int64_t n = std::min(batch, r.Count - k);
      pieces.resize(std::size_t(n * r.Size));
      if (ReadFull(entry, r.At + k * r.Size, pieces.data(), n * r.Size) != n * r.Size) return false;
      if (dense) {
        if (!PutBackSpan(xa, r, k, n, pieces.data(), span)) return false;
        continue;
      }
      for (std::int64_t j = 0; j < n; ++j) {
        if (!WriteBytesAt(xa, r.Offset + (k + j) * r.Stride, pieces.data() + j * r.Size, r.Size))
          return false;
      }
    }
  }
  return TruncateXaFile(xa, h.OriginalLength) == 0 && SyncXaFile(xa) == 0;
}

// Closes the completed inverse with the file as it now is and gives it its final name.
bool CloseInverse(XaFile& xa, const std::string& folder, const EntryName& inverse) {
  const std::string partial = EntryPath(folder, inverse);
  OpenEntry entry(partial);
  if (entry.Check() != EntryCheck::Whole) return false;
  EntryName final = inverse;
  final.Partial = false;
  // Closed again even when a kill came after its first closing: the put-back was redone.
  return CloseEntry(xa, entry.Fd, entry.Content, entry.Records, nullptr) &&
         xa.Io->Rename(partial.c_str(), EntryPath(folder, final).c_str()) == 0 &&
         SyncFolder(*xa.Io, folder);
}

// The file is now as the next entry of `done`'s direction left it: that entry's idea of the
// file follows (its bytes, and so its digests, are as they were), so that it can be taken
// back in turn. With `redigest` the bytes are not (an entry was forgotten): the digest of
// what it wrote is taken again. False only when it could not be written.
bool HandOn(XaFile& xa, const std::string& folder, const EntryName& done, bool redigest) {
  const std::vector<EntryName> entries = ListFolder(folder);
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    if (e->Partial || e->Direction != done.Direction || e->Number == done.Number) continue;
    OpenEntry entry(EntryPath(folder, *e));
    EntryHeader& h = entry.Header;
    XaFileStat st;
    if (entry.Check(false) != EntryCheck::Whole || h.State != EntryState::Closed)
      return true;  // refused on its own when its turn comes
    if (!StatXaFile(xa, st)) return false;
    h.After = IdentityOf(st);
    if (redigest && !WrittenDigest(xa, h, entry.Records, h.WrittenDigest)) return false;
    return WriteHeader(*xa.Io, entry.Fd, h);
  }
  return true;
}

// The newest entry of `direction`.
bool PickEntry(const std::string& folder, JournalDirection direction, EntryName& picked) {
  bool found = false;
  for (const EntryName& e : ListFolder(folder)) {
    if (e.Partial || e.Direction != direction) continue;
    picked = e;
    found = true;
  }
  return found;
}

TakeBack Refusal(EntryCheck check) {
  return check == EntryCheck::Damaged ? TakeBack::Damaged : TakeBack::JournalFailed;
}

}  // namespace

// Completes the entry at `name`, marked as being applied: puts its bytes back unless its
// inverse is already complete, closes the inverse, hands on, and removes the mark last.
TakeBack UndoJournal::Complete(XaFile& xa, const EntryName& name, KeptSettings& settings) {
  const std::string path = EntryPath(folder_, name);
  OpenEntry entry(path);
  if (const EntryCheck check = entry.Check(); check != EntryCheck::Whole) return Refusal(check);
  const EntryName inverse{entry.Header.Inverse, Other(name.Direction), true};
  EntryName done = inverse;
  done.Partial = false;
  if (::access(EntryPath(folder_, done).c_str(), F_OK) != 0) {
    // No inverse at all: the mark outlived a failed write of it, and the put-back, which
    // follows the inverse, never began. The file is as the entry left it: record it now.
    XaFileStat st;
    if (::access(EntryPath(folder_, inverse).c_str(), F_OK) != 0 &&
        (!StatXaFile(xa, st) ||
         !WriteInverse(xa, EntryPath(folder_, inverse), entry.Header, entry.Records, st) ||
         !SyncFolder(*xa.Io, folder_)))
      return TakeBack::JournalFailed;
    if (!PutBack(xa, entry.Fd, entry.Header, entry.Records)) return TakeBack::WriteFailed;
    if (!CloseInverse(xa, folder_, inverse)) return TakeBack::JournalFailed;
  }
  if (!HandOn(xa, folder_, name, false)) return TakeBack::JournalFailed;
  settings = entry.Header.SettingsBefore;
  // The in-flight mark goes last, with no sync after it: until it is gone, a retry completes
  // this undo instead of doing another.
  return ::unlink(path.c_str()) == 0 ? TakeBack::Done : TakeBack::JournalFailed;
}

TakeBack UndoJournal::TakeBackEntry(XaFile& xa, const EntryName& name, KeptSettings& settings) {
  OpenEntry entry(EntryPath(folder_, name));
  if (const EntryCheck check = entry.Check(); check != EntryCheck::Whole) return Refusal(check);
  EntryHeader& h = entry.Header;
  XaFileStat st;
  if (!StatXaFile(xa, st)) return TakeBack::JournalFailed;
  if (h.State == EntryState::Open) {
    // An edit a crash left open: checked by what no write changes, then closed as it stands.
    if (FitUnfinished(xa, entry.Fd, h, entry.Records, st) != Verdict::Same)
      return TakeBack::Changed;
    if (!CloseEntry(xa, entry.Fd, entry.Content, entry.Records, nullptr) ||
        CheckHeader(entry.Fd, h) != EntryCheck::Whole || !StatXaFile(xa, st))
      return TakeBack::JournalFailed;
  } else if (FitClosed(xa, entry.Fd, h, entry.Records, st) != Verdict::Same) {
    return TakeBack::Changed;
  }
  const EntryName inverse{NextNumber(ListFolder(folder_)), Other(name.Direction), true};
  h.State = EntryState::Applying;
  h.Inverse = inverse.Number;
  if (!WriteInverse(xa, EntryPath(folder_, inverse), h, entry.Records, st) ||
      !SyncFolder(*xa.Io, folder_)) {
    ::unlink(EntryPath(folder_, inverse).c_str());
    return TakeBack::JournalFailed;
  }
  // A mark whose write failed may still have reached the disk: its inverse stays for the
  // completion, and goes as unused when the mark did not.
  if (!WriteHeader(*xa.Io, entry.Fd, h)) return TakeBack::JournalFailed;
  return Complete(xa, name, settings);
}

TakeBack UndoJournal::ResumeInterrupted(XaFile& xa, KeptSettings& settings,
                                        JournalDirection& done) {
  XaFileStat st;
  if (!OpenFolder(xa, st, true)) return TakeBack::JournalFailed;
  TakeBack result = TakeBack::Nothing;
  for (const EntryName& e : ListFolder(folder_)) {
    EntryHeader h;
    if (e.Partial || CheckHeaderAt(EntryPath(folder_, e), h) != EntryCheck::Whole ||
        h.State != EntryState::Applying)
      continue;
    {
      // However far the put-back got, the file with the entry's bytes laid over it is the
      // file the entry was made from.
      OpenEntry entry(EntryPath(folder_, e));
      if (const EntryCheck check = entry.Check(); check != EntryCheck::Whole) return Refusal(check);
      if (!StatXaFile(xa, st) ||
          FitUnfinished(xa, entry.Fd, entry.Header, entry.Records, st) != Verdict::Same)
        return TakeBack::Changed;
    }
    result = Complete(xa, e, settings);
    if (result != TakeBack::Done) return result;
    done = e.Direction;
  }
  // New entries and inverses that nothing waits for were never completed.
  for (const EntryName& e : ListFolder(folder_)) {
    if (e.Partial) ::unlink(EntryPath(folder_, e).c_str());
  }
  return result;
}

bool UndoJournal::ForgetNewest(XaFile& xa) {
  XaFileStat st;
  if (!OpenFolder(xa, st, true)) return false;
  EntryName name;
  if (!PickEntry(folder_, JournalDirection::Undo, name)) return false;
  // The next older edit takes the file as it is now, so that it can be reached.
  return ::unlink(EntryPath(folder_, name).c_str()) == 0 && SyncFolder(*xa.Io, folder_) &&
         HandOn(xa, folder_, name, true);
}

TakeBack UndoJournal::Apply(XaFile& xa, JournalDirection direction, KeptSettings& settings) {
  Reset();
  JournalDirection done = direction;
  const TakeBack resumed = ResumeInterrupted(xa, settings, done);
  // A retried undo completes the interrupted one and stops there.
  if (resumed == TakeBack::Done && done == direction) {
    KeepInBounds();
    return resumed;
  }
  if (resumed != TakeBack::Done && resumed != TakeBack::Nothing) return resumed;
  XaFileStat st;
  if (!OpenFolder(xa, st, true)) return TakeBack::JournalFailed;
  EntryName name;
  if (!PickEntry(folder_, direction, name)) return TakeBack::Nothing;
  const TakeBack result = TakeBackEntry(xa, name, settings);
  if (result == TakeBack::Done) KeepInBounds();
  return result;
}

}  // namespace sorvane
