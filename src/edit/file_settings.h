// The file's three settings as the settings dialog shows, reads and checks them: the
// post-gap after every channel, the post-gap at the end of the file, and the permission to
// change the file's size. The dialog's logic is here as plain functions over what its
// controls hold; the editor's dialog only copies its controls to and from them.
#pragma once

#include <cstdint>
#include <string>

#include "common/outcome.h"
#include "common/prompter.h"
#include "container/xa_file.h"
#include "edit/position_text.h"
#include "edit/workspace.h"

namespace sorvane {

struct FileSettings {
  std::int32_t ChannelPostGap = 0;  // sectors
  std::int32_t EndPostGap = 0;      // sectors
  std::int32_t ResizePermission = ResizeAsk;
};

FileSettings CurrentSettings(const XaFile& xa);
// Stores the settings in the file's state, without bringing the size in line (the settings
// command below does both).
void StoreSettings(XaFile& xa, const FileSettings& settings);

// What the dialog's OK refuses: nullptr when the settings are acceptable, otherwise the text
// to show. Negative gaps are refused before the two gaps are compared.
const char* RefuseFileSettings(const FileSettings& settings);

// The settings command: refuses as the dialog's OK does (Failed, the refusal in
// LastErrorText, nothing changed); otherwise stores the settings and brings the file to
// its length under the new permission (asking when it is "ask"). The new settings stay
// whatever the adjustment does; when a write or the truncation failed the result is Failed
// with "書き込みエラー" (a failed truncation has also shown its own message). A read-only
// file is refused before anything is stored or written, and so is any permission but
// "forbidden" for an entry of a disc image
// ("ディスクイメージ内のファイルは大きさを変えられません。").
Outcome ApplyFileSettings(Workspace& workspace, const FileSettings& settings, Prompter& prompter);

// What the settings dialog's controls hold.
struct SettingsDialogState {
  std::string ChannelGapText;  // "%d.%02d": seconds and sectors
  std::string EndGapText;
  int ModifyItem = ResizeAsk;  // the permission's item: ask, allowed, forbidden
};

// The entry of the dialog that takes the focus when its OK refuses the settings.
enum class SettingsField { ChannelGap, EndGap };

// Settings to controls, as each showing of the dialog starts.
void ShowSettings(const FileSettings& settings, SettingsDialogState& dialog);
// Controls to settings: the gaps read as positions (what cannot be read counts as 0), the
// permission as its item.
FileSettings ReadSettings(const SettingsDialogState& dialog);
// The entry at fault in settings that RefuseFileSettings refuses: the end gap when it alone
// is negative, else the channel gap.
SettingsField FieldAtFault(const FileSettings& settings);

}  // namespace sorvane
