// The file's three settings as the settings dialog shows, reads and checks them: the
// post-gap after every channel, the post-gap at the end of the file, and the permission to
// change the file's size.
#pragma once

#include <cstdint>
#include <string>

#include "common/outcome.h"
#include "common/prompter.h"
#include "container/xa_file.h"
#include "edit/position_text.h"

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
// file is refused before anything is stored or written.
Outcome ApplyFileSettings(XaFile& xa, const FileSettings& settings, Prompter& prompter);

}  // namespace sorvane
