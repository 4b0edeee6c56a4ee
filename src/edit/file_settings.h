// The file's three settings as the settings dialog shows, reads and checks them: the
// post-gap after every channel, the post-gap at the end of the file, and the permission to
// change the file's size.
#pragma once

#include <cstdint>
#include <string>

#include "container/xa_file.h"

namespace sorvane {

struct FileSettings {
  std::int32_t ChannelPostGap = 0;  // sectors
  std::int32_t EndPostGap = 0;      // sectors
  std::int32_t ResizePermission = ResizeAsk;
};

FileSettings CurrentSettings(const XaFile& xa);
// Stores the settings in the file's state; the caller then brings the size in line.
void StoreSettings(XaFile& xa, const FileSettings& settings);

// A gap as "%d.%02d" of whole seconds (75 sectors) and the sectors left over: 155 is "2.05".
std::string FormatGapText(std::int32_t sectors);

// Reads a gap text with the pattern "%d.%d" as seconds and sectors, both 0 when missing:
// "2.05" and "2.5" are 155 sectors, "2.50" is 200, "2" is 150, "" and ".5" are 0.
std::int32_t ParseGapText(const std::string& text);

// What the dialog's OK refuses: nullptr when the settings are acceptable, otherwise the text
// to show. Negative gaps are refused before the two gaps are compared.
const char* RefuseFileSettings(const FileSettings& settings);

}  // namespace sorvane
