#include "big_xa_file.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace sorvane::bench {

bool WriteBigXaFile(const std::string& path, int sectors, bool raw) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::vector<std::uint8_t> sector(raw ? 2352 : 2336, 0);
  std::uint8_t* sub = sector.data() + (raw ? 16 : 0);
  if (raw) {
    for (int i = 1; i < 11; ++i) sector[i] = 0xFF;
    sector[15] = 2;
  }
  bool ok = true;
  for (int i = 0; i < sectors && ok; ++i) {
    // The last 16 sectors are empty, so that every channel ends on a whole interleave step.
    const int slot = i % 8;
    const bool tail = i >= sectors - 16;
    const std::uint8_t submode = tail ? 0 : slot == 7 ? 0x08 : 0x64;
    const std::uint8_t head[4] = {1, static_cast<std::uint8_t>(tail ? 0 : slot), submode, 0};
    for (int k = 0; k < 8; ++k) sub[k] = head[k % 4];
    if (i == sectors - 1) sub[2] = sub[6] = 0x80;
    sub[8] = static_cast<std::uint8_t>(i);  // some payload that changes
    ok = std::fwrite(sector.data(), 1, sector.size(), out) == sector.size();
  }
  return std::fclose(out) == 0 && ok;
}

}  // namespace sorvane::bench
