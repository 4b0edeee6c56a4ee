// The channel list of the main window: rows from the channel table in the chosen unit, and
// the menus that follow whether a file is open.
#include <QAction>
#include <QMenu>
#include <QTableWidget>

#include "app/channel_grid.h"
#include "app/interleave_map_view.h"
#include "app/main_window.h"
#include "app/ui_text.h"
#include "edit/edit_history.h"
#include "edit/workspace.h"

namespace sorvane::app {

void TForm1::RefreshList() {
  ChannelTable& channels = workspace_.File.AudioChannelTable;
  for (QAction* needsFile :
       {MenuShow->menuAction(), MenuEdit->menuAction(), MenuFind, MenuExportAll})
    needsFile->setEnabled(FileOpen);
  // A file the window cannot change offers no changing item; the status bar says why. Its
  // settings would only be refused: the status bar shows its gaps.
  const bool changes = FileOpen && !workspace_.File.ReadOnly && workspace_.File.Locked;
  for (QAction* changing : {MenuWavI, ChAppend, ChDelete, PopWavI, PopAppend, PopDelete, MenuGap})
    changing->setEnabled(changes);
  if (FileOpen && !changes) RefuseChange();
  NoticeJournal();
  ShowHistoryMenus();
  if (!FileOpen) channels.Count = 0;  // no channel command finds an entry then
  MenuSp1->setChecked(DisplayUnit == UnitTime);
  MenuSpS->setChecked(DisplayUnit == UnitSectors);
  MenuSpH->setChecked(DisplayUnit == UnitHexSectors);

  const int selected = G->currentRow();
  if (channels.Count == 0) {
    G->setRowCount(1);
    FillRow(0, ChannelRow{});
  } else {
    G->setRowCount(channels.Count);
    const QString lengthHeader = QText(ListHeader(DisplayUnit)[kPlayTimeColumn].c_str());
    for (int k = 0; k < channels.Count; ++k) {
      G->horizontalHeaderItem(kPlayTimeColumn)->setText(lengthHeader);
      FillRow(k, FormatChannelRow(channels.Records[k], DisplayUnit));
    }
  }
  // The selection stays on its row, or on the last row when that one is gone.
  const int row = selected < 0 ? 0 : selected < G->rowCount() ? selected : G->rowCount() - 1;
  G->setCurrentCell(row, 1);
  ShowFileState();
  Map->SetFileShown(FileOpen);
  Map->SetUnit(DisplayUnit);
  Map->SetSelectedRecord(SelectedEntry());
  Map->Refresh();
  ShowSelectedWaveform();
}

void TForm1::FillRow(int row, const ChannelRow& cells) {
  for (int column = 0; column < kListColumns; ++column) {
    QTableWidgetItem* item = G->item(row, column);
    if (!item) {
      item = new QTableWidgetItem;
      // The first column is the fixed column: never selected.
      item->setFlags(column == 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      G->setItem(row, column, item);
    }
    item->setText(QText(cells[column].c_str()));
  }
}

void TForm1::SetUnit(int unit) {
  DisplayUnit = unit;
  RefreshList();
}

void TForm1::MenuSp1Click() { SetUnit(UnitTime); }
void TForm1::MenuSpSClick() { SetUnit(UnitSectors); }
void TForm1::MenuSpHClick() { SetUnit(UnitHexSectors); }

}  // namespace sorvane::app
