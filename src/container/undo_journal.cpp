#include "container/undo_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "container/journal_digest.h"
#include "container/journal_entry.h"
#include "container/journal_folders.h"
#include "format/little_endian.h"

namespace sorvane {
using namespace journal;

UndoJournal::UndoJournal() = default;

UndoJournal::~UndoJournal() { Reset(); }

void UndoJournal::Reset() {
  if (entry_ >= 0) ::close(entry_);
  entry_ = -1;
  kept_.Clear();
  records_.clear();
  plan_ = {};
  plan_reserved_ = false;
  kept_bytes_ = 0;
  reserved_ = 0;
  allowed_ = false;
  broken_ = false;
}

bool UndoJournal::OpenFolder(const XaFile& xa, XaFileStat& st, bool settle) {
  if (root_.empty() || !StatXaFile(xa, st)) return false;
  folder_ = FindFolder(root_, xa, st, settle);
  return true;
}

bool UndoJournal::Begin(XaFile& xa, const char* command) {
  Reset();
  stopped_ = false;
  XaFileStat st;
  if (!OpenFolder(xa, st, true) || !PrepareFolder(root_, folder_, xa, st, *xa.Io)) return false;
  KeptSettings settings;
  JournalDirection done;
  const TakeBack resumed = ResumeInterrupted(xa, settings, done);
  if (resumed != TakeBack::Done && resumed != TakeBack::Nothing) return false;
  if (!KeepUnfinished(xa) || !OpenFolder(xa, st, true)) return false;
  if (HeldByGoneFile(st)) SetFolderAside(folder_);
  return PrepareFolder(root_, folder_, xa, st, *xa.Io) && CreateEntry(xa, st, command);
}

// Whether the folder's newest entry was made for a file whose inode this one has taken
// over: its generation or birth time differs where the file system keeps one.
bool UndoJournal::HeldByGoneFile(const XaFileStat& st) const {
  const std::vector<EntryName> entries = ListFolder(folder_);
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    EntryHeader h;
    if (e->Partial || CheckHeaderAt(EntryPath(folder_, *e), h) != EntryCheck::Whole) continue;
    return CompareUnfinished(h.Before, IdentityOf(st)) == Verdict::Foreign;
  }
  return false;
}

// The entry is written under a partial name and takes its own only once it is durable, so
// that a crash never leaves an entry without a whole header.
bool UndoJournal::CreateEntry(XaFile& xa, const XaFileStat& st, const char* command) {
  number_ = NextNumber(ListFolder(folder_));
  const EntryName name{number_, JournalDirection::Undo, false};
  const std::string partial = EntryPath(folder_, {number_, JournalDirection::Undo, true});
  entry_ = ::open(partial.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (entry_ < 0) return false;
  EntryHeader h;
  h.Time = static_cast<std::int64_t>(std::time(nullptr));
  std::snprintf(h.Command, sizeof h.Command, "%s", command);
  h.OriginalLength = original_length_ = st.Length;
  h.Before = IdentityOf(st);
  h.SettingsBefore = h.SettingsAfter = SettingsOf(xa);
  h.Path = xa.Path;
  end_ = reserved_ = h.DurableEnd = h.RecordsStart();
  if (SampleDigest(xa, -1, st.Length, {}, h.SampleDigest) &&
      WriteHeader(*xa.Io, entry_, h, true, true) &&
      xa.Io->Rename(partial.c_str(), EntryPath(folder_, name).c_str()) == 0 &&
      SyncFolder(*xa.Io, folder_))
    return true;
  Reset();
  ::unlink(partial.c_str());
  ::unlink(EntryPath(folder_, name).c_str());
  return false;
}

// The first change of the file ends what could be redone; a refused one leaves it.
bool UndoJournal::Allow(bool kept) {
  if (kept && !allowed_) DropRedo();
  allowed_ = allowed_ || kept;
  return kept;
}

void UndoJournal::DropRedo() {
  for (const EntryName& e : ListFolder(folder_)) {
    if (e.Direction == JournalDirection::Redo) ::unlink(EntryPath(folder_, e).c_str());
  }
}

void UndoJournal::ForgetRedo(const XaFile& xa) {
  XaFileStat st;
  if (OpenFolder(xa, st, true)) DropRedo();
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

// What the plan will keep from the first planned sector on, with room for record heads.
std::int64_t UndoJournal::PlannedBytes(const XaFile& xa) const {
  std::int64_t sectors = 0;
  for (std::int64_t sector = plan_.First; sector < plan_.End; sector += plan_.Step) {
    if (xa.SectorPosition(static_cast<std::int32_t>(sector)) >= original_length_) break;
    ++sectors;
  }
  const std::int64_t bytes = sectors * kSectorBytes;
  return bytes + (bytes / kBatchBytes + 2) * kRecordHead;
}

bool UndoJournal::Append(XaFile& xa, const std::vector<ByteRange>& ranges, std::int64_t reserve) {
  if (broken_) return false;
  std::int64_t bytes = 0;
  for (const ByteRange& r : ranges) bytes += r.End - r.Begin + kRecordHead;
  // Room first: a full disk refuses here, before the file is written.
  const std::int64_t room = end_ + std::max(bytes, reserve);
  if (room > reserved_ && xa.Io->Reserve(entry_, reserved_, room - reserved_) != 0) {
    broken_ = true;
    return false;
  }
  reserved_ = std::max(reserved_, room);
  std::int64_t end = end_;
  std::int64_t kept = kept_bytes_;
  const std::size_t records = records_.size();
  // After a failure nothing more is appended, so that what a failed append left at the end
  // is never followed by records: it is a tear, cut off when the entry is closed.
  broken_ = !AppendRanges(xa, entry_, end, ranges, kept, records_) || xa.Io->Sync(entry_) != 0;
  if (broken_) {
    records_.resize(records);
    return false;
  }
  // What is durable now; written without a sync of its own, the next append's makes it so.
  EntryHeader h;
  broken_ = CheckHeader(entry_, h) != EntryCheck::Whole;
  h.DurableEnd = end;
  h.BytesKept = kept;
  broken_ = broken_ || !WriteHeader(*xa.Io, entry_, h, false);
  if (broken_) {
    records_.resize(records);
    return false;
  }
  end_ = end;
  kept_bytes_ = kept;
  for (const ByteRange& r : ranges) kept_.Add(r.Begin, r.End);
  return true;
}

bool UndoJournal::BeforeWrite(XaFile& xa, std::int64_t position, std::int64_t size) {
  if (entry_ < 0 || broken_) return false;
  std::vector<ByteRange> missing;
  Uncovered(position, position + size, missing);
  if (missing.empty()) return Allow(true);
  // A planned sector brings the next ones of the plan along, whole, in one durable write.
  std::vector<ByteRange> planned;
  AddPlanned(xa, position, planned);
  if (!planned.empty() && size <= kSectorBytes) missing.swap(planned);
  const std::int64_t reserve = plan_.Step > 0 && !plan_reserved_ ? PlannedBytes(xa) : 0;
  const bool kept = Append(xa, missing, reserve);
  plan_reserved_ = plan_reserved_ || (kept && reserve > 0);
  return Allow(kept);
}

bool UndoJournal::BeforeCut(XaFile& xa, std::int64_t length) {
  if (entry_ < 0 || broken_) return false;
  const std::int64_t from = std::max<std::int64_t>(length, 0);
  // Room for all the cut takes away before any of it is kept.
  std::int64_t reserve = from < original_length_
                             ? original_length_ - from + kBatchBytes / kSectorBytes * kRecordHead
                             : 0;
  for (std::int64_t at = from; at < original_length_; at += kBatchBytes) {
    std::vector<ByteRange> missing;
    Uncovered(at, std::min(at + kBatchBytes, original_length_), missing);
    if (missing.empty()) continue;
    if (!Append(xa, missing, reserve)) return Allow(false);
    reserve = 0;
  }
  return Allow(true);
}

bool UndoJournal::End(XaFile& xa) {
  if (entry_ < 0) return true;
  const std::string path = EntryPath(folder_, {number_, JournalDirection::Undo, false});
  stopped_ = broken_ && allowed_;
  if (!allowed_) {
    // The edit never got to change the file: no entry, and the redo history stays.
    Reset();
    ::unlink(path.c_str());
    return true;
  }
  const KeptSettings settings = SettingsOf(xa);
  const bool ended = CloseEntry(xa, entry_, end_, records_, &settings);
  Reset();
  if (ended) KeepInBounds();
  return ended;
}

void UndoJournal::KeepInBounds() {
  Trim(folder_);
  CapJournal(root_, folder_, JournalLimit());
  RemoveGoneFolders(root_, static_cast<std::int64_t>(std::time(nullptr)));
}

bool UndoJournal::HasUnfinished(const XaFile& xa) {
  XaFileStat st;
  if (!OpenFolder(xa, st, false)) return false;
  for (const EntryName& e : ListFolder(folder_)) {
    EntryHeader h;
    if (!e.Partial && CheckHeaderAt(EntryPath(folder_, e), h) == EntryCheck::Whole &&
        h.State == EntryState::Open)
      return true;
  }
  return false;
}

bool UndoJournal::HasInterrupted(const XaFile& xa) {
  XaFileStat st;
  if (!OpenFolder(xa, st, false)) return false;
  for (const EntryName& e : ListFolder(folder_)) {
    EntryHeader h;
    if (!e.Partial && CheckHeaderAt(EntryPath(folder_, e), h) == EntryCheck::Whole &&
        h.State == EntryState::Applying)
      return true;
  }
  return false;
}

bool UndoJournal::KeepUnfinished(XaFile& xa) {
  XaFileStat st;
  if (!OpenFolder(xa, st, true)) return false;
  for (const EntryName& e : ListFolder(folder_)) {
    if (e.Partial) continue;
    OpenEntry entry(EntryPath(folder_, e));
    // A damaged entry is kept as it is, for undo to refuse and --forget to remove.
    if (entry.Check() != EntryCheck::Whole || entry.Header.State != EntryState::Open) continue;
    const Verdict fit = FitUnfinished(xa, entry.Fd, entry.Header, entry.Records, st);
    if (fit == Verdict::Foreign) {
      // The file it was made for is gone, and its inode holds this one now.
      SetFolderAside(folder_);
      return OpenFolder(xa, st, true) && PrepareFolder(root_, folder_, xa, st, *xa.Io);
    }
    if (fit != Verdict::Same) continue;  // left open: undo refuses it as changed
    if (!CloseEntry(xa, entry.Fd, entry.Content, entry.Records, nullptr)) return false;
  }
  return true;
}

std::vector<JournalListing> UndoJournal::List(const XaFile& xa, JournalDirection direction,
                                              bool checkBytes) {
  std::vector<JournalListing> listing;
  XaFileStat st;
  if (!OpenFolder(xa, st, false)) return listing;
  const std::vector<EntryName> entries = ListFolder(folder_);
  for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
    if (e->Partial || e->Direction != direction) continue;
    OpenEntry entry(EntryPath(folder_, *e), false);
    const EntryCheck check = entry.Check(checkBytes);
    if (check == EntryCheck::Unreadable) continue;
    const EntryHeader& h = entry.Header;
    JournalListing line{
        h.Time,   h.Command, h.BytesKept, h.State == EntryState::Open, check == EntryCheck::Damaged,
        e->Number};
    if (line.Unfinished) {
      line.BytesKept = 0;
      for (const Record& r : entry.Records) line.BytesKept += r.Bytes();
    }
    listing.push_back(line);
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
