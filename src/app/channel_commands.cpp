// The main window's commands on one channel of the list. They are reached from the Edit
// menu, the popup menu and the keys of the list, whatever the state of the Edit menu, so
// each one first makes sure there is something to act on. The work is the core's; the
// commands choose the files, show the dialogs and messages, and refresh the list.
#include <QFileInfo>
#include <QTableWidget>
#include <algorithm>
#include <vector>

#include "app/added_line.h"
#include "app/append_dialog.h"
#include "app/cancel_seen.h"
#include "app/channel_grid.h"
#include "app/file_chooser.h"
#include "app/length_dialog.h"
#include "app/main_window.h"
#include "app/ui_text.h"
#include "app/waveform_view.h"
#include "common/fixed_texts.h"
#include "common/prompter.h"
#include "edit/channel_append.h"
#include "edit/channel_delete.h"
#include "edit/channel_export.h"
#include "edit/channel_import.h"
#include "edit/channel_list_format.h"
#include "edit/channel_play.h"
#include "edit/edit_history.h"
#include "edit/import_passes.h"
#include "edit/workspace.h"
#include "input/audio_file.h"

namespace sorvane::app {

bool TForm1::NoteEdit(bool cancelled, const QString& done) {
  XaFile& xa = workspace_.File;
  if (!cancelled) {
    Note(done);
    return true;
  }
  // What was written stays; the list shows what the file now holds.
  if (RescanAfterCancel(workspace_, S().Progress) == Outcome::Failed) {
    FileOpen = false;  // the scan closed the file
    S().Prompt.NotifyUser(xa.LastErrorText);
  }
  Note(QText(text::kNoteCancelledEdit));
  return false;
}

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
  if (ExportChannel(workspace_, record, wav, S().Progress) != Outcome::Done) {
    S().Prompt.NotifyUser(xa.LastErrorText);
    return;
  }
  Note(QText(text::kNoteExported)
           .arg(record.Channel)
           .arg(QFileInfo(QString::fromStdString(wav)).fileName()));
}

void TForm1::MenuWavIClick() {
  const int entry = SelectedEntry();
  if (entry < 0 || RefuseChange()) return;
  const std::string wav = S().Files.Choose(FileDialogKind::OpenWav);
  if (wav.empty()) return;
  ImportInto(entry, wav);
}

void TForm1::ImportInto(int entry, const std::string& wav) {
  // The import shows its own message before the size adjustment that follows it.
  CancelSeen progress(S().Progress);
  AddedLine prompt(S().Prompt, {text::kWavLonger, text::kWavShorter},
                   BothLengths(wav, workspace_.File.AudioChannelTable.Records[entry]));
  const Outcome outcome = ImportChannel(workspace_, entry, wav, progress, prompt);
  Wave->DropCache();
  if (outcome == Outcome::Done || progress.Seen()) {
    const ChannelRecord& record = workspace_.File.AudioChannelTable.Records[entry];
    const QString done =
        QText(text::kNoteImported).arg(record.Channel).arg(ListedPlayingTime(record));
    if (NoteEdit(progress.Seen(), done)) NoteCut(done);
  }
  RefreshList();
}

void TForm1::ChAppendClick() {
  if (!FileOpen || RefuseChange() || AppendRefused()) return;
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
  CancelSeen progress(S().Progress);
  const Outcome outcome = AppendChannel(workspace_, record, wav, progress, S().Prompt);
  if (outcome == Outcome::Failed || outcome == Outcome::Declined)
    S().Prompt.NotifyUser(xa.LastErrorText);
  Wave->DropCache();
  if (outcome == Outcome::Done || progress.Seen()) {
    const QString done =
        QText(text::kNoteAppended).arg(record.Channel).arg(ListedPlayingTime(record));
    if (NoteEdit(progress.Seen(), done)) NoteCut(done);
  }
  RefreshList();
}

void TForm1::ChDeleteClick() {
  const int entry = SelectedEntry();
  if (entry < 0 || RefuseChange()) return;
  const int channel = workspace_.File.AudioChannelTable.Records[entry].Channel;
  // The core asks for the confirmation; a failure is shown, never passed over.
  CancelSeen progress(S().Progress);
  AddedLine prompt(S().Prompt, {text::kAskDelete}, QText(text::kDeleteChannelLine).arg(channel));
  const Outcome outcome = DeleteChannel(workspace_, entry, progress, prompt);
  Wave->DropCache();
  if (outcome == Outcome::Failed) S().Prompt.NotifyUser(workspace_.File.LastErrorText);
  if (outcome == Outcome::Done || progress.Seen())
    NoteEdit(progress.Seen(), QText(text::kNoteDeleted).arg(channel));
  RefreshList();
}

void TForm1::NoteCut(const QString& done) {
  // The import's report of a sound cut to the room there was, after what was done, one
  // sentence to a line.
  const SoundCut& cut = workspace_.Import.LastCut;
  if (!cut.Cut()) return;
  QString note =
      QStringLiteral("%1\n%2%3")
          .arg(done, QText(text::kSoundCut), QString::fromStdString(SoundCutLengths(cut)));
  if (SoundCutNamesSettings(workspace_.File, cut))
    note += QStringLiteral("\n") + QText(text::kSoundCutBySize);
  Note(note);
}

}  // namespace sorvane::app
