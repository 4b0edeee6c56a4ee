#include "container/undo_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "container/journal_entry.h"
#include "format/little_endian.h"

namespace sorvane {
using namespace journal;

UndoJournal::~UndoJournal() { Reset(); }

void UndoJournal::Reset() {
  if (entry_ >= 0) ::close(entry_);
  entry_ = -1;
  kept_.Clear();
  plan_ = {};
  kept_bytes_ = 0;
  changed_ = false;
  broken_ = false;
}

bool UndoJournal::Begin(XaFile& xa, const char* command) {
  Reset();
  XaFileStat st;
  if (root_.empty() || !StatXaFile(xa, st) || !MakeFolders(FolderOf(root_, st))) return false;
  if (!ResumeInterrupted(xa) || !KeepUnfinished(xa) || !OpenFolder(xa, st)) return false;
  const std::vector<EntryName> entries = ListFolder(folder_);
  number_ = NextNumber(entries);
  const std::string path = EntryPath(folder_, {number_, JournalDirection::Undo, false});
  entry_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (entry_ < 0) return false;
  EntryHeader h;
  h.Time = static_cast<std::int64_t>(std::time(nullptr));
  std::snprintf(h.Command, sizeof h.Command, "%s", command);
  h.OriginalLength = original_length_ = st.Length;
  h.Before = h.After = SettingsOf(xa);
  h.BornNs = st.BornNs;
  end_ = kHeaderBytes;
  if (WriteHeader(*xa.Io, entry_, h) && SyncFolder(*xa.Io, folder_)) return true;
  Reset();
  ::unlink(path.c_str());
  return false;
}

void UndoJournal::NoteChange() {
  if (changed_) return;
  changed_ = true;
  DropRedo();  // a new edit ends what could be redone
}

void UndoJournal::DropRedo() {
  for (const EntryName& e : ListFolder(folder_)) {
    if (e.Direction == JournalDirection::Redo) ::unlink(EntryPath(folder_, e).c_str());
  }
}

void UndoJournal::ForgetRedo(const XaFile& xa) {
  XaFileStat st;
  if (OpenFolder(xa, st)) DropRedo();
}

void UndoJournal::Uncovered(std::int64_t begin, std::int64_t end,
                            std::vector<ByteRange>& out) const {
  kept_.Missing(begin, std::min(end, original_length_), out);
}

void UndoJournal::AddPlanned(const XaFile& xa, std::int64_t position,
                             std::vector<ByteRange>& out) const {
  if (plan_.Step <= 0) return;
  const std::int64_t offset = position - xa.SectorPosition(plan_.First);
  if (offset < 0 || offset % xa.Stride() != 0 || offset / xa.Stride() % plan_.Step != 0) return;
  std::int64_t bytes = 0;
  for (std::int64_t sector = plan_.First + offset / xa.Stride();
       sector < plan_.End && bytes < kBatchBytes; sector += plan_.Step) {
    const std::int64_t at = xa.SectorPosition(static_cast<std::int32_t>(sector));
    if (at >= original_length_) break;
    const std::size_t before = out.size();
    Uncovered(at, at + kSectorBytes, out);
    for (std::size_t k = before; k < out.size(); ++k) bytes += out[k].End - out[k].Begin;
  }
}

bool UndoJournal::Append(XaFile& xa, const std::vector<ByteRange>& ranges) {
  std::int64_t end = end_;
  std::int64_t kept = kept_bytes_;
  // After a failure nothing more is appended, so that what a failed append left at the end
  // is never followed by records: a whole record there holds bytes that were never
  // overwritten, a partial one is not read back.
  broken_ = broken_ || !AppendRanges(xa, entry_, end, ranges, kept) || xa.Io->Sync(entry_) != 0;
  if (broken_) return false;
  end_ = end;
  kept_bytes_ = kept;
  for (const ByteRange& r : ranges) kept_.Add(r.Begin, r.End);
  return true;
}

bool UndoJournal::BeforeWrite(XaFile& xa, std::int64_t position, std::int64_t size) {
  if (entry_ < 0) return false;
  NoteChange();
  std::vector<ByteRange> missing;
  Uncovered(position, position + size, missing);
  if (missing.empty()) return true;
  // A planned sector brings the next ones of the plan along, whole, in one durable write.
  std::vector<ByteRange> planned;
  AddPlanned(xa, position, planned);
  if (!planned.empty() && size <= kSectorBytes) missing.swap(planned);
  return Append(xa, missing);
}

bool UndoJournal::BeforeCut(XaFile& xa, std::int64_t length) {
  if (entry_ < 0) return false;
  NoteChange();
  for (std::int64_t at = std::max<std::int64_t>(length, 0); at < original_length_;
       at += kBatchBytes) {
    std::vector<ByteRange> missing;
    Uncovered(at, std::min(at + kBatchBytes, original_length_), missing);
    if (!missing.empty() && !Append(xa, missing)) return false;
  }
  return true;
}

bool UndoJournal::End(XaFile& xa) {
  if (entry_ < 0) return true;
  const std::string path = EntryPath(folder_, {number_, JournalDirection::Undo, false});
  XaFileStat st;
  EntryHeader h;
  bool ended = xa.Io->Sync(entry_) == 0 && ReadHeader(entry_, h);
  if (ended && !changed_) {
    Reset();
    ::unlink(path.c_str());
    return true;
  }
  // The file's own writes are made durable before the entry says the edit is complete.
  ended = ended && SyncXaFile(xa) == 0 && StatXaFile(xa, st);
  if (ended) {
    h.State = EntryState::Closed;
    h.AfterLength = st.Length;
    h.AfterModifiedNs = st.ModifiedNs;
    h.After = SettingsOf(xa);
    h.BytesKept = kept_bytes_;
    ended = WriteHeader(*xa.Io, entry_, h);
  }
  Reset();
  if (ended) Trim(folder_);
  return ended;
}

bool UndoJournal::OpenFolder(const XaFile& xa, XaFileStat& st) {
  if (root_.empty() || !StatXaFile(xa, st)) return false;
  folder_ = FolderOf(root_, st);
  DropForeignEntries(folder_, st);
  return true;
}

bool UndoJournal::HasUnfinished(const XaFile& xa) {
  XaFileStat st;
  if (!OpenFolder(xa, st)) return false;
  for (const EntryName& e : ListFolder(folder_)) {
    EntryHeader h;
    if (!e.Partial && e.Direction == JournalDirection::Undo &&
        ReadHeaderAt(EntryPath(folder_, e), h) && h.State == EntryState::Open)
      return true;
  }
  return false;
}

bool UndoJournal::KeepUnfinished(XaFile& xa) {
  XaFileStat st;
  if (!OpenFolder(xa, st)) return false;
  for (const EntryName& e : ListFolder(folder_)) {
    if (e.Partial || e.Direction != JournalDirection::Undo) continue;
    const int fd = ::open(EntryPath(folder_, e).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    EntryHeader h;
    bool kept = true;
    if (ReadHeader(fd, h) && h.State == EntryState::Open) {
      h.State = EntryState::Closed;
      h.AfterLength = st.Length;
      h.AfterModifiedNs = st.ModifiedNs;
      for (const Record& r : ReadRecords(fd)) h.BytesKept += r.Bytes();
      kept = WriteHeader(*xa.Io, fd, h);
    }
    ::close(fd);
    if (!kept) return false;
  }
  return true;
}

std::vector<JournalListing> UndoJournal::List(const XaFile& xa, JournalDirection direction) {
  std::vector<JournalListing> listing;
  XaFileStat st;
  if (!OpenFolder(xa, st)) return listing;
  const std::vector<EntryName> entries = ListFolder(folder_);
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    if (e->Partial || e->Direction != direction) continue;
    const int fd = ::open(EntryPath(folder_, *e).c_str(), O_RDONLY | O_CLOEXEC);
    EntryHeader h;
    if (fd >= 0 && ReadHeader(fd, h)) {
      JournalListing line{h.Time, h.Command, h.BytesKept, h.State == EntryState::Open};
      if (line.Unfinished) {
        for (const Record& r : ReadRecords(fd)) line.BytesKept += r.Bytes();
      }
      listing.push_back(line);
    }
    if (fd >= 0) ::close(fd);
  }
  return listing;
}

std::string DefaultUndoRoot() {
  if (const char* dir = std::getenv("SORVANE_UNDO_DIR"); dir != nullptr && *dir != '\0') return dir;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/')
    return std::string(state) + "/sorvane/undo";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/state/sorvane/undo";
}

}  // namespace sorvane
