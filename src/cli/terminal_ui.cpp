#include "cli/terminal_ui.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>

#include "common/fixed_texts.h"

namespace sorvane::cli {

void TerminalPrompter::NotifyUser(const char* text) { std::fprintf(stderr, "%s\n", text); }

bool TerminalPrompter::Answer(const char* question) {
  std::fprintf(stderr, "%s\n", question);
  bool yes = mode_ == AnswerMode::Yes;
  if (mode_ == AnswerMode::Ask && ::isatty(STDIN_FILENO)) {
    std::fprintf(stderr, "[%s/%s] (ok/cancel): ", text::kOk, text::kCancel);
    std::string line;
    yes = static_cast<bool>(std::getline(std::cin, line)) && (line == "ok" || line == "OK" || line == "y" || line == "yes");
  }
  if (!yes) declined_ = true;
  return yes;
}

bool TerminalPrompter::AskOkCancel(const char* text) { return Answer(text); }

LengthChoice TerminalPrompter::ChooseLength(const char* message, const char* secondChoice) {
  std::fprintf(stderr, "%s\n", message);
  std::fprintf(stderr, "-> %s\n",
               lengthChoice_ == LengthChoice::SecondChoice ? secondChoice : text::kKeepOriginal);
  return lengthChoice_;
}

TerminalProgress::TerminalProgress() : drawBar_(::isatty(STDERR_FILENO)) {}

void TerminalProgress::Start() {
  cancelled_ = false;
  shown_ = -1;
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  sigprocmask(SIG_BLOCK, &interrupt, &previousMask_);
  SetPosition(0);
}

void TerminalProgress::SetPosition(int percent) {
  if (!drawBar_ || percent == shown_) return;
  shown_ = percent;
  const int width = 40;
  const int filled = percent * width / 100;
  std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), percent);
  std::fflush(stderr);
}

bool TerminalProgress::PollCancel() {
  sigset_t pending;
  sigpending(&pending);
  if (sigismember(&pending, SIGINT)) {
    sigset_t interrupt;
    sigemptyset(&interrupt);
    sigaddset(&interrupt, SIGINT);
    const timespec now{0, 0};
    sigtimedwait(&interrupt, nullptr, &now);
    cancelled_ = true;
  }
  return cancelled_;
}

void TerminalProgress::Finish() {
  PollCancel();  // a Ctrl-C during the last step must not kill the program afterwards
  sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
  if (drawBar_ && shown_ >= 0) std::fprintf(stderr, "\r%50s\r", "");
}

void TerminalProgress::Notify(const char* text) {
  notices_.emplace_back(text);
  if (!collect_) std::fprintf(stderr, "%s\n", text);
}

}  // namespace sorvane::cli
