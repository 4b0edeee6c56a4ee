// CUE sheets: which file holds each track, of which kind, from which sector. Read by our own
// few lines, since the disc library reads a CUE's image from the CUE's own name, whatever its
// FILE line says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane {

struct CueTrack {
  int Number = 0;
  std::string Type;          // as the sheet writes it: "MODE2/2352", "AUDIO", "MODE1/2352", ...
  std::string File;          // the FILE line above it, as written (relative to the sheet's folder)
  std::int32_t Index0 = -1;  // sector of INDEX 00 in its file; -1 when there is none
  std::int32_t Index1 = -1;  // sector of INDEX 01 in its file
};

// True when `text` reads as a CUE sheet: text without NUL bytes, with a FILE line and a TRACK
// line.
bool LooksLikeCueSheet(std::string_view text);

// The tracks of a sheet in their order; lines it does not know are passed over. Empty when
// there is no track.
std::vector<CueTrack> ParseCueSheet(std::string_view text);

}  // namespace sorvane
