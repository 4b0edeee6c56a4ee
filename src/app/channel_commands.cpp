// The main window's commands on one channel of the list. They are reached from the Edit
// menu, the popup menu and the keys of the list, whatever the state of the Edit menu, so
// each one first makes sure there is something to act on. The work is the core's; the
// commands choose the files, show the dialogs and messages, and refresh the list.
#include <QTableWidget>

#include "app/append_dialog.h"
#include "app/file_chooser.h"
#include "app/main_window.h"
#include "app/waveform_view.h"
#include "common/prompter.h"
#include "edit/channel_append.h"
#include "edit/channel_delete.h"
#include "edit/channel_export.h"
#include "edit/channel_import.h"
#include "edit/channel_play.h"
#include "edit/workspace.h"
#include "input/audio_file.h"

namespace sorvane::app {

int TForm1::SelectedEntry() const {
  const int row = G->currentRow();
  return row >= 0 && row < workspace_.File.AudioChannelTable.Count ? row : -1;
}

void TForm1::MenuPlayClick() {
  const int entry = SelectedEntry();
  if (entry < 0) return;
  XaFile& xa = workspace_.File;
  // A cancel stops the sound without a message. The list is not refreshed.
  const ChannelRecord record = xa.AudioChannelTable.Records[entry];
  if (PlayFollowed(record, 0) == Outcome::Failed) S().Prompt.NotifyUser(xa.LastErrorText);
}

void TForm1::MenuWavOClick() {
  const int entry = SelectedEntry();
  if (entry < 0) return;
  const std::string wav = S().Files.Choose(FileDialogKind::SaveWav);
  if (wav.empty()) return;
  XaFile& xa = workspace_.File;
  // A cancel is reported too ("キャンセルしました。"). The list is not refreshed.
  const ChannelRecord record = xa.AudioChannelTable.Records[entry];
  if (ExportChannel(workspace_, record, wav, S().Progress) != Outcome::Done)
    S().Prompt.NotifyUser(xa.LastErrorText);
}

void TForm1::MenuWavIClick() {
  const int entry = SelectedEntry();
  if (entry < 0) return;
  const std::string wav = S().Files.Choose(FileDialogKind::OpenWav);
  if (wav.empty()) return;
  ImportInto(entry, wav);
}

void TForm1::ImportInto(int entry, const std::string& wav) {
  // The import shows its own message before the size adjustment that follows it.
  ImportChannel(workspace_, entry, wav, S().Progress, S().Prompt);
  Wave->DropCache();
  RefreshList();
}

void TForm1::ChAppendClick() {
  if (!FileOpen || AppendRefused()) return;
  const std::string wav = S().Files.Choose(FileDialogKind::OpenWav);
  if (wav.empty()) return;
  AppendFrom(wav);
}

bool TForm1::AppendRefused() {
  const char* refusal = RefuseAppend(workspace_.File);
  if (refusal) S().Prompt.NotifyUser(refusal);
  return refusal != nullptr;
}

void TForm1::AppendFrom(const std::string& wav) {
  XaFile& xa = workspace_.File;
  // The dialog reads the WAV's length at the quality chosen; the append opens it again.
  AudioFile wave;
  if (wave.Open(wav) != 0) {
    xa.LastErrorText = wave.LastErrorText;
    S().Prompt.NotifyUser(xa.LastErrorText);
    return;
  }
  ChannelRecord record = ProposeNewChannel(xa, wave);
  const bool accepted = S().Append.Edit(xa, wave, record, S().Prompt);
  wave.Close();
  if (!accepted) return;
  const Outcome outcome = AppendChannel(workspace_, record, wav, S().Progress, S().Prompt);
  if (outcome == Outcome::Failed || outcome == Outcome::Declined)
    S().Prompt.NotifyUser(xa.LastErrorText);
  Wave->DropCache();
  RefreshList();
}

void TForm1::ChDeleteClick() {
  const int entry = SelectedEntry();
  if (entry < 0) return;
  // The core asks for the confirmation; a failure is shown, never passed over.
  if (DeleteChannel(workspace_, entry, S().Progress, S().Prompt) == Outcome::Failed)
    S().Prompt.NotifyUser(workspace_.File.LastErrorText);
  Wave->DropCache();
  RefreshList();
}

}  // namespace sorvane::app
