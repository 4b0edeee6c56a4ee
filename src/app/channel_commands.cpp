// The main window's commands on one channel of the list. They are reached from the Edit
// menu, the popup menu and the keys of the list, whatever the state of the Edit menu, so
// each one first makes sure there is something to act on. The work is the core's; the
// commands choose the files, show the dialogs and messages, and refresh the list.
#include <QTableWidget>

#include "app/append_dialog.h"
#include "app/file_chooser.h"
#include "app/main_window.h"
#include "codec/playback.h"
#include "codec/wav_export.h"
#include "common/prompter.h"
#include "container/file_size.h"
#include "edit/channel_append.h"
#include "edit/channel_delete.h"
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
  XaFile& xa = workspace_.File;
  SelectDecodeChannel(workspace_.Decoding, xa.AudioChannelTable.Records[entry]);
  // A cancel stops the sound without a message. The list is not refreshed.
  if (PlayChannel(xa, workspace_.Decoding, workspace_.Decoder, S().Audio, S().Progress) == -1)
    S().Prompt.NotifyUser(xa.LastErrorText);
}

void TForm1::MenuWavOClick() {
  emit CommandEntered(QStringLiteral("MenuWavOClick"));
  const int entry = SelectedEntry();
  if (entry < 0) return;
  const std::string wav = S().Files.Choose(FileDialogKind::SaveWav);
  if (wav.empty()) return;
  XaFile& xa = workspace_.File;
  SelectDecodeChannel(workspace_.Decoding, xa.AudioChannelTable.Records[entry]);
  // A cancel is reported too ("キャンセルしました。"). The list is not refreshed.
  if (ExportWav(xa, workspace_.Decoding, workspace_.Decoder, S().Progress, wav) != 0)
    S().Prompt.NotifyUser(xa.LastErrorText);
}

void TForm1::MenuWavIClick() {
  emit CommandEntered(QStringLiteral("MenuWavIClick"));
  const int entry = SelectedEntry();
  if (entry < 0) return;
  const std::string wav = S().Files.Choose(FileDialogKind::OpenWav);
  if (wav.empty()) return;
  XaFile& xa = workspace_.File;
  SelectChannel(workspace_.Import.Cursor, xa.AudioChannelTable.Records[entry]);
  if (ImportWav(xa, workspace_.Import, wav, S().Progress, S().Prompt) != 0)
    S().Prompt.NotifyUser(xa.LastErrorText);
  // Whatever the import did, even after a cancel of Form3.
  AdjustFileSize(xa, S().Prompt);
  RefreshList();
}

void TForm1::ChAppendClick() {
  emit CommandEntered(QStringLiteral("ChAppendClick"));
  if (!FileOpen) return;
  XaFile& xa = workspace_.File;
  if (const char* refusal = RefuseAppend(xa)) {
    S().Prompt.NotifyUser(refusal);
    return;
  }
  const std::string wav = S().Files.Choose(FileDialogKind::OpenWav);
  if (wav.empty()) return;
  // The dialog reads the WAV's length at the quality chosen; the import opens it again.
  WavReader wave;
  if (wave.Open(wav) != 0) {
    xa.LastErrorText = wave.LastErrorText;
    S().Prompt.NotifyUser(xa.LastErrorText);
    return;
  }
  ChannelRecord record = ProposeNewChannel(xa, wave);
  const bool accepted = S().Append.Edit(xa, wave, record, S().Prompt);
  wave.Close();
  if (!accepted) return;
  const AppendResult result =
      AppendChannel(xa, workspace_.Import, record, wav, S().Progress, S().Prompt);
  if (result != AppendResult::Done) S().Prompt.NotifyUser(xa.LastErrorText);
  RefreshList();
}

void TForm1::ChDeleteClick() {
  emit CommandEntered(QStringLiteral("ChDeleteClick"));
  const int entry = SelectedEntry();
  if (entry < 0) return;
  // The core asks for the confirmation; a failed erase shows nothing and keeps the entry.
  DeleteChannel(workspace_.File, workspace_.Import.Cursor, entry, S().Progress, S().Prompt);
  RefreshList();
}

}  // namespace sorvane::app
