#include "edit/reader_source.h"

namespace sorvane {

ReaderSource SourceOf(const XaFile& xa) {
  return ReaderSource{xa.Path, xa.Layout, xa.SectorCount, xa.Entry};
}

bool OpenReader(const ReaderSource& source, XaFile& reader) {
  if (source.Entry.Active) return OpenXaFileEntry(reader, source.Path, source.Entry) == 0;
  if (OpenXaFileBytes(reader, source.Path) != 0) return false;
  reader.Layout = source.Layout;
  reader.SectorCount = source.SectorCount;
  return true;
}

}  // namespace sorvane
