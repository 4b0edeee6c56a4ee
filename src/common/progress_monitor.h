// How a long operation shows its progress and learns that the user wants it stopped.
#pragma once

namespace sorvane {

class ProgressMonitor {
 public:
  virtual ~ProgressMonitor() = default;
  // Clears the cancel request, shows position 0 and makes the rest of the UI unavailable.
  virtual void Start() = 0;
  // percent: 0 to 100.
  virtual void SetPosition(int percent) = 0;
  // Lets pending user-interface events run; true once cancel was requested since Start.
  virtual bool PollCancel() = 0;
  // Makes the UI available again and removes the progress display.
  virtual void Finish() = 0;
  // Shows a notice and returns when the user has acknowledged it; valid outside Start/Finish.
  virtual void Notify(const char* text) = 0;
};

// A monitor that shows nothing and never cancels.
class SilentProgress : public ProgressMonitor {
 public:
  void Start() override {}
  void SetPosition(int) override {}
  bool PollCancel() override { return false; }
  void Finish() override {}
  void Notify(const char*) override {}
};

// (current - first) * 100 / (end - first), or 0 when the span is empty.
inline int ProgressPercent(long long current, long long first, long long end) {
  if (end == first) return 0;
  return static_cast<int>((current - first) * 100 / (end - first));
}

}  // namespace sorvane
