// The questions and notices that core operations put to the person at the screen.
#pragma once

namespace sorvane {

// Answer of the WAV length dialog: cancelled, "keep the channel's length" (the first
// choice, the default) or the second choice whose caption the import supplies.
enum class LengthChoice { Cancel, KeepOriginal, SecondChoice };

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A modal notice with an OK button.
  virtual void NotifyUser(const char* text) = 0;
  // A question with the buttons OK and "キャンセル"; true only for OK.
  virtual bool AskOkCancel(const char* text) = 0;
  // The WAV length dialog: message, and the caption of the second choice.
  virtual LengthChoice ChooseLength(const char* message, const char* secondChoice) = 0;
};

}  // namespace sorvane
