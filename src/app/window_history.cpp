#include "app/window_history.h"

namespace sorvane::app {

void WindowHistory::Forget() {
  done_.clear();
  undone_.clear();
  seen_.reset();
}

void WindowHistory::Notice(std::uint64_t newestUndo) {
  if (seen_ == newestUndo) return;
  const bool first = !seen_;
  seen_ = newestUndo;
  if (first) return;
  done_.push_back({true, {}, {}});
  undone_.clear();
}

void WindowHistory::SettingsChanged(const FileSettings& before, const FileSettings& after) {
  done_.push_back({false, before, after});
  undone_.clear();
}

bool WindowHistory::UndoesSettings() const { return !done_.empty() && !done_.back().Journal; }

bool WindowHistory::RedoesSettings() const { return !undone_.empty() && !undone_.back().Journal; }

FileSettings WindowHistory::UndoSettings() {
  undone_.push_back(done_.back());
  done_.pop_back();
  return undone_.back().Before;
}

FileSettings WindowHistory::RedoSettings() {
  done_.push_back(undone_.back());
  undone_.pop_back();
  return done_.back().After;
}

// An entry made before the file was opened here has no marker: its place is before
// everything done in the window, and from now on it has one.
void WindowHistory::JournalMoved(bool redo, std::uint64_t newestUndo) {
  std::vector<Step>& from = redo ? undone_ : done_;
  std::vector<Step>& to = redo ? done_ : undone_;
  if (!from.empty() && from.back().Journal) from.pop_back();
  to.push_back({true, {}, {}});
  seen_ = newestUndo;
}

}  // namespace sorvane::app
