// Synthetic XA content for the benchmarks: random sound groups and a raw 2352-byte file
// holding one 37.8 kHz stereo channel. Speed does not depend on what the sound is.
#pragma once

#include <cstdint>
#include <random>
#include <string>

namespace sorvane::bench {

// Fills the 18 sound groups at `groups` with random samples, filters 0..3, ranges 0..12.
void FillRandomGroups(std::mt19937& random, std::uint8_t* groups);

// Writes `sectors` raw 2352-byte sectors: channel 1 (37.8 kHz stereo) in every 4th sector
// from sector 0, empty sectors elsewhere. Returns false on failure.
bool WriteBenchXa(const std::string& path, std::int32_t sectors);

}  // namespace sorvane::bench
