// The undo journal of XA files. Before an edit writes a byte, the original bytes of what it
// overwrites or cuts off are made durable in an entry of the file's journal, so that the
// edit can be taken back byte for byte, even after a crash, a kill or a power loss.
//
// A file's journal is a folder `<root>/<device>-<inode>/` of entries `<number>.undo` and
// `<number>.redo`; the highest number of each kind is the next to be undone or redone.
// Taking an entry back first records what it is about to replace as its inverse, so undo
// and redo are the same operation in opposite directions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "container/kept_ranges.h"
#include "container/xa_file.h"

namespace sorvane {

namespace journal {
struct EntryName;
}

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
};

// What taking an entry back did.
enum class TakeBack {
  Done,
  Nothing,        // no entry of that kind
  Changed,        // the file changed since the entry was closed
  JournalFailed,  // the journal could not be read or written; the file is unchanged
  WriteFailed,    // writing the file failed part-way; the entry stays and can be retried
};

class UndoJournal {
 public:
  // At most this many entries per file, and at most this many bytes in them.
  static constexpr int kMaxEntries = 20;
  static constexpr std::int64_t kMaxBytes = std::int64_t{2} << 30;

  UndoJournal() = default;
  UndoJournal(const UndoJournal&) = delete;
  UndoJournal& operator=(const UndoJournal&) = delete;
  ~UndoJournal();

  // The folder that holds every file's journal; set before the first edit.
  void SetRoot(std::string root) { root_ = std::move(root); }
  const std::string& Root() const { return root_; }

  // Starts the entry of an edit of the open file and makes it durable. False when it could
  // not be written (nothing of the file was written). An entry a crash left open is closed
  // first, so that it stays undoable.
  bool Begin(XaFile& xa, const char* command);
  // Tells which sectors the edit is about to write; a hint for batching, never required.
  void Plan(const WritePlan& plan) { plan_ = plan; }
  // Keeps the original bytes of [position, position + size) that are not kept yet; called by
  // every write to the file while an edit is journalled. False when they could not be kept.
  bool BeforeWrite(XaFile& xa, std::int64_t position, std::int64_t size);
  // Keeps what a cut of the file to `length` bytes takes away.
  bool BeforeCut(XaFile& xa, std::int64_t length);
  // Closes the entry with the file's new length and time; an edit that changed nothing
  // leaves no entry. False when the file or the journal could not be synced.
  bool End(XaFile& xa);
  bool Active() const { return entry_ >= 0; }
  // True once the current edit has written or cut anything: End will keep its entry.
  bool Changed() const { return changed_; }

  // True when an edit of the open file was left unfinished by a crash or a kill.
  bool HasUnfinished(const XaFile& xa);
  // Closes an unfinished entry as it stands, so that it is undone like any other.
  bool KeepUnfinished(XaFile& xa);
  // Completes an undo or redo that a crash interrupted; false when it could not.
  bool ResumeInterrupted(XaFile& xa);
  // Puts back the newest entry of `direction` (an unfinished one first) and records its
  // inverse as the newest entry of the other direction. `settings` receives the file
  // settings the file had before what was taken back.
  TakeBack Apply(XaFile& xa, JournalDirection direction, KeptSettings& settings);
  // Removes every entry that could be redone, as a new edit does.
  void ForgetRedo(const XaFile& xa);

  // The entries of `direction`, newest first.
  std::vector<JournalListing> List(const XaFile& xa, JournalDirection direction);

  // Bytes of the original file kept by the current edit so far.
  std::int64_t BytesKept() const { return kept_bytes_; }

 private:
  bool Append(XaFile& xa, const std::vector<ByteRange>& ranges);
  void Uncovered(std::int64_t begin, std::int64_t end, std::vector<ByteRange>& out) const;
  void AddPlanned(const XaFile& xa, std::int64_t position, std::vector<ByteRange>& out) const;
  void NoteChange();
  void DropRedo();
  bool OpenFolder(const XaFile& xa, XaFileStat& st);
  void Reset();
  TakeBack Complete(XaFile& xa, const journal::EntryName& name, KeptSettings& settings);

  std::string root_;
  std::string folder_;  // the open file's journal
  int entry_ = -1;      // descriptor of the entry being written
  std::uint64_t number_ = 0;
  std::int64_t original_length_ = 0;
  std::int64_t end_ = 0;  // length of the entry file
  std::int64_t kept_bytes_ = 0;
  bool changed_ = false;
  bool broken_ = false;  // an append failed: the edit may write nothing more
  WritePlan plan_;
  KeptRanges kept_;
};

// The journal's default folder: $SORVANE_UNDO_DIR, else $XDG_STATE_HOME/sorvane/undo, else
// ~/.local/state/sorvane/undo.
std::string DefaultUndoRoot();

}  // namespace sorvane
