// The undo journal of XA files. Before an edit writes a byte, the original bytes of what it
// overwrites or cuts off are made durable in an entry of the file's journal, so that the
// edit can be taken back byte for byte, even after a crash, a kill or a power loss.
//
// A file's journal is a folder `<root>/<device>-<inode>/` of entries `<number>.undo` and
// `<number>.redo`; the highest number of each kind is the next to be undone or redone.
// Taking an entry back first records what it is about to replace as its inverse, so undo
// and redo are the same operation in opposite directions. Every entry checks itself
// (checksums and lengths) and knows its file again without birth time; an undo or redo a
// crash interrupted is completed, once, before anything else is done to the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/kept_ranges.h"
#include "container/xa_file.h"

namespace sorvane {

namespace journal {
struct EntryName;
struct Record;
}  // namespace journal

// The three file settings as an entry keeps them, so that the editor gets them back.
struct KeptSettings {
  std::int32_t ChannelPostGap = 0;
  std::int32_t EndPostGap = 0;
  std::int32_t ResizePermission = ResizeAsk;
};

// A run of sectors an edit is about to write, one every `Step`, below `End`: the journal
// keeps their bytes in large batches instead of one durable write per sector.
struct WritePlan {
  std::int32_t First = 0;
  std::int32_t Step = 0;  // 0: no plan
  std::int32_t End = 0;
};

enum class JournalDirection { Undo, Redo };

// One line of `undo --list`.
struct JournalListing {
  std::int64_t Time = 0;  // seconds since the epoch, when the edit began
  std::string Command;
  std::int64_t BytesKept = 0;
  bool Unfinished = false;
  bool Damaged = false;      // its checksums or lengths disagree: undo refuses it
  std::uint64_t Number = 0;  // new for every entry written, undo's and redo's alike
};

// What taking an entry back did.
enum class TakeBack {
  Done,
  Nothing,        // no entry of that kind
  Changed,        // the file changed since the entry was closed, or is another file
  Damaged,        // the entry's checksums or lengths disagree; it is kept as it is
  JournalFailed,  // the journal could not be read or written; the file is unchanged
  WriteFailed,    // writing the file failed part-way; the entry stays and can be retried
};

class UndoJournal {
 public:
  // At most this many entries per file, and at most this many bytes in them.
  static constexpr int kMaxEntries = 20;
  static constexpr std::int64_t kMaxBytes = std::int64_t{2} << 30;

  UndoJournal();
  UndoJournal(const UndoJournal&) = delete;
  UndoJournal& operator=(const UndoJournal&) = delete;
  ~UndoJournal();

  // The folder that holds every file's journal; set before the first edit.
  void SetRoot(std::string root) { root_ = std::move(root); }
  const std::string& Root() const { return root_; }

  // Starts the entry of an edit of the open file and makes it durable. False when it could
  // not be written (nothing of the file was written). An undo or redo a crash interrupted is
  // completed and an entry a crash left open is closed first, so that it stays undoable.
  bool Begin(XaFile& xa, const char* command);
  // Tells which sectors the edit is about to write; the journal reserves room for what it
  // will keep of them before the first write.
  void Plan(const WritePlan& plan) {
    plan_ = plan;
    plan_reserved_ = false;
  }
  // Keeps the original bytes of [position, position + size) that are not kept yet; called by
  // every write to the file while an edit is journalled. False when they could not be kept:
  // the write must not happen.
  bool BeforeWrite(XaFile& xa, std::int64_t position, std::int64_t size);
  // Keeps what a cut of the file to `length` bytes takes away.
  bool BeforeCut(XaFile& xa, std::int64_t length);
  // Closes the entry with the file's new identity, after the file is synced; an edit that
  // never got to change the file leaves no entry. False when the file or the journal could
  // not be synced.
  bool End(XaFile& xa);
  bool Active() const { return entry_ >= 0; }
  // True once the current edit may have written or cut anything: End will keep its entry.
  bool Changed() const { return allowed_; }
  // The journal could not keep what the edit was about to write after the edit had already
  // changed the file (during the edit, and after End until the next Begin). The edit stops
  // there; undo puts the file back.
  bool Stopped() const { return stopped_ || (broken_ && allowed_); }

  // True when an edit of the open file was left unfinished by a crash or a kill.
  bool HasUnfinished(const XaFile& xa);
  // Closes an unfinished entry as it stands (after syncing the file), so that it is undone
  // like any other; an entry that no longer fits the file is left as it is.
  bool KeepUnfinished(XaFile& xa);
  // True when an undo or redo of the open file was interrupted (no lock needed).
  bool HasInterrupted(const XaFile& xa);
  // Completes an undo or redo that a crash interrupted, under the file's lock. Done with the
  // settings the file had before it, and in `done` its direction; Nothing when none was.
  TakeBack ResumeInterrupted(XaFile& xa, KeptSettings& settings, JournalDirection& done);
  // Puts back the newest entry of `direction` and records its inverse as the newest entry
  // of the other direction. An interrupted undo or redo is completed first; when it was of
  // `direction`, it is the operation asked and nothing more is done. `settings` receives the
  // file settings the file had before what was taken back.
  TakeBack Apply(XaFile& xa, JournalDirection direction, KeptSettings& settings);
  // Removes every entry that could be redone, as a new edit does.
  void ForgetRedo(const XaFile& xa);
  // Removes the newest entry that could be undone (a damaged one included), so that the
  // older ones can be reached: the next one takes the file as it now is, and its undo puts
  // back what that edit overwrote, leaving what the forgotten one changed elsewhere. False
  // when there was none or it could not be removed.
  bool ForgetNewest(XaFile& xa);

  // The entries of `direction`, newest first. Reads only: removes and moves nothing. With
  // `checkBytes` every byte is checked, as undo will; without, headers and lengths only.
  std::vector<JournalListing> List(const XaFile& xa, JournalDirection direction,
                                   bool checkBytes = true);

  // Bytes of the original file kept by the current edit so far.
  std::int64_t BytesKept() const { return kept_bytes_; }

 private:
  bool Append(XaFile& xa, const std::vector<ByteRange>& ranges, std::int64_t reserve);
  bool Allow(bool kept);
  void Uncovered(std::int64_t begin, std::int64_t end, std::vector<ByteRange>& out) const;
  void AddPlanned(const XaFile& xa, std::int64_t position, std::vector<ByteRange>& out) const;
  std::int64_t PlannedBytes(const XaFile& xa) const;
  void DropRedo();
  bool CreateEntry(XaFile& xa, const XaFileStat& st, const char* command);
  bool OpenFolder(const XaFile& xa, XaFileStat& st, bool settle);
  bool HeldByGoneFile(const XaFileStat& st) const;
  void Reset();
  void KeepInBounds();
  TakeBack Complete(XaFile& xa, const journal::EntryName& name, KeptSettings& settings);
  TakeBack TakeBackEntry(XaFile& xa, const journal::EntryName& name, KeptSettings& settings);

  std::string root_;
  std::string folder_;  // the open file's journal
  int entry_ = -1;      // descriptor of the entry being written
  std::uint64_t number_ = 0;
  std::int64_t original_length_ = 0;
  std::int64_t end_ = 0;       // length of the entry file
  std::int64_t reserved_ = 0;  // the entry has room up to here
  std::int64_t kept_bytes_ = 0;
  bool allowed_ = false;  // a write or cut was let through: the file may have changed
  bool broken_ = false;   // an append failed: the edit may write nothing more
  bool stopped_ = false;
  bool plan_reserved_ = false;
  WritePlan plan_;
  KeptRanges kept_;
  std::vector<journal::Record> records_;  // what the current entry holds, for its digest
};

// The journal's default folder: $SORVANE_UNDO_DIR, else $XDG_STATE_HOME/sorvane/undo, else
// ~/.local/state/sorvane/undo.
std::string DefaultUndoRoot();

}  // namespace sorvane
