#include "cli/terminal_ui.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/fixed_texts.h"

namespace sorvane::cli {

namespace {

// One line typed on the console, without its line end; false at the end of input.
bool ReadLine(std::FILE* in, std::string& line) {
  char* text = nullptr;
  std::size_t size = 0;
  const ssize_t length = ::getline(&text, &size, in);
  if (length >= 0) line.assign(text, static_cast<std::size_t>(length));
  std::free(text);
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return length >= 0;
}

}  // namespace

void TerminalPrompter::NotifyUser(const char* text) { std::fprintf(io_.Err, "%s\n", text); }

bool TerminalPrompter::Answer(const char* question) {
  std::fprintf(io_.Err, "%s\n", question);
  bool yes = mode_ == AnswerMode::Yes;
  if (mode_ == AnswerMode::Ask && io_.InIsTerminal) {
    std::fprintf(io_.Err, "[%s/%s] (ok/cancel): ", text::kOk, text::kCancel);
    std::string line;
    yes = ReadLine(io_.In, line) && (line == "ok" || line == "OK" || line == "y" || line == "yes");
  }
  if (!yes) declined_ = true;
  return yes;
}

bool TerminalPrompter::AskOkCancel(const char* text) { return Answer(text); }

LengthChoice TerminalPrompter::ChooseLength(const char* message, const char* secondChoice) {
  std::fprintf(io_.Err, "%s\n", message);
  std::fprintf(io_.Err, "-> %s\n",
               lengthChoice_ == LengthChoice::SecondChoice ? secondChoice : text::kKeepOriginal);
  return lengthChoice_;
}

TerminalProgress::TerminalProgress(Console& console)
    : io_(console), drawBar_(console.ErrIsTerminal) {}

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
  std::fprintf(io_.Err, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
               std::string(width - filled, ' ').c_str(), percent);
  std::fflush(io_.Err);
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
  if (drawBar_ && shown_ >= 0) std::fprintf(io_.Err, "\r%50s\r", "");
}

void TerminalProgress::Notify(const char* text) {
  notices_.emplace_back(text);
  if (!collect_) std::fprintf(io_.Err, "%s\n", text);
}

}  // namespace sorvane::cli
