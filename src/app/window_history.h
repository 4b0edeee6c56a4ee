// The order of what was done in the window: the undo journal's entries and the file settings
// changes that did not resize the file (those that did are journal entries). The settings
// steps live here, in memory; a journal entry is a marker that says "the journal's turn".
// The journal's entries are told apart by their numbers, new for every entry written, so
// that an edit is seen even when the journal, full, dropped its oldest entry for it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "edit/file_settings.h"

namespace sorvane::app {

class WindowHistory {
 public:
  // The file was closed: nothing done in the window yet, the journal not seen yet.
  void Forget();
  // The journal after a command, by the number of its newest undo entry (0: none). The
  // first look after Forget sees what was there before; after it, an entry not seen before
  // is a new edit, now the newest step, and it ends what could be redone, as in the journal.
  void Notice(std::uint64_t newestUndo);
  // A settings change that the journal did not record.
  void SettingsChanged(const FileSettings& before, const FileSettings& after);

  // Whether the next undo, or redo, is a settings step; else it is the journal's.
  bool UndoesSettings() const;
  bool RedoesSettings() const;
  // The settings to put back, the step moved to the other side (check *Settings first).
  FileSettings UndoSettings();
  FileSettings RedoSettings();
  // The journal took back, or redid, an entry; `newestUndo` is its newest undo entry now.
  void JournalMoved(bool redo, std::uint64_t newestUndo);

 private:
  struct Step {
    bool Journal;  // the journal's entry, else a settings step
    FileSettings Before;
    FileSettings After;
  };
  std::vector<Step> done_;
  std::vector<Step> undone_;
  std::optional<std::uint64_t> seen_;  // the journal's newest undo entry, as last seen
};

}  // namespace sorvane::app
