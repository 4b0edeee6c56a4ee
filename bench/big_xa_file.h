// Writes a long XA file for benchmarks without holding it in memory: channels of
// 37.8 kHz mono on slots 0..6 of every 8 sectors, data sectors on slot 7,
// the last 16 sectors empty.
#pragma once

#include <string>

namespace sorvane::bench {

// Writes `sectors` sectors in the plain (2336) or raw (2352) layout; false on failure.
bool WriteBigXaFile(const std::string& path, int sectors, bool raw);

}  // namespace sorvane::bench
