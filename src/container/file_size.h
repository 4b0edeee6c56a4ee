// Keeping the file's length at the end of its last channel plus the end post-gap.
#pragma once

#include <cstdint>

#include "common/prompter.h"
#include "container/xa_file.h"

namespace sorvane {

inline constexpr std::int32_t kMinimumSectors = 2;  // a shorter file could not be opened again

// True when the file's size may change; asks once when the permission is "ask" and keeps
// the answer as the file's permission.
bool MayResize(XaFile& xa, Prompter& prompter);

// Grows (with empty sectors) or shrinks (by truncation) the file to `wanted` sectors,
// moving the end-of-file mark to the new last sector. Does not ask.
int ChangeSectorCount(XaFile& xa, std::int32_t wanted, Prompter& prompter);

// Brings the file to its largest record end plus EndPostGap sectors when permitted.
// 0 when nothing changed, the change was declined or forbidden, or it succeeded.
int AdjustFileSize(XaFile& xa, Prompter& prompter);

}  // namespace sorvane
