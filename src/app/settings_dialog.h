// TForm4, the file settings dialog: the post-gap after every channel, the post-gap at the
// end of the file, and the permission to change the file's size. Its logic is the core's
// (edit/file_settings.h); the dialog copies its controls to and from the core's model of
// them around each event.
#pragma once

#include <QDialog>
#include <cstdint>

#include "app/form_widgets.h"
#include "edit/file_settings.h"

namespace sorvane::app {

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);

  QLabel* Label1;
  QLineEdit* Gap1;
  QLabel* Label2;
  QLineEdit* Gap2;
  QLabel* Label3;
  QComboBox* Modify;
  QPushButton* Button1;
  QPushButton* Button2;
  // Shown under the buttons, with the dialog taller, when the size cannot change.
  QLabel* SizeFixedNote;

  // What the controls hold, in the core's terms.
  SettingsDialogState State;

  // What the dialog shows and edits. They are copied in before the dialog is shown and out
  // after OK; a refused entry leaves what was read in them.
  std::int32_t ChannelPostGap = 0;
  std::int32_t EndPostGap = 0;
  std::int32_t ResizePermission = 0;

  // Shows the dialog modally for `settings`, which it changes only when closed with OK. With
  // `sizeFixed` (an entry of a disc image) the permission stays "禁止": its control is
  // disabled and the reason shown.
  bool Edit(FileSettings& settings, bool sizeFixed = false);

  // The settings in the controls, the channel gap focused.
  void FormShow();
  // Reads the entries; closes with OK unless the core refuses them, in which case the
  // refusal is shown over the dialog, which stays open.
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ReadControls();  // controls to State
  void ShowControls();  // State to controls
  void FixSize(bool fixed);
};

}  // namespace sorvane::app
