#include "container/file_size.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "common/fixed_texts.h"
#include "container/layout_headers.h"
#include "format/little_endian.h"

namespace sorvane {
namespace {

int SetEofMark(XaFile& xa, std::int32_t index, bool set) {
  SectorInfo info;
  if (ReadSubheader(xa, index, info) != 0) return -1;
  if (set) {
    info.Subheader[2] |= kSubmodeEof;
  } else {
    info.Subheader[2] &= static_cast<std::uint8_t>(~kSubmodeEof);
  }
  return WriteSubheader(xa, index, info);
}

int Shrink(XaFile& xa, std::int32_t wanted, Prompter& prompter) {
  if (TruncateXaFile(xa, FileLengthFor(xa, wanted)) != 0) {
    prompter.NotifyUser(text::kResizeFailed);
    return -1;
  }
  xa.SectorCount = wanted;
  if (UpdateRiffLengths(xa) != 0) return -1;
  return SetEofMark(xa, wanted - 1, true);
}

int Grow(XaFile& xa, std::int32_t wanted) {
  if (SetEofMark(xa, xa.SectorCount - 1, false) != 0) return -1;
  const std::int32_t old = xa.SectorCount;
  xa.SectorCount = wanted;
  if (WriteSyncAndHeaders(xa, old, wanted) != 0) return -1;
  std::uint8_t sector[kSectorBytes];
  MakeEmptySector(xa, sector, false);
  for (std::int32_t i = old; i < wanted - 1; ++i) {
    if (WriteSector(xa, i, sector) != 0) return -1;
  }
  MakeEmptySector(xa, sector, true);
  if (WriteSector(xa, wanted - 1, sector) != 0) return -1;
  return UpdateRiffLengths(xa);
}

}  // namespace

bool MayResize(XaFile& xa, Prompter& prompter) {
  if (xa.ResizePermission == ResizeAsk)
    xa.ResizePermission = prompter.AskOkCancel(text::kAskResize) ? ResizeAllowed : ResizeForbidden;
  return xa.ResizePermission == ResizeAllowed;
}

int ChangeSectorCount(XaFile& xa, std::int32_t wanted, Prompter& prompter) {
  // An entry of a disc image has the size its directory gives it; nothing around it moves.
  if (xa.Entry.Active) {
    xa.LastErrorText = text::kImageSizeFixed;
    return -1;
  }
  wanted = std::max(wanted, kMinimumSectors);
  if (wanted == xa.SectorCount) return 0;
  return wanted < xa.SectorCount ? Shrink(xa, wanted, prompter) : Grow(xa, wanted);
}

int AdjustFileSize(XaFile& xa, Prompter& prompter) {
  if (xa.ResizePermission == ResizeForbidden) return 0;
  const std::int64_t target =
      std::max<std::int64_t>(LargestRecordEnd(xa) + xa.EndPostGap, kMinimumSectors);
  const std::int32_t wanted = static_cast<std::int32_t>(std::min<std::int64_t>(target, INT32_MAX));
  if (wanted == xa.SectorCount) return 0;
  if (!MayResize(xa, prompter)) return 0;
  return ChangeSectorCount(xa, wanted, prompter);
}

}  // namespace sorvane
