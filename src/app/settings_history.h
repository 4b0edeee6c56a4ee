// The editor's own history of the file settings changes that did not resize the file (those
// that did are entries of the undo journal): kept in memory, and put in order with the
// journal's entries by the number of entries the journal had when each step was made.
#pragma once

#include <cstddef>
#include <vector>

#include "edit/file_settings.h"

namespace sorvane::app {

// How many entries the journal can undo and redo now.
struct JournalDepth {
  std::size_t Undo = 0;
  std::size_t Redo = 0;
  bool operator==(const JournalDepth&) const = default;
};

class SettingsHistory {
 public:
  // A change made now, with the journal at `depth`; it forgets what could be redone.
  void Changed(const FileSettings& before, const FileSettings& after, JournalDepth depth);
  // True when the newest thing done, or undone, is a settings step.
  bool CanUndo(JournalDepth depth) const;
  bool CanRedo(JournalDepth depth) const;
  // The settings to put back, and the step moved to the other side (check Can* first).
  FileSettings Undo(JournalDepth depth);
  FileSettings Redo(JournalDepth depth);
  void Clear();

 private:
  struct Step {
    FileSettings Before;
    FileSettings After;
    JournalDepth Depth;  // the journal when the step was made or taken back
  };
  std::vector<Step> done_;
  std::vector<Step> undone_;
};

}  // namespace sorvane::app
