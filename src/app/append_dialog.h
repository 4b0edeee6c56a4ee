// TForm5, the channel append dialog: slot, start position, disc speed, channel number and
// quality of the channel to add, with "検索" for a free place.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sorvane::app {

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);

  QComboBox* TrackSel;
  QLineEdit* StartEdit;
  QComboBox* SpeedSel;
  QLineEdit* ChEdit;
  QComboBox* QualitySel;
  QPushButton* FindButton;
  QPushButton* OKButton;
  QPushButton* CancelButton;

  // Rebuilds TrackSel with one item per slot of the interleave that the chosen quality and
  // speed give, keeping the selected slot modulo the new count.
  void QualitySelChange();
};

}  // namespace sorvane::app
