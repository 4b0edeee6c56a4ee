// TForm3, the WAV length dialog of the import: keep the channel's length ("元データに合わせる")
// or take the second choice that the import names. Its model is the prompter's LengthChoice:
// the choices show it and set it, OK answers it.
#pragma once

#include <QDialog>

#include "app/form_widgets.h"
#include "common/prompter.h"

namespace sorvane::app {

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  QLabel* Msg;
  QRadioButton* Sel1;
  QRadioButton* Sel2;
  QPushButton* Button1;
  QPushButton* Button2;

  // The choice the controls show; each showing starts with the first.
  LengthChoice Choice = LengthChoice::KeepOriginal;

  // Shows the dialog modally with the message and the second choice's caption: Choice
  // after OK, Cancel otherwise.
  LengthChoice Choose(const char* message, const char* secondChoice);

  void FormShow();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ShowControls();  // Choice to the choices
  void FitMessage();    // room for every line of the message
};

}  // namespace sorvane::app
