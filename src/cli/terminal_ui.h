// The command line's side of the prompts and the progress display: questions on the
// terminal or answered by --yes/--no, a progress bar on standard error, Ctrl-C as cancel.
#pragma once

#include <signal.h>

#include <string>
#include <vector>

#include "cli/console.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"

namespace sorvane::cli {

enum class AnswerMode { Ask, Yes, No };

class TerminalPrompter : public Prompter {
 public:
  TerminalPrompter(AnswerMode mode, Console& console) : mode_(mode), io_(console) {}
  void NotifyUser(const char* text) override;
  bool AskOkCancel(const char* text) override;
  // The WAV length choice comes from --fit; asked only when no --fit was given on a terminal.
  LengthChoice ChooseLength(const char* message, const char* secondChoice) override;

  void SetAnswerMode(AnswerMode mode) { mode_ = mode; }
  void SetLengthChoice(LengthChoice choice) { lengthChoice_ = choice; }
  // True once a question was answered "キャンセル".
  bool Declined() const { return declined_; }

 private:
  bool Answer(const char* question);

  AnswerMode mode_;
  Console& io_;
  LengthChoice lengthChoice_ = LengthChoice::KeepOriginal;
  bool declined_ = false;
};

// Draws a bar on standard error when it is a terminal. Ctrl-C is held back while an
// operation runs and reported by PollCancel, so the file keeps what was written so far.
class TerminalProgress : public ProgressMonitor {
 public:
  explicit TerminalProgress(Console& console);
  void Start() override;
  void SetPosition(int percent) override;
  bool PollCancel() override;
  void Finish() override;
  void Notify(const char* text) override;

  bool WasCancelled() const { return cancelled_; }
  const std::vector<std::string>& Notices() const { return notices_; }
  // Notices are collected instead of printed (for --json).
  void CollectNotices() { collect_ = true; }

 private:
  Console& io_;
  bool drawBar_;
  bool cancelled_ = false;
  bool collect_ = false;
  int shown_ = -1;
  sigset_t previousMask_{};
  std::vector<std::string> notices_;
};

}  // namespace sorvane::cli
