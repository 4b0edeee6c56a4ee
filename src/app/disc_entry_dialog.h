// The chooser that opening a disc image shows: the image's files that can hold audio, each
// with its playing time and the channels found in its first sectors. A double click, Enter
// or OK opens the chosen one; Escape or "キャンセル" leaves the window as it was.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "edit/disc_listing.h"

class QPushButton;
class QTableWidget;

namespace sorvane::app {

class DiscEntryDialog : public QDialog {
  Q_OBJECT

 public:
  enum Column { PathColumn = 0, LengthColumn = 1, ChannelsColumn = 2 };

  DiscEntryDialog(QWidget* parent, const DiscContents& contents);

  QTableWidget* Files;  // one row per listed file, the first selected
  QPushButton* OkButton;
  QPushButton* CancelButton;

  // The ISO path of the selected row ("/XA/VOICE.XA;1"); empty when there is none.
  std::string ChosenEntry() const;

 private:
  void FillRows(const DiscContents& contents);

  std::vector<std::string> entries_;  // each row's path as the image spells it
};

// Shows the chooser over `owner` for the listed files: the chosen entry, or an empty string
// when the person cancelled.
std::string ChooseDiscEntry(QWidget& owner, const DiscContents& contents);

}  // namespace sorvane::app
