// The plan of 編集 > "フォルダから一括入力", shown before anything is written: one row per
// sound and the channel it goes into (both lengths as playing times, whether it is cut or
// padded, the question its import asks), then the sounds left alone. OK imports; Escape or
// "キャンセル" changes nothing.
#pragma once

#include <QDialog>
#include <string>

#include "edit/import_all.h"

class QListWidget;
class QPushButton;
class QTableWidget;

namespace sorvane::app {

class ImportAllDialog : public QDialog {
  Q_OBJECT

 public:
  enum Column {
    TargetColumn = 0,  // the XA file's name, or the image's entry
    ChannelColumn,
    SoundColumn,  // relative to the chosen folder
    SoundLengthColumn,
    ChannelLengthColumn,
    FittingColumn,  // same length, cut, padded; or why the sound or target cannot be read
    QuestionColumn,
    ColumnCount
  };

  ImportAllDialog(QWidget* parent, const ImportAllPlan& plan, const std::string& folder);

  QTableWidget* Plan;
  QListWidget* Unmatched;   // sounds whose name gives no channel of the file
  QListWidget* Duplicates;  // two or more sounds for one channel: none of them is imported
  QPushButton* OkButton;    // enabled when some sound can be imported
  QPushButton* CancelButton;

 private:
  void FillRows(const ImportAllPlan& plan);

  std::string folder_;
};

// Shows the plan over `owner`; true when the person chose OK.
bool ConfirmImportAll(QWidget& owner, const ImportAllPlan& plan, const std::string& folder);

}  // namespace sorvane::app
