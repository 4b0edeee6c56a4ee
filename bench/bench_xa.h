// Synthetic XA content for the benchmarks: random sound groups, a raw 2352-byte file
// holding one 37.8 kHz stereo channel, and a file of many channels and data runs. Speed does not
// depend on what the sound is.
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

// Writes `sectors` raw 2352-byte sectors holding four channels of random sound, one of each
// quality, all running the whole file: channel 0 (37.8 kHz stereo) in every 4th sector from
// 0, channel 1 (37.8 kHz mono) every 8th from 1, channel 2 (18.9 kHz stereo) every 8th from
// 2, channel 3 (18.9 kHz mono) every 16th from 3; the rest and the last 16 sectors empty.
// `seed` varies the sound.
// Returns false on failure.
bool WriteMixedXa(const std::string& path, std::int32_t sectors, unsigned seed);

// Writes `sectors` sectors in the plain (2336) or raw (2352) layout for timing the scan:
// 37.8 kHz mono channels on slots 0..6 of every 8 sectors, data sectors on slot 7, the
// last 16 sectors empty. Returns false on failure.
bool WriteBigXaFile(const std::string& path, int sectors, bool raw);

}  // namespace sorvane::bench
