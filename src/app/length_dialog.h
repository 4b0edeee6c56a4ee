// TForm3, the WAV length dialog of the import: keep the channel's length ("元データに合わせる")
// or take the second choice that the import names. Its model is the prompter's LengthChoice:
// the choices show it and set it, OK answers it.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "app/form_widgets.h"
#include "common/prompter.h"

namespace sorvane {
struct ChannelRecord;
}

namespace sorvane::app {

// The playing time of a channel as the list writes it ("0:06.02").
QString ListedPlayingTime(const ChannelRecord& record);
// The line the window adds after the dialog's text: what each choice keeps ("WAVデータ
// 1:10.02 / 現在のチャンネル 0:06.02"); empty when the WAV cannot be read (the import says why).
QString BothLengths(const std::string& wav, const ChannelRecord& record);

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
