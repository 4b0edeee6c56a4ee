// The questions and notices of the core shown as the editor's message boxes, and the WAV
// length question shown in Form3.
#pragma once

#include "common/prompter.h"

class QWidget;

namespace sorvane::app {

class TForm3;

class QtPrompter : public Prompter {
 public:
  // The boxes are owned by the dialog waiting for its answer, else by the progress window
  // while it is shown, else by the main window.
  QtPrompter(QWidget& mainWindow, QWidget& progressWindow, TForm3& lengthDialog)
      : mainWindow_(mainWindow), progressWindow_(progressWindow), lengthDialog_(lengthDialog) {}

  void NotifyUser(const char* text) override;
  bool AskOkCancel(const char* text) override;
  LengthChoice ChooseLength(const char* message, const char* secondChoice) override;

 private:
  QWidget* Owner() const;

  QWidget& mainWindow_;
  QWidget& progressWindow_;
  TForm3& lengthDialog_;
};

}  // namespace sorvane::app
