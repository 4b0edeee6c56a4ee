// The main window's commands on the file as a whole: open, new, find all, settings, exit.
#include <QDialog>
#include <filesystem>

#include "app/file_chooser.h"
#include "app/main_window.h"
#include "app/settings_dialog.h"
#include "common/progress_monitor.h"
#include "common/prompter.h"
#include "container/channel_scan.h"
#include "container/file_size.h"
#include "edit/file_settings.h"
#include "edit/workspace.h"

namespace sorvane::app {
namespace {

// Relative paths are resolved against the current folder; "." and ".." are taken out.
std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

}  // namespace

void TForm1::CloseFile() {
  if (!FileOpen) return;
  CloseXaFile(workspace_.File);
  FileOpen = false;
}

int TForm1::OpenByPath(const std::string& path) {
  CloseFile();
  FilePath = AbsolutePath(path);
  XaFile& xa = workspace_.File;
  if (OpenXaFile(xa, FilePath) == 0) {
    if (ScanChannels(xa, kWalkLimitOpen, S().Progress) == 0)
      FileOpen = true;
    else
      CloseXaFile(xa);
  }
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
  XaFile& xa = workspace_.File;
  if (CreateXaFile(xa, path) != 0) {
    S().Prompt.NotifyUser(xa.LastErrorText);
    RefreshList();
    return;
  }
  if (OpenByPath(path) != 0) {
    S().Prompt.NotifyUser(xa.LastErrorText);
    return;
  }
  // A file made here may grow and shrink without asking.
  xa.ResizePermission = ResizeAllowed;
}

void TForm1::MenuFindClick() {
  if (!FileOpen) return;
  XaFile& xa = workspace_.File;
  // A cancel is not a failure: the list shows what was found up to it.
  if (ScanChannels(xa, kWalkLimitFull, S().Progress) != 0) {
    S().Prompt.NotifyUser(xa.LastErrorText);
    CloseFile();
  }
  RefreshList();
}

void TForm1::MenuGapClick() {
  if (!FileOpen) return;
  XaFile& xa = workspace_.File;
  TForm4& dialog = S().Settings;
  const FileSettings current = CurrentSettings(xa);
  dialog.ChannelPostGap = current.ChannelPostGap;
  dialog.EndPostGap = current.EndPostGap;
  dialog.ResizePermission = current.ResizePermission;
  if (dialog.exec() != QDialog::Accepted) return;
  StoreSettings(xa, {dialog.ChannelPostGap, dialog.EndPostGap, dialog.ResizePermission});
  // The new settings stay whatever the adjustment does; the list is not refreshed.
  AdjustFileSize(xa, S().Prompt);
}

void TForm1::MenuExitClick() { close(); }

}  // namespace sorvane::app
