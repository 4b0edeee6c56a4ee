#include "edit/file_settings.h"

#include "common/fixed_texts.h"
#include "container/file_size.h"
#include "edit/edit_history.h"

namespace sorvane {

FileSettings CurrentSettings(const XaFile& xa) {
  return {xa.ChannelPostGap, xa.EndPostGap, xa.ResizePermission};
}

void StoreSettings(XaFile& xa, const FileSettings& settings) {
  xa.ChannelPostGap = settings.ChannelPostGap;
  xa.EndPostGap = settings.EndPostGap;
  xa.ResizePermission = static_cast<ResizePermissionValue>(settings.ResizePermission);
}

const char* RefuseFileSettings(const FileSettings& settings) {
  if (settings.ChannelPostGap < 0 || settings.EndPostGap < 0) return text::kNegativeGap;
  if (settings.ChannelPostGap > settings.EndPostGap) return text::kGapTooLarge;
  return nullptr;
}

Outcome ApplyFileSettings(Workspace& workspace, const FileSettings& settings, Prompter& prompter) {
  XaFile& xa = workspace.File;
  // The directory of a disc image fixes its files' sizes.
  if (xa.Entry.Active && settings.ResizePermission != ResizeForbidden) {
    xa.LastErrorText = text::kImageSizeFixed;
    return Outcome::Failed;
  }
  if (const char* refusal = RefuseFileSettings(settings)) {
    xa.LastErrorText = refusal;
    return Outcome::Failed;
  }
  return RunEdit(workspace, "settings", [&] {
    StoreSettings(xa, settings);
    return AdjustFileSize(xa, prompter) == 0 ? Outcome::Done : Outcome::Failed;
  });
}

void ShowSettings(const FileSettings& settings, SettingsDialogState& dialog) {
  dialog.ChannelGapText = FormatGapText(settings.ChannelPostGap);
  dialog.EndGapText = FormatGapText(settings.EndPostGap);
  dialog.ModifyItem = settings.ResizePermission;
}

FileSettings ReadSettings(const SettingsDialogState& dialog) {
  return {ParsePositionText(dialog.ChannelGapText), ParsePositionText(dialog.EndGapText),
          dialog.ModifyItem};
}

SettingsField FieldAtFault(const FileSettings& settings) {
  return settings.ChannelPostGap >= 0 && settings.EndPostGap < 0 ? SettingsField::EndGap
                                                                 : SettingsField::ChannelGap;
}

}  // namespace sorvane
