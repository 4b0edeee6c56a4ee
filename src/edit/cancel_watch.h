// A progress monitor that passes everything on and remembers whether the operation that
// last started was cancelled, so that a command can tell a cancel from a finish.
#pragma once

#include "common/progress_monitor.h"

namespace sorvane {

class CancelWatch : public ProgressMonitor {
 public:
  explicit CancelWatch(ProgressMonitor& inner) : inner_(inner) {}

  void Start() override {
    cancelled_ = false;
    inner_.Start();
  }
  void SetPosition(int percent) override { inner_.SetPosition(percent); }
  bool PollCancel() override {
    const bool cancel = inner_.PollCancel();
    cancelled_ = cancelled_ || cancel;
    return cancel;
  }
  void Finish() override { inner_.Finish(); }
  void Notify(const char* text) override { inner_.Notify(text); }

  // True when a poll since the last Start answered "cancel".
  bool Cancelled() const { return cancelled_; }

 private:
  ProgressMonitor& inner_;
  bool cancelled_ = false;
};

}  // namespace sorvane
