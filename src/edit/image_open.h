// Opening what a person names: an XA file, or an entry of a disc image (its ISO path or a
// sector range). A disc image is known by its content; opening one without an entry is
// refused, so that no image is ever taken for an XA file of raw sectors.
#pragma once

#include <string>

#include "container/xa_file.h"
#include "disc/disc_image.h"

namespace sorvane {

// True when the file at `path` is a disc image of any kind (CUE sheet, raw, Mode 1 or 2048).
bool IsDiscImage(const std::string& path);

// Opens `path` (already resolved): without `entry` an XA file, as OpenXaFile does; with it,
// the entry of the disc image at `path`. -1 with LastErrorText: a disc image without an
// entry, an entry of a file that is no image, an image or entry that cannot be edited.
int OpenFileOrEntry(XaFile& xa, const std::string& path, const std::string& entry);

// Opens the entry `name` of `image`, read from `path`, without reading the image again; -1
// with LastErrorText as OpenFileOrEntry.
int OpenDiscEntry(XaFile& xa, const std::string& path, const DiscImage& image,
                  const std::string& name);

// Makes the entry `name` of the open entry's image the open file, keeping the image open,
// locked and under the running edit's journal; the caller scans it. -1 with LastErrorText.
int SwitchDiscEntry(XaFile& xa, const std::string& name);

// The path undo and redo work on: for a disc image the file of its data track, whose bytes
// the journal keeps; `path` itself otherwise. nullptr, or the fixed text of why not.
const char* HistoryPathOf(const std::string& path, std::string& history);

}  // namespace sorvane
