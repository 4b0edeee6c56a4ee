// A progress monitor that passes everything on and remembers whether any operation since it
// was made was cancelled: an import's size adjustment starts the progress again after the
// import's own cancel, so the core's CancelWatch would forget it.
#pragma once

#include "common/progress_monitor.h"

namespace sorvane::app {

class CancelSeen : public ProgressMonitor {
 public:
  explicit CancelSeen(ProgressMonitor& inner) : inner_(inner) {}

  void Start() override { inner_.Start(); }
  void SetPosition(int percent) override { inner_.SetPosition(percent); }
  bool PollCancel() override {
    const bool cancel = inner_.PollCancel();
    seen_ = seen_ || cancel;
    return cancel;
  }
  void Finish() override { inner_.Finish(); }
  void Notify(const char* text) override { inner_.Notify(text); }

  bool Seen() const { return seen_; }

 private:
  ProgressMonitor& inner_;
  bool seen_ = false;
};

}  // namespace sorvane::app
