// The bytes the 2352-byte layouts carry beside the sectors' 2336: the sync pattern and disc
// address in front of each raw sector, and the 44-byte RIFF/CDXA header of a wrapped file.
#pragma once

#include <cstdint>

#include "container/xa_file.h"

namespace sorvane {

// Writes sync and header in front of sectors first .. end - 1 of a raw layout (nothing for
// the plain layout): mode 2, the address following the previous sector's, or the index +
// 150 when that one is not a valid address. 0, or -1 with "書き込みエラー".
int WriteSyncAndHeaders(XaFile& xa, std::int32_t first, std::int32_t end);

// Brings the two lengths of a RIFF header up to date with SectorCount; nothing for other
// layouts or a file without "RIFF" at its start. 0, or -1 with "書き込みエラー".
int UpdateRiffLengths(XaFile& xa);

// Writes the whole 44-byte header of a RIFF-wrapped file with SectorCount sectors: "RIFF",
// size - 8, "CDXA", a 16-byte "fmt " chunk of XA attributes, "data", size - 44.
// 0, or -1 with "書き込みエラー".
int WriteRiffHeader(XaFile& xa);

}  // namespace sorvane
