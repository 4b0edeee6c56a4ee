// TForm4, the file settings dialog: the post-gap after every channel, the post-gap at the
// end of the file, and the permission to change the file's size.
#pragma once

#include <QDialog>
#include <cstdint>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

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

  // What the dialog shows and edits. The command copies them in before showing the dialog
  // and out after OK; a refused entry leaves what was read in them.
  std::int32_t ChannelPostGap = 0;
  std::int32_t EndPostGap = 0;
  std::int32_t ResizePermission = 0;

  void FormShow();
  // Reads and checks the entries; closes with OK only when they are acceptable.
  void Button1Click();

 protected:
  void showEvent(QShowEvent* event) override;
};

}  // namespace sorvane::app
