// An entry of a disc image, as a person names it: an ISO 9660 path from the root (any case,
// the version ";1" optional) or a sector range "@LBA:COUNT".
#pragma once

#include <cstdint>
#include <string>

#include "disc/disc_image.h"

namespace sorvane {

// Where an entry's sectors lie in the data track, and the file number of its directory record.
struct EntryPlace {
  std::int32_t FirstSector = 0;
  std::int32_t SectorCount = 0;
  std::uint8_t RecordFileNumber = 1;  // 1 for a range, or a record without an XA field
};

// Finds the entry `name` of `image`. nullptr when found; else the fixed text of why not: no
// such file, a CD-DA file or a range over the system area, a volume descriptor, a path table,
// a directory or a CD-DA track, or an extent past the image's end.
const char* FindImageEntry(const DiscImage& image, const std::string& name, EntryPlace& place);

// The file `name` names, or nullptr; `name` as FindImageEntry takes a path.
const DiscFile* FindDiscFile(const DiscImage& image, const std::string& name);

}  // namespace sorvane
