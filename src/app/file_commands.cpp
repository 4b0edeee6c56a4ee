// The main window's commands on the file as a whole: open, new, find all, settings, exit.
#include "app/file_chooser.h"
#include "app/interleave_map_view.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "app/waveform_view.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "edit/edit_history.h"
#include "edit/every_channel_export.h"
#include "edit/file_open.h"
#include "edit/file_settings.h"
#include "edit/workspace.h"

namespace sorvane::app {

void TForm1::CloseFile() {
  if (!FileOpen) return;
  CloseXaFile(workspace_.File);
  FileOpen = false;
  Wave->DropCache();
}

bool TForm1::HoldFile() {
  if (HoldForEditor(workspace_, S().Prompt, S().Progress) != EditorHold::Failed) return true;
  if (workspace_.File.IsOpen()) S().Prompt.NotifyUser(workspace_.File.LastErrorText);
  return workspace_.File.IsOpen();
}

int TForm1::OpenByPath(const std::string& path) {
  CloseFile();
  FileOpen =
      OpenAndScan(workspace_.File, path, ScanExtent::FirstSectors, S().Progress) != Outcome::Failed;
  FileOpen = FileOpen && HoldFile();
  if (FileOpen) RememberFile();
  RefreshList();
  return FileOpen ? 0 : -1;
}

void TForm1::MenuOpenClick() {
  const std::string path = S().Files.Choose(FileDialogKind::OpenDialog);
  if (path.empty()) return;
  if (OpenByPath(path) != 0) S().Prompt.NotifyUser(workspace_.File.LastErrorText);
}

void TForm1::MenuNewClick() {
  const std::string path = S().Files.Choose(FileDialogKind::SaveDialog);
  if (path.empty()) return;
  CloseFile();
  // A file made here may grow and shrink without asking.
  FileOpen = NewFile(workspace_.File, path, S().Progress) == Outcome::Done && HoldFile();
  if (FileOpen) RememberFile();
  RefreshList();
  if (!FileOpen) S().Prompt.NotifyUser(workspace_.File.LastErrorText);
}

void TForm1::MenuFindClick() {
  if (!FileOpen) return;
  // A cancel is not a failure: the list shows what was found up to it.
  const Outcome found = FindAll(workspace_.File, S().Progress);
  if (found == Outcome::Failed) {
    S().Prompt.NotifyUser(workspace_.File.LastErrorText);
    FileOpen = false;  // the scan closed the file
  }
  Wave->DropCache();
  RefreshList();
}

void TForm1::MenuGapClick() {
  if (!FileOpen) return;
  XaFile& xa = workspace_.File;
  FileSettings chosen = CurrentSettings(xa);
  if (!S().Settings.Edit(chosen)) return;
  // The dialog has refused what the command would refuse; the list is not refreshed.
  if (ApplyFileSettings(workspace_, chosen, S().Prompt) == Outcome::Failed)
    S().Prompt.NotifyUser(xa.LastErrorText);
  Wave->DropCache();
  ShowFileState();
  Map->Refresh();  // the post-gaps and the file's length may have changed
}

void TForm1::MenuExportAllClick() {
  if (!FileOpen) return;
  const std::string folder = S().Files.Choose(FileDialogKind::WavFolder);
  if (folder.empty()) return;
  XaFile& xa = workspace_.File;
  std::vector<ChannelWav> written;
  // A cancel is reported too ("キャンセルしました。"); the WAVs finished before it stay.
  if (ExportEveryChannel(xa, WavBaseIn(folder, xa.Path), S().Progress, written) != Outcome::Done)
    S().Prompt.NotifyUser(xa.LastErrorText);
}

void TForm1::MenuExitClick() { close(); }

void TForm1::TakeBack(bool redo) {
  if (!FileOpen) return;
  KeptSettings settings;
  const Outcome outcome = redo ? RedoEdit(workspace_, settings) : UndoEdit(workspace_, settings);
  if (outcome == Outcome::Done) {
    const Outcome reloaded = ReloadAfterHistory(workspace_, settings, S().Progress);
    FileOpen = reloaded != Outcome::Failed;  // a failed scan closed the file
  }
  if (outcome == Outcome::Failed || !FileOpen) S().Prompt.NotifyUser(workspace_.File.LastErrorText);
  Wave->DropCache();
  RefreshList();
}

void TForm1::MenuUndoClick() { TakeBack(false); }

void TForm1::MenuRedoClick() { TakeBack(true); }

}  // namespace sorvane::app
