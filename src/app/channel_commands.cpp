// The main window's commands on one channel of the list. They are reached from the Edit
// menu, the popup menu and the keys of the list, whatever the state of the Edit menu, so
// each one first makes sure there is something to act on.
//
// The operations behind them (decoding and playback, WAV export, WAV import, channel append
// and delete) are not in the core yet: each handler stops where its operation will be
// called, marked TODO, and does nothing further.
#include <QTableWidget>

#include "app/file_chooser.h"
#include "app/main_window.h"
#include "common/fixed_texts.h"
#include "common/prompter.h"
#include "edit/workspace.h"

namespace sorvane::app {

int TForm1::SelectedEntry() const {
  const int row = G->currentRow();
  return row >= 0 && row < workspace_.File.AudioChannelTable.Count ? row : -1;
}

void TForm1::MenuPlayClick() {
  emit CommandEntered(QStringLiteral("MenuPlayClick"));
  const int entry = SelectedEntry();
  if (entry < 0) return;
  // TODO(playback): SelectDecodeChannel(entry), then PlayChannel with S().Progress and the
  // sound output; on -1 S().Prompt.NotifyUser(LastErrorText). The list is not refreshed.
}

void TForm1::MenuWavOClick() {
  emit CommandEntered(QStringLiteral("MenuWavOClick"));
  const int entry = SelectedEntry();
  if (entry < 0) return;
  const std::string wav = S().Files.Choose(FileDialogKind::SaveWav);
  if (wav.empty()) return;
  // TODO(export): SelectDecodeChannel(entry), then ExportWav(wav) with S().Progress; on -1
  // S().Prompt.NotifyUser(LastErrorText). The list is not refreshed.
}

void TForm1::MenuWavIClick() {
  emit CommandEntered(QStringLiteral("MenuWavIClick"));
  const int entry = SelectedEntry();
  if (entry < 0) return;
  const std::string wav = S().Files.Choose(FileDialogKind::OpenWav);
  if (wav.empty()) return;
  // TODO(import): SelectChannel(entry), then ImportWav(wav) with S().Progress and S().Prompt
  // (its length question shows Form3); on -1 S().Prompt.NotifyUser(LastErrorText). Then,
  // whatever ImportWav returned, AdjustFileSize and RefreshList.
}

void TForm1::ChAppendClick() {
  emit CommandEntered(QStringLiteral("ChAppendClick"));
  if (!FileOpen) return;
  if (workspace_.File.AudioChannelTable.Full()) {
    S().Prompt.NotifyUser(text::kTableFull);
    return;
  }
  const std::string wav = S().Files.Choose(FileDialogKind::OpenWav);
  if (wav.empty()) return;
  // TODO(append): open the WAV and build the proposal (failure: NotifyUser(LastErrorText)),
  // lend it to S().Append and show it modally (FormShow/ShowParams, FindButtonClick and
  // OKButtonClick come with the core's append logic), then stamp the first sector, add the
  // table entry, SelectChannel and ImportWav(wav), NotifyUser on -1, and RefreshList.
}

void TForm1::ChDeleteClick() {
  emit CommandEntered(QStringLiteral("ChDeleteClick"));
  const int entry = SelectedEntry();
  if (entry < 0) return;
  // TODO(delete): the delete of the core on the entry: the question text::kAskDelete through
  // S().Prompt, SelectChannel and EraseChannel with S().Progress, the entry's removal and
  // AdjustFileSize when the erase returned 0; then RefreshList whatever it returned.
}

}  // namespace sorvane::app
