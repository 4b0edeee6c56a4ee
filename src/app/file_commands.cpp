// The main window's commands on the file as a whole: open, new, find all, settings, exit.
#include <QDir>
#include <QFile>

#include "app/added_line.h"
#include "app/disc_entry_dialog.h"
#include "app/file_chooser.h"
#include "app/interleave_map_view.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "app/ui_text.h"
#include "app/waveform_view.h"
#include "common/fixed_texts.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "edit/disc_listing.h"
#include "edit/edit_history.h"
#include "edit/every_channel_export.h"
#include "edit/export_all.h"
#include "edit/file_open.h"
#include "edit/file_settings.h"
#include "edit/image_open.h"
#include "edit/workspace.h"

namespace sorvane::app {

void TForm1::CloseFile() {
  history_.Forget();  // also after a failed scan, which closed the file but not the window's
  if (!FileOpen) return;
  CloseXaFile(workspace_.File);
  FileOpen = false;
  Wave->DropCache();
  Note({});
}

std::uint64_t TForm1::NewestEntry() {
  if (!FileOpen || !workspace_.File.IsOpen()) return 0;
  const std::vector<JournalListing> undo =
      workspace_.Journal.List(workspace_.File, JournalDirection::Undo, false);
  return undo.empty() ? 0 : undo.front().Number;
}

void TForm1::NoticeJournal() {
  if (FileOpen) history_.Notice(NewestEntry());
}

void TForm1::ShowHistoryMenus() {
  MenuUndo->setEnabled(
      FileOpen && (history_.UndoesSettings() || CanTakeBack(workspace_, JournalDirection::Undo)));
  MenuRedo->setEnabled(
      FileOpen && (history_.RedoesSettings() || CanTakeBack(workspace_, JournalDirection::Redo)));
}

bool TForm1::HoldFile() {
  // The recovery question names the file it is about.
  const XaFile& xa = workspace_.File;
  AddedLine prompt(S().Prompt, {text::kAskRecover},
                   QFile::decodeName((xa.Entry.Active ? xa.Entry.Image : xa.Path).c_str()));
  if (HoldForEditor(workspace_, prompt, S().Progress) != EditorHold::Failed) return true;
  if (workspace_.File.IsOpen()) S().Prompt.NotifyUser(workspace_.File.LastErrorText);
  return workspace_.File.IsOpen();
}

int TForm1::ChooseImageEntry(const std::string& path, std::string& entry) {
  DiscContents contents;
  if (const char* refused = ListDiscFiles(path, false, contents)) {
    // As any other file that cannot be opened: the window's file is closed.
    CloseFile();
    workspace_.File.LastErrorText = refused;
    RefreshList();
    return -1;
  }
  entry = ChooseDiscEntry(*this, contents);
  return entry.empty() ? 1 : 0;
}

int TForm1::OpenByPath(const std::string& path, const std::string& entry) {
  std::string chosen = entry;
  if (chosen.empty() && IsDiscImage(path)) {
    const int choice = ChooseImageEntry(path, chosen);
    if (choice != 0) return choice;
  }
  CloseFile();
  // An undo or redo a crash interrupted is completed before the file is read; a file
  // another program holds is left to it.
  if (CompleteInterruptedHistory(workspace_, path, true) == Outcome::Failed &&
      std::string(workspace_.File.LastErrorText) != text::kFileInUse)
    S().Prompt.NotifyUser(workspace_.File.LastErrorText);
  FileOpen = OpenAndScan(workspace_.File, path, ScanExtent::FirstSectors, S().Progress, chosen) !=
             Outcome::Failed;
  FileOpen = FileOpen && HoldFile();
  if (FileOpen) RememberFile();
  RefreshList();
  return FileOpen ? 0 : -1;
}

void TForm1::MenuOpenClick() {
  const std::string path = S().Files.Choose(FileDialogKind::OpenDialog);
  if (path.empty()) return;
  if (OpenByPath(path) < 0) S().Prompt.NotifyUser(workspace_.File.LastErrorText);
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
  if (!FileOpen || RefuseChange()) return;
  XaFile& xa = workspace_.File;
  FileSettings chosen = CurrentSettings(xa);
  if (!S().Settings.Edit(chosen, xa.Entry.Active)) return;
  const FileSettings before = CurrentSettings(xa);
  const std::uint64_t newest = NewestEntry();
  history_.Notice(newest);
  // The dialog has refused what the command would refuse; the list is not refreshed.
  if (ApplyFileSettings(workspace_, chosen, S().Prompt) == Outcome::Failed)
    S().Prompt.NotifyUser(xa.LastErrorText);
  Wave->DropCache();
  // A change that resized the file is a journal entry; any other is a step of the window's.
  const FileSettings after = CurrentSettings(xa);
  const bool changed = before.ChannelPostGap != after.ChannelPostGap ||
                       before.EndPostGap != after.EndPostGap ||
                       before.ResizePermission != after.ResizePermission;
  const std::uint64_t now = NewestEntry();
  if (changed && now == newest) history_.SettingsChanged(before, after);
  history_.Notice(now);  // a resizing change is the journal's entry
  ShowHistoryMenus();
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
  if (ExportEveryChannel(xa, WavBaseOfOpenFile(xa, folder), S().Progress, written) !=
      Outcome::Done) {
    S().Prompt.NotifyUser(xa.LastErrorText);
    return;
  }
  Note(QText(text::kNoteExportedAll)
           .arg(written.size())
           .arg(QDir::toNativeSeparators(QString::fromStdString(folder))));
}

void TForm1::MenuExitClick() { close(); }

void TForm1::TakeBack(bool redo) {
  if (!FileOpen) return;
  NoticeJournal();
  // What an earlier command noted is no longer so.
  const QString done = QText(redo ? text::kNoteRedone : text::kNoteUndone);
  if (redo ? history_.RedoesSettings() : history_.UndoesSettings()) {
    StoreSettings(workspace_.File, redo ? history_.RedoSettings() : history_.UndoSettings());
    Note(done);
    RefreshList();
    return;
  }
  KeptSettings settings;
  const Outcome outcome = redo ? RedoEdit(workspace_, settings) : UndoEdit(workspace_, settings);
  if (outcome == Outcome::Done) {
    history_.JournalMoved(redo, NewestEntry());
    Note(done);
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
