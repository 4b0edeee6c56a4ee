#include "app/settings_history.h"

namespace sorvane::app {

void SettingsHistory::Changed(const FileSettings& before, const FileSettings& after,
                              JournalDepth depth) {
  done_.push_back({before, after, depth});
  undone_.clear();
}

// A step was made with the journal as deep as it is now: nothing was recorded after it.
bool SettingsHistory::CanUndo(JournalDepth depth) const {
  return !done_.empty() && done_.back().Depth.Undo == depth.Undo;
}

// Taken back with the journal exactly as it is now: it is the newest thing undone, and no
// edit came after it (an edit makes the journal deeper and forgets its redo).
bool SettingsHistory::CanRedo(JournalDepth depth) const {
  return !undone_.empty() && undone_.back().Depth == depth;
}

FileSettings SettingsHistory::Undo(JournalDepth depth) {
  Step step = done_.back();
  done_.pop_back();
  step.Depth = depth;
  undone_.push_back(step);
  return step.Before;
}

FileSettings SettingsHistory::Redo(JournalDepth depth) {
  Step step = undone_.back();
  undone_.pop_back();
  step.Depth = depth;
  done_.push_back(step);
  return step.After;
}

void SettingsHistory::Clear() {
  done_.clear();
  undone_.clear();
}

}  // namespace sorvane::app
