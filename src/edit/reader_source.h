// A second reader of the open file for a worker thread: what it needs to open the file on its
// own, copied from the open file, so that no thread shares the XaFile (its read-ahead) of
// another.
#pragma once

#include <cstdint>
#include <string>

#include "container/xa_file.h"

namespace sorvane {

struct ReaderSource {
  std::string Path;
  XaLayout Layout = XaLayout::Plain2336;
  std::int32_t SectorCount = 0;
  ImageEntry Entry;
};

ReaderSource SourceOf(const XaFile& xa);

// Opens `reader` on the file `source` describes (an entry of a disc image as such) with its
// layout and sector count; false (LastErrorText set) when it cannot be opened.
bool OpenReader(const ReaderSource& source, XaFile& reader);

}  // namespace sorvane
